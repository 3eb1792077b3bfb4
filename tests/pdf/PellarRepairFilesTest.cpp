// Damaged copies of files from real producers (tests/fixtures/damaged/, made by
// tools/make-damaged-fixtures.py) must load through the scan of the file's object definitions
// and give, page by page, the text of the file they were made from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Pellar.h"
#include "pdf/PellarDocument.h"
#include "tests/support/RunProcess.h"

namespace {

struct TPages {
  int32_t Loaded = 0;
  int32_t Count = 0;
  std::vector<std::u16string> Texts;  // the ORIGINAL text of each page
};

// A wrong page count reads no page: a misread tree may claim any number of them.
TPages ReadPages(const std::string& name, int32_t expectedCount) {
  TPellar engine;
  TPages pages;
  const std::string path = std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/" + name;
  pages.Loaded = engine.LoadFile(AsciiToWideForTest(path), u"");
  if (pages.Loaded != 1) return pages;
  pages.Count = engine.PageCount();
  if (pages.Count != expectedCount) return pages;
  for (int32_t n = 1; n <= pages.Count; ++n) {
    std::u16string text;
    if (engine.SelectPage(n) == 1) engine.PageText(0, text);
    pages.Texts.push_back(text);
  }
  return pages;
}

}  // namespace

TEST(PellarRepairFiles, DamagedFilesGiveTheTextOfTheirSource) {
  struct Case {
    const char* Damaged;
    const char* Source;
    int32_t Pages;  // pdfinfo's count for the source
  };
  const Case cases[] = {
      {"damaged/gs_layout-no-startxref.pdf", "gs_layout.pdf", 2},
      {"damaged/objstm-no-startxref.pdf", "variants/objstm.pdf", 3},
      {"damaged/groff_man-table-truncated.pdf", "groff_man.pdf", 1},
      // The header still counts the cut entries: the entries after the cut are read for the
      // wrong objects, and the last ones from the trailer's bytes.
      {"damaged/gs_letters-table-middle-removed.pdf", "gs_letters.pdf", 2},
      {"damaged/objstm-xref-stream-corrupt.pdf", "variants/objstm.pdf", 3},
      // Offsets 3 bytes short: the keywords are still near where the offsets point.
      {"damaged/cairo_notes-shifted.pdf", "cairo_notes.pdf", 1},
      {"damaged/objstm-shifted.pdf", "variants/objstm.pdf", 3},
      // Offsets 48 bytes short: nothing is where they point.
      {"damaged/gs_layout-shifted-far.pdf", "gs_layout.pdf", 2},
      {"damaged/objstm-prev-off.pdf", "variants/objstm.pdf", 3},
      {"damaged/groff_notes-no-trailer.pdf", "groff_notes.pdf", 1},
      // The update replaced the second page's content; its newest definition must win.
      {"damaged/gs_layout-update-broken.pdf", "damaged/gs_layout-update.pdf", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Damaged);
    const TPages source = ReadPages(c.Source, c.Pages);
    ASSERT_EQ(source.Loaded, 1);
    ASSERT_EQ(source.Count, c.Pages);
    ASSERT_NE(source.Texts.front(), u"");
    const TPages damaged = ReadPages(c.Damaged, c.Pages);
    EXPECT_EQ(damaged.Loaded, 1);
    if (damaged.Loaded != 1) continue;
    EXPECT_EQ(damaged.Count, c.Pages);
    EXPECT_EQ(damaged.Texts, source.Texts);
  }
}

// Object definitions without a catalog give nothing to rebuild a document from.
TEST(PellarRepairFiles, ObjectsWithoutACatalogStillFail) {
  const std::string page =
      "1 0 obj\n<< /Type /Page /MediaBox [0 0 612 792] /Contents 2 0 R >>\nendobj\n"
      "2 0 obj\n<< /Length 15 >>\nstream\nBT (lost) Tj ET\nendstream\nendobj\n";
  const std::string cases[] = {
      "%PDF-1.4\n" + page + "%%EOF\n",
      // The trailer's root is a page, and no catalog is anywhere.
      "%PDF-1.4\n" + page + "trailer\n<< /Size 3 /Root 1 0 R >>\n%%EOF\n",
      // "obj" tokens around numbers too large to name an object, and a definition cut off.
      "%PDF-1.7\nobj obj 0 obj 1 obj 99999999999 0 obj\nendobj 7 0 obj\n<< /Type /Pag",
  };
  for (const std::string& bytes : cases) {
    TPDFDocument document;
    EXPECT_EQ(document.LoadFromBytes(bytes, u""), TPDFDocument::LoadFailed) << bytes;
  }
}
