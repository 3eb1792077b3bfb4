#pragma once
// A document's page navigator: counts and finds pages, keeps one page current with its
// content streams, answers its size and resources, and dispatches page-text requests.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "filters/PellarFilterLimits.h"

class TPDFDocument;
class TPDFDictionary;
class TPDFArray;
class TPDFStream;
class TPDFTextFunnel;
class TPDFFontCache;

class TPDFPageTree {
public:
  // With a root, page 1 is selected.
  TPDFPageTree(TPDFDocument& document, TPDFDictionary* root);
  ~TPDFPageTree();

  // The root's /Count as stored; the tree is never counted.
  int32_t PageCount() const;
  TPDFDictionary* FindPage(int32_t n);
  // Numbers outside 1 to PageCount select the current page again.
  void SelectPage(int32_t n);
  int32_t CurrentPage() const { return Current; }
  TPDFDictionary* PageDictionary() const { return Page; }
  double PageWidth();
  double PageHeight();
  TPDFDictionary* PageResources();
  int ContentStreamCount() const { return static_cast<int>(ContentStreams.size()); }
  // The decoded data of content stream i; empty out of range.
  std::string StreamText(int i) const;
  // One blank before every content stream's data, as the content-order extractor reads it;
  // at most `limit` bytes, however often /Contents names a stream.
  std::string PageContent(size_t limit = MaxDecodedStreamSize) const;
  void PageText(int32_t textOption, TPDFTextFunnel* funnel, std::u16string& text);
  // The document's fonts as page requests loaded them, for the next request's collection.
  TPDFFontCache& FontCache() { return *Fonts; }

private:
  struct TCachedPage {
    TPDFDictionary* Page;
    TPDFDictionary* Parent;  // the /Pages node whose Kids hold the page
  };

  TPDFDictionary* SearchTree(TPDFArray* kids, int32_t n, int32_t count, bool cachePassed);
  void CacheFollowing(TPDFArray* kids, int after, int32_t n, int64_t limit, TPDFDictionary* parent);
  void Remember(int32_t n, TPDFDictionary* page, TPDFDictionary* parent);
  void PrepareContents();
  TPDFStream* NewMarkedStream();
  void ComputeSize();

  TPDFDocument& Document;
  TPDFDictionary* Root;
  int32_t Current = 0;
  TPDFDictionary* Page = nullptr;
  TPDFDictionary* ParentNode = nullptr;
  std::vector<TPDFStream*> ContentStreams;
  // Pages found so far, by number. A map, so that a huge /Count costs nothing until pages
  // are asked for; bounded (see Remember), since a tree whose nodes share kids can number
  // far more pages than the file holds.
  std::unordered_map<int32_t, TCachedPage> PageCache;
  std::unique_ptr<TPDFFontCache> Fonts;
  bool SizeValid = false;
  double Width = 0;
  double Height = 0;
};
