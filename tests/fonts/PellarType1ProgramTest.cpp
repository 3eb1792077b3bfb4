#include <gtest/gtest.h>

#include <map>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"

namespace {

// The names other than ".notdef", by code.
std::map<int, std::string> Glyphs(const TGlyphNames& names) {
  std::map<int, std::string> glyphs;
  for (size_t code = 0; code < names.size(); ++code)
    if (names[code] != ".notdef") glyphs[int(code)] = names[code];
  return glyphs;
}

const std::string Header = "%!PS-AdobeFont-1.0: Test\n/FontName /Test def\n";

TEST(PellarType1Program, EncodingEntries) {
  const std::string array = "/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n";
  struct TCase {
    const char* Label;
    std::string Program;
    int64_t Length1, Length2;
    std::map<int, std::string> Expected;  // the glyphs other than .notdef
    bool Standard = false;                // the StandardEncoding names instead
  } cases[] = {
      {"StandardEncoding keeps every name", Header + "/Encoding StandardEncoding def\ndup 65 /B put\n", 100, 1, {}, true},
      {"one entry", Header + array + "dup 97 /A put\nreadonly def\n", 1000, 1, {{97, "A"}}},
      {"entries replace", Header + array + "dup 65 /B put dup 1 /Euro put dup 255 /y put readonly def", 1000, 1,
       {{65, "B"}, {1, "Euro"}, {255, "y"}}},
      {"the last entry for a code wins", Header + array + "dup 66 /x put dup 66 /C put def", 1000, 1, {{66, "C"}}},
      {"codes outside 0 to 255 and non-integers are skipped",
       Header + array + "dup 256 /x put dup -1 /x put dup 1.0 /x put dup 8#101 /x put dup 2 x put def", 1000, 1, {}},
      {"entries after the def are not the encoding", Header + array + "def\ndup 65 /B put", 1000, 1, {}},
      {"strings and comments hide entries",
       Header + "/Notice (dup 65 /B put \\) (nested) dup) def % dup 66 /C put\n<0041> " + array +
           "(\\)) pop dup 67 /D put def",
       1000, 1, {{67, "D"}}},
      {"an /Encoding that defines no array is skipped", Header + "/FontInfo << /Encoding /Custom >> def\n" + array +
                                                          "dup 68 /E put def", 1000, 1, {{68, "E"}}},
      {"Length1 cuts the clear text", Header + array + "dup 65 /B put dup 66 /C put def",
       int64_t(Header.size() + array.size() + 14), 1, {{65, "B"}}},
      {"a Length1 past the end takes all", Header + array + "dup 65 /B put", int64_t(1) << 40, 1, {{65, "B"}}},
      {"Length1 zero", Header + array + "dup 65 /B put def", 0, 1, {}, true},
      {"Length1 negative", Header + array + "dup 65 /B put def", -5, 1, {}, true},
      {"Length2 zero", Header + array + "dup 65 /B put def", 1000, 0, {}, true},
      {"no clear text", "", 10, 10, {}, true},
      {"an unclosed string runs to the end", Header + "(dup 65 /B put " + array + "dup 66 /C put def", 1000, 1,
       {}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const TGlyphNames names = Type1BuiltInEncoding(c.Program, c.Length1, c.Length2);
    if (c.Standard)
      EXPECT_EQ(names, StandardEncodingNames());
    else
      EXPECT_EQ(Glyphs(names), c.Expected);
  }
}

TEST(PellarType1Program, StandardNamesAndGhostscriptSubsets) {
  const TGlyphNames standard = Type1BuiltInEncoding("", 0, 0);
  EXPECT_EQ(standard[0x27], "quoteright");
  EXPECT_EQ(standard[0x41], "A");
  EXPECT_EQ(standard[0x7F], ".notdef");
  // ps2pdf subsets (tools/make_gs_fonts.sh) build their encodings as arrays: the recoded font
  // (a hand-written encoding) has only its own codes, no space at 32; the sans subset keeps
  // the StandardEncoding names of the glyphs its text uses.
  const std::string recoded = FontFixture("gs-recoded.t1");
  const std::map<int, std::string> recodedNames{{1, "A"}, {2, "quotedblleft"}, {3, "Euro"}, {65, "B"}};
  EXPECT_EQ(Glyphs(Type1BuiltInEncoding(recoded, 675, 2795)), recodedNames);
  const TGlyphNames sans = Type1BuiltInEncoding(FontFixture("gs-sans.t1"), 835, 4011);
  EXPECT_EQ(Glyphs(sans).size(), 15u);
  for (int code : {32, 33, 72, 117}) EXPECT_EQ(sans[size_t(code)], StandardEncodingNames()[size_t(code)]) << code;
}

}  // namespace
