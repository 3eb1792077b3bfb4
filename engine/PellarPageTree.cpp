#include "engine/PellarPageTree.h"

TPDFPageTree::TPDFPageTree(int32_t pageCount, double width, double height)
    : Count(pageCount < 0 ? 0 : pageCount), Width(width), Height(height) {
  SelectPage(1);
}

void TPDFPageTree::SelectPage(int32_t n) {
  if (n < 1 || n > Count) n = Current;
  if (n >= 1) Current = n;
}

void TPDFPageTree::PageText(int32_t, TPDFTextFunnel*, std::u16string& text) { text.clear(); }
