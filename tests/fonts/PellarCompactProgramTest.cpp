#include <gtest/gtest.h>

#include <map>

#include "data/PellarFontProgramData.h"
#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"
#include "tests/support/TestBytes.h"

namespace {

using TNames = std::map<int, std::string>;

// The codes a custom encoding names, when every other code is ".notdef".
TNames Assigned(const TGlyphNames& names) {
  TNames assigned;
  for (size_t code = 0; code < names.size(); ++code)
    if (names[code] != ".notdef") assigned[int(code)] = names[code];
  return assigned;
}

const std::string Zero(1, '\0');

// The generated tables against values the CFF and TrueType formats fix.
TEST(PellarFontProgramData, PinnedValues) {
  EXPECT_STREQ(CFFStandardStrings[0], ".notdef");
  EXPECT_STREQ(CFFStandardStrings[1], "space");
  EXPECT_STREQ(CFFStandardStrings[149], "germandbls");
  EXPECT_STREQ(CFFStandardStrings[229], "exclamsmall");
  EXPECT_STREQ(CFFStandardStrings[390], "Semibold");
  EXPECT_STREQ(CFFStandardStrings[CFFExpertCharset[2]], "exclamsmall");
  EXPECT_STREQ(CFFStandardStrings[CFFExpertCharset[165]], "Ydieresissmall");
  EXPECT_STREQ(CFFStandardStrings[CFFExpertSubsetCharset[86]], "commainferior");
  EXPECT_STREQ(MacGlyphNames[3], "space");
  EXPECT_STREQ(MacGlyphNames[36], "A");
  EXPECT_STREQ(MacGlyphNames[257], "dcroat");
  const TGlyphNames& standard = StandardEncodingNames();
  const TNames some{{0x20, "space"}, {0x27, "quoteright"}, {0x60, "quoteleft"}, {0x7E, "asciitilde"},
                    {0xA1, "exclamdown"}, {0xE1, "AE"}, {0xFB, "germandbls"}};
  for (const auto& [code, name] : some) EXPECT_EQ(standard[size_t(code)], name);
  EXPECT_EQ(Assigned(standard).size(), 149u);
}

TEST(PellarCompactProgram, ProducedFonts) {
  const TNames enc0{{7, "uni2022"}, {36, "dollar"}, {65, "A"}, {200, "Alpha.alt"}};
  const TNames enc1{{32, "space"}, {33, "exclam"}, {34, "quotedbl"}, {97, "a.sc"}};
  const TNames recoded{{1, "A"}, {2, "quotedblleft"}, {3, "Euro"}, {65, "B"}};
  const TNames sans{{32, "space"}, {33, "exclam"}, {34, "quotedbl"}, {44, "comma"}, {72, "H"},
                    {87, "W"},     {100, "d"},      {101, "e"},         {108, "l"},     {111, "o"},
                    {113, "q"},    {114, "r"},      {115, "s"},         {116, "t"},     {117, "u"}};
  struct TCase {
    const char* File;
    TNames Expected;
    double WidthScale;
  } cases[] = {
      {"enc0.cff", enc0, 1},         {"enc0.otf", enc0, 1},       {"enc1.cff", enc1, 1000.0 / 2048},
      {"enc1.otf", enc1, 1000.0 / 2048}, {"gs-recoded.cff", recoded, 1}, {"gs-sans.cff", sans, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    const TCompactProgram program = ParseCompactProgram(FontFixture(c.File));
    EXPECT_EQ(Assigned(program.Encoding), c.Expected);
    EXPECT_DOUBLE_EQ(program.WidthScale, c.WidthScale);
    EXPECT_FALSE(program.CIDKeyed);
  }
}

TEST(PellarCompactProgram, CharsetsAndEncodings) {
  const std::string ros = CffInt(391) + CffInt(392) + CffInt(0) + "\x0c\x1e";
  struct TCase {
    const char* Label;
    TCompactParts Parts;
    TNames Expected;
  } cases[] = {
      {"ISOAdobe charset, format 1 ranges (first 32, count - 1 = 2)",
       TCompactParts(4).EncodingBytes(Bytes({1, 1, 32, 2})), {{32, "space"}, {33, "exclam"}, {34, "quotedbl"}}},
      {"format 0 charset: a standard and an own string",
       TCompactParts(3).WithStrings({"own"}).CharsetBytes(Zero + U16(391) + U16(5)).EncodingBytes(Bytes({0, 2, 65, 66})),
       {{65, "own"}, {66, "dollar"}}},
      {"format 1 charset ranges",
       TCompactParts(4).CharsetBytes("\x01" + U16(100) + "\x02").EncodingBytes(Bytes({0, 3, 10, 11, 12})),
       {{10, CFFStandardStrings[100]}, {11, CFFStandardStrings[101]}, {12, CFFStandardStrings[102]}}},
      {"format 2 charset ranges",
       TCompactParts(3).CharsetBytes("\x02" + U16(300) + U16(1)).EncodingBytes(Bytes({0, 2, 10, 11})),
       {{10, CFFStandardStrings[300]}, {11, CFFStandardStrings[301]}}},
      {"Expert charset", TCompactParts(3).EncodingBytes(Bytes({0, 2, 1, 2})).Predefined(1, std::nullopt),
       {{1, "space"}, {2, "exclamsmall"}}},
      {"ExpertSubset charset", TCompactParts(3).EncodingBytes(Bytes({0, 2, 1, 2})).Predefined(2, std::nullopt),
       {{1, "space"}, {2, "dollaroldstyle"}}},
      {"CID-keyed glyphs are named by CID",
       TCompactParts(3).Top(ros).CharsetBytes("\x02" + U16(100) + U16(1)).EncodingBytes(Bytes({0, 2, 5, 6})),
       {{5, "CID:100"}, {6, "CID:101"}}},
      {"supplements add codes beside the glyphs' own",
       TCompactParts(2).WithStrings({"own"}).EncodingBytes(Bytes({0x80, 1, 65, 2, 66, 0, 5, 67, 1, 135})),
       {{65, "space"}, {66, "dollar"}, {67, "own"}}},
      {"range codes above 255 are dropped", TCompactParts(4).EncodingBytes(Bytes({1, 1, 254, 2})),
       {{254, "space"}, {255, "exclam"}}},
      // What cannot be read leaves .notdef.
      {"a string identifier past the String INDEX",
       TCompactParts(2).WithStrings({"own"}).CharsetBytes(Zero + U16(392)).EncodingBytes(Bytes({0, 1, 65})), {}},
      {"codes for glyphs the font does not have", TCompactParts(2).EncodingBytes(Bytes({0, 3, 10, 11, 12})),
       {{10, "space"}}},
      {"a truncated encoding keeps what was read", TCompactParts(4).EncodingBytes(Bytes({0, 3, 10, 11})),
       {{10, "space"}, {11, "exclam"}}},
      {"a truncated range is dropped", TCompactParts(4).EncodingBytes(Bytes({1, 2, 10, 0, 20})), {{10, "space"}}},
      {"a truncated supplement is dropped", TCompactParts(2).EncodingBytes(Bytes({0x80, 1, 65, 1, 66, 0})),
       {{65, "space"}}},
      {"a truncated charset names fewer glyphs",
       TCompactParts(4).CharsetBytes(Zero + U16(5) + Zero).EncodingBytes(Bytes({0, 3, 10, 11, 12})), {{10, "dollar"}}},
      {"an unknown charset format names none", TCompactParts(3).CharsetBytes(Bytes({3, 0, 5})).EncodingBytes(Bytes({0, 1, 10})),
       {}},
      {"an unknown encoding format names none", TCompactParts(3).EncodingBytes(Bytes({2, 1, 10, 0})), {}},
      {"no CharStrings, no glyphs", TCompactParts(0).EncodingBytes(Bytes({0, 1, 10})), {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(Assigned(ParseCompactProgram(CompactFont(c.Parts)).Encoding), c.Expected);
  }
  EXPECT_TRUE(ParseCompactProgram(CompactFont(cases[6].Parts)).CIDKeyed);
}

TEST(PellarCompactProgram, PredefinedEncodingsAndWidthScale) {
  const TGlyphNames empty{};
  const std::string half = Bytes({0x1e, 0x0a, 0x00, 0x05, 0xff});  // 0.0005
  struct TCase {
    const char* Label;
    TCompactParts Parts;
    const TGlyphNames& Expected;
    double WidthScale;
  } cases[] = {
      {"no Encoding: StandardEncoding", TCompactParts(2), StandardEncodingNames(), 1},
      {"Encoding 0: StandardEncoding", TCompactParts(2).Predefined(std::nullopt, 0), StandardEncodingNames(), 1},
      {"Encoding 1: no names", TCompactParts(2).Predefined(std::nullopt, 1), empty, 1},
      {"an Encoding offset past the data: no names", TCompactParts(2).Predefined(std::nullopt, 100000), empty, 1},
      {"FontMatrix 0.0005", TCompactParts(2).Top(half + "\x8b\x8b" + half + "\x8b\x8b\x0c\x07"),
       StandardEncodingNames(), 0.5},
      {"FontMatrix 0", TCompactParts(2).Top("\x8b\x8b\x8b\x8b\x8b\x8b\x0c\x07"), StandardEncodingNames(), 1},
      {"a malformed real ends the DICT", TCompactParts(2).Top(Bytes({0x1e, 0xaa, 0xff, 0x0c, 0x07})),
       StandardEncodingNames(), 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const TCompactProgram program = ParseCompactProgram(CompactFont(c.Parts));
    EXPECT_EQ(program.Encoding, c.Expected);
    EXPECT_DOUBLE_EQ(program.WidthScale, c.WidthScale);
  }
}

TEST(PellarCompactProgram, DamagedStructures) {
  const std::string header = Bytes({1, 0, 4, 1});
  const std::string name = CffIndex({"F"});
  const std::string standard = "\x8b\x10";  // Encoding 0
  struct TCase {
    const char* Label;
    std::string Data;
    bool Read;  // the Top DICT was reached
  } cases[] = {
      {"whole", header + name + CffIndex({standard}) + CffIndex({}), true},
      {"four-byte offsets", header + CffIndex({"F"}, 4) + CffIndex({standard}, 3), true},
      {"Top DICT offsets run backwards", header + name + Bytes({0, 1, 1, 3, 1}) + standard, false},
      {"Top DICT offsets past the end", header + name + Bytes({0, 1, 1, 1, 9}) + standard, false},
      {"first offset 0", header + name + Bytes({0, 1, 1, 0, 2}) + standard, false},
      {"offset size 0", header + name + Bytes({0, 1, 0, 1, 3}) + standard, false},
      {"offset size 5", header + name + Bytes({0, 1, 5, 0, 0, 0, 0, 1, 0, 0, 0, 0, 3}) + standard, false},
      {"Name INDEX past the end", header + Bytes({0, 1, 1, 1, 200}) + CffIndex({standard}), false},
      {"Name INDEX count past the offsets", header + Bytes({0xff, 0xff, 2, 0, 1}), false},
      {"header size past the end", Bytes({1, 0, 200, 1}) + name + CffIndex({standard}), false},
      {"CFF2", Bytes({2, 0, 5, 0, 0}) + CffIndex({standard}), false},
      {"three bytes", Bytes({1, 0, 4}), false},
      {"empty", "", false},
      {"OpenType without a CFF table", Sfnt({{"head", std::string(54, '\0')}}, "OTTO"), false},
      {"OpenType CFF table", Sfnt({{"CFF ", header + name + CffIndex({standard})}}, "OTTO"), true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(ParseCompactProgram(c.Data).Encoding, c.Read ? StandardEncodingNames() : TGlyphNames{});
  }
}

TEST(PellarCompactProgram, IsCompactProgram) {
  struct TCase {
    const char* Label;
    std::string Data;
    bool Expected;
  } cases[] = {
      {"OpenType with CFF", FontFixture("enc0.otf"), true},
      {"TrueType", FontFixture("post2.ttf"), false},
      {"bare CFF", FontFixture("enc0.cff"), false},
      {"TrueType-tagged with a CFF table", Sfnt({{"CFF ", "x"}}), true},
      {"a CFF table past the end", Sfnt({{"CFF ", "x"}}).substr(0, 12 + 16) + std::string(1, 'x'), true},
      {"a directory cut short", Sfnt({{"head", "x"}, {"CFF ", "x"}}).substr(0, 12 + 16 + 8), false},
      {"not a font", "garbage", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(IsCompactProgram(c.Data), c.Expected);
  }
}

}  // namespace
