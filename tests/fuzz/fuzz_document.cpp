// Loads arbitrary bytes as a document and walks its pages.
// Seeds (seeds/fuzz_document): files of the test PDF writer (flat and nested page trees, an
// indirect /Length, an incremental update with /Prev), examples/sample.pdf, and qpdf variants
// of them (--object-streams=generate, --linearize, --qdf, and a hybrid file whose classic
// trailer names the cross-reference stream in /XRefStm). fuzz_document.dict lists the keywords.
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
  // A hostile /Count can be huge; the first pages and the last one are enough.
  for (int32_t page = 1; page <= count && page <= 64; ++page) {
    tree.SelectPage(page);
    tree.PageWidth();
    tree.PageHeight();
    tree.PageResources();
    tree.PageContent();
  }
  tree.SelectPage(count);
  tree.PageContent();
  for (int i = 0; i < document.ObjectCount() && i < 256; ++i) document.RecordObject(document.ObjectAt(i));
  return 0;
}
