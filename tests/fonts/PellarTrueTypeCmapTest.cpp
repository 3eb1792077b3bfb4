#include <gtest/gtest.h>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"
#include "tests/support/TestBytes.h"

namespace {

std::string U32(uint32_t v) { return U16(int(v >> 16)) + U16(int(v & 0xFFFF)); }

// A 'cmap' table of (platform, encoding, subtable) records, the subtables behind them.
std::string Cmap(const std::vector<std::tuple<int, int, std::string>>& subtables) {
  std::string head = U16(0) + U16(int(subtables.size())), body;
  size_t offset = 4 + 8 * subtables.size();
  for (const auto& [platform, encoding, table] : subtables) {
    head += U16(platform) + U16(encoding) + U32(uint32_t(offset + body.size()));
    body += table;
  }
  return head + body;
}

// Format 4 of (start, end, delta, range offset) segments and a glyph array.
std::string Format4(const std::vector<std::array<int, 4>>& segments, const std::vector<int>& glyphArray = {}) {
  std::string ends, starts, deltas, offsets, glyphs;
  for (const auto& s : segments) {
    ends += U16(s[1]);
    starts += U16(s[0]);
    deltas += U16(s[2] & 0xFFFF);
    offsets += U16(s[3]);
  }
  for (int g : glyphArray) glyphs += U16(g);
  return U16(4) + U16(0) + U16(0) + U16(int(2 * segments.size())) + U16(0) + U16(0) + U16(0) + ends + U16(0) +
         starts + deltas + offsets + glyphs;
}

// Format 12 of (first character, last character, first glyph) groups.
std::string Format12(const std::vector<std::array<uint32_t, 3>>& groups) {
  std::string out = U16(12) + U16(0) + U32(0) + U32(0) + U32(uint32_t(groups.size()));
  for (const auto& g : groups) out += U32(g[0]) + U32(g[1]) + U32(g[2]);
  return out;
}

std::string CmapFont(const std::vector<std::tuple<int, int, std::string>>& subtables) {
  return Sfnt({{"cmap", Cmap(subtables)}});
}

TEST(PellarTrueTypeCmap, GlyphCharacters) {
  std::vector<char32_t> lastTwo(0x10000, 0);
  lastTwo[0xFFFE] = 'A';
  lastTwo[0xFFFF] = 'B';
  struct TCase {
    const char* Label;
    std::string Font;
    std::vector<char32_t> Expected;
  } cases[] = {
      // FontBuilder's subtables (tools/make_test_fonts.py): the space glyph also stands for
      // U+00A0 and keeps the lower character; U+1D400 comes from the format 12 subtable.
      {"fontTools font", FontFixture("cmap.ttf"), {0, 0x20, 'A', 'B', 0x0E01, 0x1D400}},
      {"no cmap", Sfnt({{"head", std::string(54, '\0')}}), {}},
      {"delta and glyph array",
       CmapFont({{3, 1, Format4({{0x41, 0x42, -0x40, 0}, {0x61, 0x62, 0, 4}, {0xFFFF, 0xFFFF, 1, 0}}, {7, 0})}}),
       {0, 'A', 'B', 0, 0, 0, 0, 'a'}},
      {"a better subtable wins, a worse one fills in",
       CmapFont({{0, 3, Format4({{0x61, 0x62, -0x60, 0}})}, {3, 10, Format12({{0x10000, 0x10000, 1}})}}),
       {0, 0x10000, 'b'}},
      {"symbol and Macintosh subtables are not read",
       CmapFont({{3, 0, Format4({{0xF041, 0xF041, 0x10000 - 0xF040, 0}})}, {1, 0, Format4({{0x41, 0x41, -0x40, 0}})}}),
       {}},
      {"a glyph array past the table ends the segment",
       CmapFont({{3, 1, Format4({{0x41, 0x43, 0, 2}}, {5})}}), {0, 0, 0, 0, 0, 'A'}},
      {"groups past the glyph space and backwards are cut or skipped",
       CmapFont({{3, 10, Format12({{0x41, 0x10FFFF, 0xFFFE}, {0x50, 0x40, 1}, {0x60, 0x60, 0x10000}})}}), lastTwo},
      {"subtable offset past the table", Sfnt({{"cmap", U16(0) + U16(1) + U16(3) + U16(1) + U32(999)}}), {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(TrueTypeGlyphCharacters(c.Font), c.Expected) << c.Label;
}

}  // namespace
