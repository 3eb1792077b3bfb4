#include "pdf/PellarDocument.h"

#include "pdf/PellarFileStream.h"

TPDFDocument::TPDFDocument() : Tree(std::make_unique<TPDFPageTree>(0, 0, 0)) {}

TPDFDocument::~TPDFDocument() = default;

int TPDFDocument::LoadFromStream(TPellarWideFileStream&, const std::u16string&) {
  // The file layer cannot read PDF structure yet: every stream is unreadable.
  ResetDocument();
  return LoadFailed;
}

void TPDFDocument::NewBlankDocument() { Tree = std::make_unique<TPDFPageTree>(1, 612, 792); }

void TPDFDocument::ResetDocument() { Tree = std::make_unique<TPDFPageTree>(0, 0, 0); }
