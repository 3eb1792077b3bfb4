#include <gtest/gtest.h>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"

namespace {

// A font whose 'cmap' has one format 4 subtable of (start, end, delta, range offset) segments
// and a glyph array, under the platform and encoding given.
std::string Format4Font(int platform, int encoding, const std::vector<std::array<int, 4>>& segments,
                        const std::vector<int>& glyphArray = {}) {
  std::string columns[4], glyphs;  // ends, starts, deltas, range offsets
  for (const auto& s : segments)
    for (size_t k = 0; k < 4; ++k) columns[k] += U16(s[size_t("\1\0\2\3"[k])] & 0xFFFF);
  for (int g : glyphArray) glyphs += U16(g);
  const std::string table = U16(4) + U16(0) + U16(0) + U16(int(2 * segments.size())) + std::string(6, '\0') +
                            columns[0] + U16(0) + columns[1] + columns[2] + columns[3] + glyphs;
  return Sfnt({{"cmap", U16(0) + U16(1) + U16(platform) + U16(encoding) + U16(0) + U16(12) + table}});
}

TEST(PellarTrueTypeCmap, GlyphCharacters) {
  struct TCase {
    const char* Label;
    std::string Font;
    std::vector<char32_t> Expected;
  } cases[] = {
      // FontBuilder's format 4 and 12 subtables (tools/make_test_fonts.py): the space glyph
      // also stands for U+00A0 and keeps the lower character.
      {"fontTools font", FontFixture("cmap.ttf"), {0, 0x20, 'A', 'B', 0x0E01, 0x1D400}},
      {"no cmap", Sfnt({{"head", std::string(54, '\0')}}), {}},
      {"delta and glyph array", Format4Font(3, 1, {{0x41, 0x42, -0x40, 0}, {0x61, 0x62, 0, 4}, {0xFFFF, 0xFFFF, 1, 0}}, {7, 0}),
       {0, 'A', 'B', 0, 0, 0, 0, 'a'}},
      {"a glyph array past the table ends the segment", Format4Font(0, 3, {{0x41, 0x43, 0, 2}}, {5}), {0, 0, 0, 0, 0, 'A'}},
      {"symbol subtables are not read", Format4Font(3, 0, {{0xF041, 0xF041, 0x10000 - 0xF040, 0}}), {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(TrueTypeGlyphCharacters(c.Font), c.Expected) << c.Label;
}

}  // namespace
