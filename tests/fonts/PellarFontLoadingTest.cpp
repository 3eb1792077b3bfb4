// Fonts as real producers write them, loaded from their files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontSpace.h"
#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "tests/support/FontTestSupport.h"
#include "tests/support/RunProcess.h"
#include "tests/support/TestBytes.h"

namespace {

// The text of string bytes in the current font, as the text readers take it.
std::u16string TextOf(const TPDFFontCollection& fonts, const std::string& bytes) {
  std::u16string text;
  if (fonts.Current()->Composite) {
    for (int32_t code : fonts.SplitCodes(bytes)) text += fonts.CodeToUnicode(code);
  } else {
    for (unsigned char byte : bytes) text += fonts.CodeToUnicode(byte);
  }
  return text;
}

// Strings of the fixtures' pages in the fonts that show them; the texts are those pdftotext
// gives for the same strings.
TEST(PellarFontLoading, FontsOfRealProducers) {
  struct TCase {
    const char* File;
    const char* Resource;
    std::string Bytes;
    std::u16string Text;
  };
  const std::string sans = "Hello \x93quoted\x94 caf\xe9", recoded = "\x01\x02\x03" "A";
  const std::vector<TCase> cases = {
      {"type1.pdf", "R7", sans, u"Hello quoted caf\u00D8"},
      {"type1.pdf", "R9", recoded, u"A\u201C\u20ACB"},
      {"type1.pdf", "R11", "abg", u"\u03B1\u03B2\u03B3"},
      {"cff.pdf", "R7", sans, u"Hello quoted caf\u00D8"},
      {"cff.pdf", "R9", recoded, u"A\u201C\u20ACB"},
      {"cff.pdf", "R11", "abg", u"\u03B1\u03B2\u03B3"},
      {"cairo.pdf", "f-0-0", "Hello caf\xd8", u"Hello caf\u00D8"},
      {"cairo.pdf", "f-0-1", std::string("\0\1", 2), u"\uFFFD"},
      {"cairo.pdf", "f-1-0", "A\x93\x80" "B", u"A\u201C\u20ACB"},
      {"cairo.pdf", "f-2-1", std::string("\0\1\0\2\0\3", 6), u"\u03B1\u03B2\u03B3"},
  };
  TFakeFontCatalogue noFonts;
  TScopedFontCatalogue installed(noFonts);
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.File) + " " + c.Resource);
    TPDFDocument document;
    ASSERT_EQ(document.LoadFromBytes(ReadSourceFile(std::string("tests/fixtures/fontload/") + c.File), u""), TPDFDocument::LoadOk);
    TPDFDictionary* resources = document.PageTree().PageResources();
    auto* fontResources = As<TPDFDictionary>(resources->Get("Font", true));
    ASSERT_NE(fontResources, nullptr);
    auto* ref = As<TPDFIndRef>(fontResources->Get(c.Resource, false));
    ASSERT_NE(ref, nullptr);
    TPDFFontCollection fonts;
    fonts.LoadFontPrograms = true;
    fonts.SelectFont(ref);
    EXPECT_EQ(UnitsToHex(TextOf(fonts, c.Bytes)), UnitsToHex(c.Text));
  }
}

// TrueType fonts: an embedded symbolic subset, and unembedded fonts with an installed
// stand-in (its 'post' names and advances) or without one.
TEST(PellarFontLoading, TrueTypeFontsEmbeddedAndSubstituted) {
  struct TCase {
    const char* Name;
    std::string Font;
    bool Embedded;
    std::string InstalledFace;
    std::u16string Text;         // of "A\x93 B"
    std::vector<double> Widths;  // of A, space, B
  };
  const std::string standIn = FontFixture("post2.ttf");
  const std::vector<TCase> cases = {
      {"embedded symbolic subset", "/Encoding /WinAnsiEncoding", true, "", u"A\u201C B", {750, 750, 750}},
      {"embedded symbolic subset without encoding", "", true, "", u"A\u0093 B", {750, 750, 750}},
      {"unembedded, stand-in installed", "/Encoding /WinAnsiEncoding", false, standIn, u"A\u201C B",
       {666, 277, 750}},
      {"unembedded, nothing installed", "/Encoding /WinAnsiEncoding", false, "", u"A\u201C B", {750, 750, 750}},
  };
  const std::string program = ReadSourceFile("tests/fixtures/fontload/symbolic.ttf");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeFontCatalogue catalogue;
    if (!c.InstalledFace.empty()) catalogue.Add("Arial", false, false, c.InstalledFace);
    TScopedFontCatalogue installed(catalogue);
    TTestPdfWriter writer;
    writer.Add("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Wingy " + c.Font + " /FontDescriptor 2 0 R >>");
    writer.Add(std::string("<< /Type /FontDescriptor /Flags ") + (c.Embedded ? "4 /FontFile2 3 0 R" : "32") + " >>");
    writer.AddStream("/Length1 " + std::to_string(program.size()), program);
    TFontTestDocument file(writer);
    ASSERT_TRUE(file.Loaded);
    TPDFFontCollection fonts;
    fonts.LoadFontPrograms = true;
    fonts.SelectFont(file.Ref(1));
    EXPECT_EQ(UnitsToHex(TextOf(fonts, "A\x93 B")), UnitsToHex(c.Text));
    const TPDFFontCollectionData& font = *fonts.Current();
    EXPECT_EQ((std::vector<double>{font.Widths['A'], font.Widths[' '], font.Widths['B']}), c.Widths);
    EXPECT_EQ(font.ProgramKind, c.Embedded || !c.InstalledFace.empty() ? TFontProgramKind::TrueType : TFontProgramKind::None);
  }
}

// Composite TrueType fonts showing glyph indexes (cmap.ttf: glyphs 1 to 5 are space, A, B,
// U+0E01 and U+1D400; glyph 6 has no character): without a ToUnicode map the program's 'cmap'
// gives the text, through the /CIDToGIDMap when there is one; the space's CID width measures
// word gaps, from the program's space or the map's U+0020.
TEST(PellarFontLoading, IdentityTrueTypeFontsReadThroughTheirProgram) {
  struct TCase {
    const char* Name;
    std::string Entries;    // of the CIDFont
    std::string ToUnicode;  // none when empty
    std::u16string Text;    // of CIDs 1 to 6
    double Space;
  };
  const std::string gids = Bytes({0, 0, 0, 3, 0, 2, 0, 1, 0, 2, 0, 6, 0, 4});  // CIDs 0 to 6
  const std::vector<TCase> cases = {
      {"glyph indexes", "", "", u"\u0020AB\u0E01\U0001D400\u0006", 250},
      // CID 3 shows the space, at the default width of an em: no measure of a word gap.
      {"through the CIDToGIDMap", "/CIDToGIDMap 4 0 R", "", u"BA\u0020A\u0005\u0E01", 280},
      {"a ToUnicode map decides", "",
       "begincodespacerange <0000> <FFFF> endcodespacerange 1 beginbfchar <0002> <0020> endbfchar", u"\u0020", 600},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestPdfWriter writer;
    writer.Add("<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Cmap /Encoding /Identity-H /DescendantFonts [2 0 R]" +
               std::string(c.ToUnicode.empty() ? "" : " /ToUnicode 5 0 R") + " >>");
    writer.Add("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+Cmap /FontDescriptor 3 0 R /DW 1000 "
               "/W [1 [250 600]] /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> " +
               c.Entries + " >>");
    writer.Add("<< /Type /FontDescriptor /Flags 32 /FontFile2 6 0 R >>");
    writer.AddStream("", gids);
    writer.AddStream("", c.ToUnicode);
    writer.AddStream("", FontFixture("cmap.ttf"));
    TFontTestDocument file(writer);
    ASSERT_TRUE(file.Loaded);
    TPDFFontCollection fonts;
    fonts.LoadFontPrograms = true;
    fonts.SelectFont(file.Ref(1));
    EXPECT_EQ(UnitsToHex(TextOf(fonts, Bytes({0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6}))), UnitsToHex(c.Text));
    EXPECT_EQ(FontSpace(*fonts.Current()).Width, c.Space);
  }
}

}  // namespace
