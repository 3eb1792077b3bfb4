#pragma once
// A document's page navigator: counts and finds pages, keeps one page current with its
// content streams, answers its size and resources, and dispatches page-text requests.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TPDFDocument;
class TPDFDictionary;
class TPDFArray;
class TPDFStream;
class TPDFTextFunnel;

class TPDFPageTree {
public:
  // With a root, page 1 is selected.
  TPDFPageTree(TPDFDocument& document, TPDFDictionary* root);

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
  // One blank before every content stream's data, as the content-order extractor reads it.
  std::string PageContent() const;
  void PageText(int32_t textOption, TPDFTextFunnel* funnel, std::u16string& text);

private:
  TPDFDictionary* SearchKids(TPDFArray* kids, int32_t n, int32_t& counter, int depth, bool cachePassed);
  void PrepareContents();
  TPDFStream* NewMarkedStream();
  void ComputeSize();

  TPDFDocument& Document;
  TPDFDictionary* Root;
  int32_t Current = 0;
  TPDFDictionary* Page = nullptr;
  TPDFDictionary* ParentNode = nullptr;
  std::vector<TPDFStream*> ContentStreams;
  // Page dictionaries found so far by number, "not found" (nullptr) included. A map, so
  // that a huge /Count costs nothing until pages are asked for.
  std::unordered_map<int32_t, TPDFDictionary*> PageCache;
  std::vector<TPDFDictionary*> SearchPath;  // /Pages nodes being searched, against cycles
  bool SizeValid = false;
  double Width = 0;
  double Height = 0;
};
