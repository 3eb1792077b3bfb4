#include <gtest/gtest.h>

#include <map>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"

namespace {

// The names that differ from StandardEncoding, by code.
std::map<int, std::string> Changes(const TGlyphNames& names) {
  std::map<int, std::string> changes;
  for (size_t code = 0; code < names.size(); ++code)
    if (names[code] != StandardEncodingNames()[code]) changes[int(code)] = names[code];
  return changes;
}

const std::string Header = "%!PS-AdobeFont-1.0: Test\n/FontName /Test def\n";

TEST(PellarType1Program, EncodingEntries) {
  const std::string array = "/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n";
  struct TCase {
    const char* Label;
    std::string Program;
    int64_t Length1, Length2;
    std::map<int, std::string> Expected;
  } cases[] = {
      {"StandardEncoding keeps every name", Header + "/Encoding StandardEncoding def\ndup 65 /B put\n", 100, 1, {}},
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
      {"Length1 zero", Header + array + "dup 65 /B put def", 0, 1, {}},
      {"Length1 negative", Header + array + "dup 65 /B put def", -5, 1, {}},
      {"Length2 zero", Header + array + "dup 65 /B put def", 1000, 0, {}},
      {"no clear text", "", 10, 10, {}},
      {"an unclosed string runs to the end", Header + "(dup 65 /B put " + array + "dup 66 /C put def", 1000, 1, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(Changes(Type1BuiltInEncoding(c.Program, c.Length1, c.Length2)), c.Expected);
  }
}

TEST(PellarType1Program, StandardNamesAndGhostscriptSubsets) {
  const TGlyphNames standard = Type1BuiltInEncoding("", 0, 0);
  EXPECT_EQ(standard[0x27], "quoteright");
  EXPECT_EQ(standard[0x41], "A");
  EXPECT_EQ(standard[0x7F], ".notdef");
  // ps2pdf subsets (tools/make_gs_fonts.sh): the recoded font's own codes, and the built-in
  // encoding a subset of the text's glyphs keeps, which agrees with StandardEncoding.
  const std::string recoded = FontFixture("gs-recoded.t1");
  const std::map<int, std::string> recodedNames{{1, "A"}, {2, "quotedblleft"}, {3, "Euro"}, {65, "B"}};
  EXPECT_EQ(Changes(Type1BuiltInEncoding(recoded, 675, 2795)), recodedNames);
  const std::string sans = FontFixture("gs-sans.t1");
  EXPECT_EQ(Changes(Type1BuiltInEncoding(sans, 835, 4011)), (std::map<int, std::string>{}));
}

}  // namespace
