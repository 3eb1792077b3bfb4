// Loads arbitrary bytes as a document and walks its pages.
// Damaged inputs go through the rebuild from the file's object definitions.
// Seeds (seeds/fuzz_document): files of the test PDF writer (flat and nested page trees, an
// indirect /Length, an incremental update with /Prev), examples/sample.pdf, and qpdf variants
// of them (--object-streams=generate, --linearize, --qdf, and a hybrid file whose classic
// trailer names the cross-reference stream in /XRefStm), and damaged copies of some (no
// "startxref", a broken update section). fuzz_document.dict lists the keywords.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "tests/fuzz/SanitizerDefaults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPDFDocument document;
  if (document.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size), u"") != TPDFDocument::LoadOk)
    return 0;
  TPDFPageTree& tree = document.PageTree();
  const int32_t count = tree.PageCount();
  // Every page the document claims: a /Count beyond the number of objects gives way to the
  // pages found in the tree, so the walk is bounded by the input.
  for (int32_t page = 1; page <= count; ++page) {
    tree.SelectPage(page);
    tree.PageWidth();
    tree.PageHeight();
    tree.PageResources();
    tree.PageContent();
  }
  for (int i = 0; i < document.ObjectCount(); ++i) document.RecordObject(document.ObjectAt(i));
  return 0;
}
