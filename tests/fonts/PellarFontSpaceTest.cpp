#include "fonts/PellarFontSpace.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/TestFonts.h"

namespace {

using TFont = TPDFFontCollectionData;

// A composite font whose default width is an em, with the ToUnicode map given.
std::function<void(TFont&)> Composite(TPDFCMap map, std::function<void(TFont&)> more = [](TFont&) {}) {
  return [map, more](TFont& f) {
    f.Composite = true;
    f.ToUnicodeRanges = map;
    f.CIDWidths.SetDefault(1000);
    more(f);
  };
}

TEST(PellarFontSpace, CodeAndWidth) {
  struct TCase {
    const char* Label;
    std::function<void(TFont&)> Change;
    int Code;
    double Width;
  } cases[] = {
      {"simple font's code 32", [](TFont&) {}, 32, 250},
      {"space of width 0 takes the default", [](TFont& f) { f.Widths[32] = 0; }, 32, 280},
      {"code 32 a Type 1 encoding array leaves unset still measures", [](TFont& f) {
         f.ProgramKind = TFontProgramKind::Type1;
         f.AnsiText.Change(32).clear();
         f.GlyphNames.Change(32) = ".notdef";
         f.Widths[32] = 525;
       }, 32, 525},
      {"code 32 that shows another glyph lends 255", [](TFont& f) { f.AnsiText.Change(32) = "x"; }, 255, 280},
      {"an unset code 32 of a compact program lends 255", [](TFont& f) {
         f.ProgramKind = TFontProgramKind::Compact;
         f.AnsiText.Change(32).clear();
         f.GlyphNames.Change(32) = ".notdef";
       }, 255, 280},
      {"composite: CID width of the code mapped to U+0020",
       Composite({{0x41, 0x5A, {0x41}}, {0x10, 0x1F, {0x12}}}, [](TFont& f) { f.CIDWidths.Add(0x1E, 0x1E, 226); }), 32, 226},
      {"composite: a space an em wide is no measure", Composite({{0x03, 0x03, {0x20}}}), 32, 280},
      {"composite: a shadowed space mapping does not count",
       Composite({{3, 3, {0x41}}, {3, 3, {0x20}}}, [](TFont& f) { f.CIDWidths.Add(3, 3, 200); }), 32, 280},
      {"composite: code 32 of Adobe-Identity", Composite({}, [](TFont& f) {
         f.EncodingName = "Identity-H";
         f.CIDSystemInfo = "Adobe-Identity-0";
         f.CIDWidths.Add(32, 32, 333);
       }), 32, 333},
      {"Type 3 measured space in glyph units", [](TFont& f) {
         f.ProgramKind = TFontProgramKind::Type3;
         f.FontMatrix = {0.012, 0, 0, -0.012, 0, 0};
         f.Widths[32] = 25;
       }, 32, 25},
  };
  for (const TCase& c : cases) {
    auto font = SimpleTestFont(1);
    font->LastChar = 126;
    font->AnsiText.Change(32) = " ";
    c.Change(*font);
    const TPDFFontSpace space = FontSpace(*font);
    EXPECT_EQ(space.Code, c.Code) << c.Label;
    EXPECT_DOUBLE_EQ(space.Width, c.Width) << c.Label;
  }
}

}  // namespace
