#pragma once
// A document's page navigator: counts and finds pages, keeps one page current with its
// content streams, answers its size and resources, and dispatches page-text requests.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "filters/PellarFilterLimits.h"
#include "text/PellarMatrix.h"

class TPDFDocument;
class TPDFDictionary;
class TPDFArray;
class TPDFObject;
class TPDFStream;
class TPDFTextFunnel;
class TPDFFontCache;

class TPDFPageTree {
public:
  // With a root, page 1 is selected.
  TPDFPageTree(TPDFDocument& document, TPDFDictionary* root);
  ~TPDFPageTree();

  // The root's /Count as stored, unless it cannot be right (not positive, or more pages than
  // the file has objects): then the pages found by one walk of the tree.
  int32_t PageCount() const;
  TPDFDictionary* FindPage(int32_t n);
  // Numbers outside 1 to PageCount select the current page again.
  void SelectPage(int32_t n);
  int32_t CurrentPage() const { return Current; }
  TPDFDictionary* PageDictionary() const { return Page; }
  double PageWidth();
  double PageHeight();
  // The page's /Rotate, inherited, as 0, 90, 180 or 270 (clockwise); a value that is not a
  // multiple of 90 counts as 0.
  int32_t PageRotation() const;
  // Maps user space onto the page as it is seen: turned by PageRotation with the media box's
  // lower left corner at the origin. The identity for an unrotated page, whose coordinates stay.
  TPDFMatrix ViewMatrix();
  TPDFDictionary* PageResources();
  int ContentStreamCount() const { return static_cast<int>(ContentStreams.size()); }
  // The decoded data of content stream i; empty out of range.
  std::string StreamText(int i) const;
  // One blank before every content stream's data, as the content-order extractor reads it;
  // at most `limit` bytes, however often /Contents names a stream.
  std::string PageContent(size_t limit = MaxDecodedStreamSize) const;
  void PageText(int32_t textOption, TPDFTextFunnel* funnel, std::u16string& text);
  // The document's /AcroForm asks viewers to make the fields' appearances.
  bool NeedAppearances();
  // The document's fonts as page requests loaded them, for the next request's collection.
  TPDFFontCache& FontCache() { return *Fonts; }

private:
  // Pages and nodes are kept by their object numbers (RootNumber for the root), not as
  // objects: a collection may let go of the objects, and the numbers read them again.
  static constexpr int32_t RootNumber = -1;
  struct TCachedPage {
    int32_t Page;
    int32_t Parent;  // the /Pages node whose Kids hold the page
  };
  int32_t NumberOf(const TPDFDictionary* node) const;
  TPDFDictionary* NodeOf(int32_t number) const;
  TPDFDictionary* Found(const TCachedPage& page);
  // Before a page is selected: lets go of what the pages before needed when a collection is due.
  void CollectIfDue();

  // Collects every page in order into WalkedPages, entering each /Pages node once.
  void WalkTree();
  TPDFDictionary* SearchTree(TPDFArray* kids, int32_t n, int32_t count, bool cachePassed);
  void CacheFollowing(TPDFArray* kids, int after, int32_t n, int64_t limit, TPDFDictionary* parent);
  void Remember(int32_t n, TPDFDictionary* page, TPDFDictionary* parent);
  void PrepareContents();
  // Remembers a reference whose stream data are not in memory yet in ReadForPage.
  void NoteUnread(TPDFObject* entry);
  // Registers an object the page needs as a new indirect object of the document.
  int32_t AddForPage(TPDFObject* object);
  void ReleaseContents();
  TPDFStream* NewMarkedStream();
  void ComputeSize();

  TPDFDocument& Document;
  TPDFDictionary* Root;
  int32_t Current = 0;
  TPDFDictionary* Page = nullptr;
  TPDFDictionary* ParentNode = nullptr;
  std::vector<TPDFStream*> ContentStreams;
  // The content streams whose data were read from the file for the current page. Their data
  // are let go when another page is selected: a walk over every page would otherwise keep the
  // content of the whole file.
  std::vector<int32_t> ReadForPage;
  // The objects the pages added for themselves since the last collection, which lets them go.
  std::vector<int32_t> AddedForPages;
  // Pages found so far, by number. A map, so that a huge /Count costs nothing until pages
  // are asked for; bounded (see Remember), since a tree whose nodes share kids can number
  // far more pages than the file holds.
  std::unordered_map<int32_t, TCachedPage> PageCache;
  std::unique_ptr<TPDFFontCache> Fonts;
  // The pages in order when the count comes from a walk of the tree; FindPage then indexes them.
  bool Walked = false;
  std::vector<TCachedPage> WalkedPages;
  bool SizeValid = false;
  double Width = 0;
  double Height = 0;
  double Left = 0;  // the media box's lower left corner
  double Bottom = 0;
};
