#pragma once
// A document's page navigator: counts and selects pages and dispatches page-text requests.
#include <cstdint>
#include <string>

class TPDFTextFunnel;

class TPDFPageTree {
public:
  // A tree over a document without a page structure yet: `pageCount` pages of the given size.
  TPDFPageTree(int32_t pageCount, double width, double height);

  int32_t PageCount() const { return Count; }
  // Numbers outside 1 to PageCount select the current page again.
  void SelectPage(int32_t n);
  int32_t CurrentPage() const { return Current; }
  double PageWidth() const { return Width; }
  double PageHeight() const { return Height; }
  void PageText(int32_t textOption, TPDFTextFunnel* funnel, std::u16string& text);

private:
  int32_t Count;
  int32_t Current = 0;
  double Width;
  double Height;
};
