#include "engine/Pellar.h"

#include <gtest/gtest.h>

#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

namespace {
std::u16string Wide(const std::string& s) { return AsciiToWideForTest(s); }
}  // namespace

TEST(Pellar, StartsWithABlankPage) {
  TPellar engine;
  EXPECT_EQ(engine.DocumentCount(), 1);
  EXPECT_EQ(engine.PageCount(), 1);
  EXPECT_EQ(engine.PageWidth(), 612);
  EXPECT_EQ(engine.PageHeight(), 792);
  std::u16string text = u"x";
  engine.PageText(0, text);
  EXPECT_EQ(text, u"");
  TPDFDictionary* info = engine.CurrentDocument()->InfoDictionary();
  EXPECT_EQ(info->Get("Producer", true)->Text(), "(Vorbix 1.4.1)");
  EXPECT_EQ(info->Get("CreationDate", true)->Text().substr(0, 4), "(D:2");
  TPDFObject* id = engine.CurrentDocument()->Trailer()->Get("ID", false);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Kind, TPDFObject::KindArray);
}

TEST(Pellar, LoadFailuresKeepThePreviousDocument) {
  TTempDir dir;
  dir.Write("text.pdf", "not a pdf at all");
  TPellar engine;
  TPellar::DocumentHandle blank = engine.CurrentDocument();
  EXPECT_EQ(engine.LoadFile(Wide(dir.File("missing.pdf")), u""), 0);
  EXPECT_EQ(engine.LastError(), 0);
  EXPECT_EQ(engine.LoadFile(Wide(dir.File("text.pdf")), u""), 0);
  EXPECT_EQ(engine.LastError(), 401);
  EXPECT_EQ(engine.LoadFile(Wide(dir.Path()), u""), 0);  // a directory is no file
  EXPECT_EQ(engine.CurrentDocument(), blank);
  EXPECT_EQ(engine.PageCount(), 1);
  EXPECT_EQ(engine.DocumentCount(), 1);
}

TEST(Pellar, LoadsSelectsAndAnswersPageText) {
  TTempDir dir;
  dir.Write("doc.pdf", MakeTestPdf({"BT (a) Tj ET", "BT (b) Tj ET"}));
  TPellar engine;
  ASSERT_EQ(engine.LoadFile(Wide(dir.File("doc.pdf")), u"ignored"), 1);
  EXPECT_EQ(engine.LastError(), 0);
  EXPECT_EQ(engine.DocumentCount(), 2);
  EXPECT_EQ(engine.CurrentDocument()->FileName, Wide(dir.File("doc.pdf")));
  EXPECT_EQ(engine.PageCount(), 2);
  EXPECT_EQ(engine.SelectPage(2), 1);
  EXPECT_EQ(engine.SelectPage(0), 0);
  EXPECT_EQ(engine.CurrentDocument()->PageTree().CurrentPage(), 2);
  EXPECT_EQ(engine.SelectPage(3), 0);
  for (int32_t option : {-1, 8, 100}) {
    std::u16string text = u"stale";
    engine.PageText(option, text);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(engine.LastError(), 0);
  }
}

TEST(Pellar, DocumentList) {
  TTempDir dir;
  dir.Write("doc.pdf", MakeTestPdf({""}));
  TPellar engine;
  TPellar::DocumentHandle first = engine.CurrentDocument();
  ASSERT_EQ(engine.LoadFile(Wide(dir.File("doc.pdf")), u""), 1);
  TPellar::DocumentHandle second = engine.CurrentDocument();
  EXPECT_EQ(engine.UseDocument(first), 1);
  EXPECT_EQ(engine.UseDocument(nullptr), 0);
  // Dropping the selected first document selects the second.
  EXPECT_EQ(engine.DropDocument(first), 1);
  EXPECT_EQ(engine.CurrentDocument(), second);
  EXPECT_EQ(engine.DropDocument(first), 0);
  // Dropping the only document puts a blank one in its place.
  EXPECT_EQ(engine.DropDocument(second), 1);
  EXPECT_EQ(engine.DocumentCount(), 1);
  EXPECT_NE(engine.CurrentDocument(), nullptr);
  EXPECT_EQ(engine.PageCount(), 1);
  // Dropping an unselected document keeps the selection.
  TPellar::DocumentHandle blank = engine.CurrentDocument();
  TPellar::DocumentHandle added = engine.AddBlankDocument();
  EXPECT_EQ(engine.CurrentDocument(), added);
  EXPECT_EQ(engine.UseDocument(blank), 1);
  EXPECT_EQ(engine.DropDocument(added), 1);
  EXPECT_EQ(engine.CurrentDocument(), blank);
}

// Options 3 to 7 interpret the page and write the funnel: CSV lines (3), one block per word
// (4), each line followed by its widths (5 and 6), or the smart layout (7).
TEST(Pellar, PageTextOfTheInterpretedPage) {
  TTempDir dir;
  dir.Write("doc.pdf", MakeTestPdf({"BT /F1 12 Tf 72 700 Td (one two) Tj ET"}));
  TPellar engine;
  ASSERT_EQ(engine.LoadFile(Wide(dir.File("doc.pdf")), u""), 1);
  struct Case {
    int32_t Option;
    std::u16string Expected;
  };
  const std::u16string line = u"\"Arial\",#000000,12,72,697.516,114.024,697.516,114.024,708.616,72,708.616,";
  const Case cases[] = {
      {3, line + u"\"one two\"\r\n"},
      {4, u"\"Arial\",#000000,12,72,697.516,92.016,697.516,92.016,708.616,72,708.616,\"one\"\r\n"
          u"\"Arial\",#000000,12,95.352,697.516,114.024,697.516,114.024,708.616,95.352,708.616,\"two\"\r\n"},
      {5, line + u"\"one two\"\r\n6.672,6.672,6.672,3.336,3.336,8.664,6.672\r\n"},
      {7, u"\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n               one two\r\n"},
  };
  for (const Case& c : cases) {
    std::u16string text;
    engine.PageText(c.Option, text);
    EXPECT_EQ(text, c.Expected) << c.Option;
  }
}
