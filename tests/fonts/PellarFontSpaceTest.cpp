#include "fonts/PellarFontSpace.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/support/TestFonts.h"

namespace {

// The space code and width of simple, composite and Type 3 fonts.
TEST(PellarFontSpace, CodeAndWidth) {
  using TChange = std::function<void(TPDFFontCollectionData&)>;
  auto composite = [](TPDFCMap map, TChange more = {}) {
    return TChange([map, more](TPDFFontCollectionData& font) {
      font.Composite = true;
      font.AnsiText[32] = " ";  // the standard names a composite record keeps
      font.Widths.fill(1000);
      font.ToUnicodeRanges = map;
      font.CIDWidths.SetDefault(1000);
      if (more) more(font);
    });
  };
  struct TCase {
    const char* Label;
    TChange Change;
    int Code;
    double Width;
  } cases[] = {
      {"simple font's code 32", [](TPDFFontCollectionData&) {}, 32, 250},
      {"space of width 0 takes the default", [](TPDFFontCollectionData& f) { f.Widths[32] = 0; }, 32, 280},
      {"the lowest other space code",
       [](TPDFFontCollectionData& f) {
         f.AnsiText[32].clear();
         f.AnsiText[160] = " ";
         f.Widths[160] = 300;
         f.LastChar = 255;
       },
       160, 300},
      {"composite: CID width of the code mapped to U+0020",
       composite({{0x41, 0x5A, {0x41}}, {0x10, 0x1F, {0x12}}}, [](TPDFFontCollectionData& f) { f.CIDWidths.Add(0x1E, 0x1E, 226); }),
       32, 226},
      {"composite: a space at the default width of an em is no measure", composite({{0x03, 0x03, {0x20}}}), 32, 280},
      {"composite: a shadowed space mapping does not count",
       composite({{0x03, 0x03, {0x41}}, {0x03, 0x03, {0x20}}}, [](TPDFFontCollectionData& f) { f.CIDWidths.Add(3, 3, 200); }),
       32, 280},
      {"composite without a space", composite({{0x41, 0x5A, {0x41}}}), 32, 280},
      {"composite: Identity code 32 of Adobe-Identity",
       composite({},
                 [](TPDFFontCollectionData& f) {
                   f.EncodingName = "Identity-H";
                   f.CIDSystemInfo = "Adobe-Identity-0";
                   f.CIDWidths.Add(32, 32, 333);
                 }),
       32, 333},
      {"Type 3 default in FontMatrix units",
       [](TPDFFontCollectionData& f) {
         f.ProgramKind = TFontProgramKind::Type3;
         f.FontMatrix = {0.012, 0, 0, -0.012, 0, 0};
         f.Widths[32] = 0;
       },
       32, 280.0 / 12},
      {"Type 3 measured space stays in glyph units",
       [](TPDFFontCollectionData& f) {
         f.ProgramKind = TFontProgramKind::Type3;
         f.FontMatrix = {0.012, 0, 0, 0.012, 0, 0};
       },
       32, 250},
      {"Type 3 matrix that text showing does not use",
       [](TPDFFontCollectionData& f) {
         f.ProgramKind = TFontProgramKind::Type3;
         f.FontMatrix = {0, 0, 0, 0.012, 0, 0};
         f.Widths[32] = 0;
       },
       32, 280},
  };
  for (const TCase& c : cases) {
    std::unique_ptr<TPDFFontCollectionData> font = SimpleTestFont(1);
    font->LastChar = 126;
    font->AnsiText[32] = " ";
    c.Change(*font);
    const TPDFFontSpace space = FontSpace(*font);
    EXPECT_EQ(space.Code, c.Code) << c.Label;
    EXPECT_DOUBLE_EQ(space.Width, c.Width) << c.Label;
  }
}

}  // namespace
