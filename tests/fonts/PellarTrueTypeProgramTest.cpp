#include <gtest/gtest.h>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"
#include "tests/support/TestBytes.h"

namespace {


std::string Head(int unitsPerEm) { return std::string(18, '\0') + U16(unitsPerEm) + std::string(34, '\0'); }
std::string Hhea(int metrics) { return std::string(34, '\0') + U16(metrics); }
std::string Hmtx(std::initializer_list<int> advances) {
  std::string out;
  for (int advance : advances) out += U16(advance) + U16(0);
  return out;
}
std::string PostHeader(uint32_t format) {
  return Bytes({int(format >> 24), int(format >> 16 & 0xFF), int(format >> 8 & 0xFF), 0}) + std::string(28, '\0');
}
// Format 2: a name index per glyph, then the font's own names as Pascal strings.
std::string Post2(std::initializer_list<int> indices, std::initializer_list<std::string> own) {
  std::string out = PostHeader(0x00020000) + U16(int(indices.size()));
  for (int index : indices) out += U16(index);
  for (const std::string& name : own) out += char(name.size()) + name;
  return out;
}

// A font of four glyphs at 1000 units per em with advances 100 to 400 and the 'post' table.
std::string WithPost(const std::string& post) {
  return Sfnt({{"head", Head(1000)}, {"hhea", Hhea(4)}, {"hmtx", Hmtx({100, 200, 300, 400})}, {"post", post}});
}

using TAdvances = std::vector<std::pair<std::string, std::optional<int32_t>>>;

TEST(PellarTrueTypeProgram, ProducedFonts) {
  struct TCase {
    const char* File;
    TAdvances Expected;
  } cases[] = {
      // 2048 units per em; 'hmtx' holds five entries for six glyphs (the last two share 717).
      {"post2.ttf",
       {{".notdef", 500}, {"space", 277}, {"A", 666}, {"Alpha.alt", 722}, {"uni2022", 350}, {"g5", 350},
        {"B", std::nullopt}, {"", std::nullopt}}},
      {"post3.ttf", {{"A", std::nullopt}, {"space", std::nullopt}, {".notdef", std::nullopt}}},
      // Format 1 names every standard glyph; "A" (index 36) is past 'hmtx' and takes the last entry.
      {"post1.ttf", {{".null", 0}, {"exclam", 333}, {"quotedbl", 408}, {"A", 408}, {"Alpha.alt", std::nullopt}}},
  };
  for (const TCase& c : cases) {
    const TTrueTypeProgram program(FontFixture(c.File));
    for (const auto& [name, advance] : c.Expected) EXPECT_EQ(program.GlyphAdvance(name), advance) << c.File << " " << name;
  }
}

TEST(PellarTrueTypeProgram, NamesAndAdvances) {
  struct TCase {
    const char* Label;
    std::string Font;
    TAdvances Expected;
  } cases[] = {
      {"format 2.5: standard names by offset",
       WithPost(PostHeader(0x00025000) + U16(3) + Bytes({0, 35, 0xFD})), {{".notdef", 100}, {"A", 200}, {"B", {}}}},
      {"the last glyph of a name counts", WithPost(Post2({36, 259, 36, 258}, {"own", "x"})),
       {{"A", 300}, {"x", 200}, {"own", 400}}},
      {"an own name past the list is none", WithPost(Post2({259, 258}, {"own"})), {{"own", 200}, {"", {}}}},
      {"a truncated Pascal string is dropped", WithPost(Post2({258, 259}, {"own"}) + "\x05" "ab"),
       {{"own", 100}, {"ab", {}}}},
      {"a glyph count past the table reads what fits", WithPost(PostHeader(0x00020000) + U16(1000) + U16(36)),
       {{"A", 100}}},
      {"format 3: no names", WithPost(PostHeader(0x00030000)), {{".notdef", {}}}},
      {"format 4: no names", WithPost(PostHeader(0x00040000)), {{".notdef", {}}}},
      {"a 'post' table cut short", WithPost(PostHeader(0x00020000).substr(0, 20)), {{".notdef", {}}}},
      {"no 'post' table", Sfnt({{"head", Head(1000)}, {"hhea", Hhea(1)}, {"hmtx", Hmtx({100})}}), {{".notdef", {}}}},
      {"no 'hmtx': 750", Sfnt({{"head", Head(1000)}, {"hhea", Hhea(1)}, {"post", PostHeader(0x00010000)}}),
       {{"A", 750}}},
      {"no metrics in 'hhea': 750",
       Sfnt({{"head", Head(1000)}, {"hhea", Hhea(0)}, {"hmtx", Hmtx({100})}, {"post", PostHeader(0x00010000)}}),
       {{"A", 750}}},
      {"units per em 0: 750",
       Sfnt({{"head", Head(0)}, {"hhea", Hhea(1)}, {"hmtx", Hmtx({100})}, {"post", PostHeader(0x00010000)}}),
       {{"A", 750}}},
      {"'hhea' counts more metrics than 'hmtx' holds",
       Sfnt({{"head", Head(2000)}, {"hhea", Hhea(9)}, {"hmtx", Hmtx({100, 300}) + "\x01"},
             {"post", PostHeader(0x00010000)}}),
       {{".notdef", 50}, {".null", 150}, {"A", 150}}},
      {"a directory past the end", Sfnt({{"post", PostHeader(0x00010000)}}).substr(0, 20), {{".notdef", {}}}},
      {"not a font", "garbage", {{".notdef", {}}}},
  };
  for (const TCase& c : cases) {
    const TTrueTypeProgram program(c.Font);
    for (const auto& [name, advance] : c.Expected) EXPECT_EQ(program.GlyphAdvance(name), advance) << c.Label << " " << name;
  }
}

}  // namespace
