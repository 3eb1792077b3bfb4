#include "fonts/PellarCMap.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// "1" or "0" for one-byte codes, then "low-high=unit,unit" per entry, in map order.
std::string Describe(const TToUnicodeMap& map) {
  std::string text = map.OneByte ? "1" : "0";
  for (const TPDFCMapEntry& entry : map.Ranges) {
    char part[24];
    std::snprintf(part, sizeof part, " %X-%X=", entry.Low, entry.High);
    text += part;
    for (size_t i = 0; i < entry.Codes.size(); ++i) {
      std::snprintf(part, sizeof part, i ? ",%X" : "%X", static_cast<unsigned>(entry.Codes[i]));
      text += part;
    }
  }
  return text;
}

std::string CMap(const std::string& codespace, const std::string& body) {
  return "/CIDInit /ProcSet findresource begin 1 begincodespacerange " + codespace + " endcodespacerange\n" + body +
         "\nendcmap CMapName currentdict /CMap defineresource pop end";
}

TEST(PellarCMap, ParseToUnicode) {
  const std::string twoByte = "<0000> <FFFF>";
  struct TCase {
    const char* Label;
    std::string Text;
    const char* Expected;
  } cases[] = {
      {"one-byte codespace", CMap("<00> <FF>", "1 beginbfchar <41> <0061> endbfchar"), "1 41-41=61"},
      {"two-byte codespace", CMap(twoByte, "1 beginbfchar <0041> <0061> endbfchar"), "0 41-41=61"},
      {"range", CMap(twoByte, "beginbfrange <0000> <0005> <0041> endbfrange"), "0 0-5=41"},
      {"array range", CMap(twoByte, "beginbfrange <10> <12> [<0041> <0042> <0043>] endbfrange"),
       "0 10-10=41 11-11=42 12-12=43"},
      {"surrogate pair", CMap(twoByte, "beginbfchar <0003> <D835DC00> endbfchar"), "0 3-3=D835,DC00"},
      {"bfchar ended by endcmap", CMap(twoByte, "beginbfchar <0003> <0044>"), "0 3-3=44"},
      {"FFFF dropped in an array", CMap(twoByte, "beginbfrange <01> <02> [<FFFF> <0042>] endbfrange"), "0 2-2=42"},
      {"FFFF kept outside an array", CMap(twoByte, "beginbfrange <01> <02> <FFFF> endbfrange"), "0 1-2=FFFF"},
      {"3-byte codespace", CMap("<000000> <FFFFFF>", "beginbfchar <0003> <0044> endbfchar"), "0 3-3=44"},
      {"4-byte codespace", CMap("<00000000> <FFFFFFFF>", "beginbfchar <0003> <0044> endbfchar"), "0"},
      {"codespace bounds that do not parse", CMap("<00> <XY>", "beginbfchar <0003> <0044> endbfchar"), "0"},
      {"no codespace", "beginbfchar <0003> <0044> endbfchar", "0"},
      {"codespace end before its start", "endcodespacerange begincodespacerange <00> <FF>", "0"},
      {"sections in map order", CMap(twoByte, "beginbfchar <05> <45> endbfchar beginbfrange <01> <02> <41> "
                                              "endbfrange beginbfchar <07> <47> endbfchar"),
       "0 5-5=45 1-2=41 7-7=47"},
      {"short array ends at its bracket",
       CMap(twoByte, "beginbfrange <10> <14> [<0041> <0042>] <20> <20> <0050> endbfrange"),
       "0 10-10=41 11-11=42 20-20=50"},
      {"long array is skipped to its bracket",
       CMap(twoByte, "beginbfrange <10> <11> [<41> <42> <43>] <20> <20> <50> endbfrange"), "0 10-10=41 11-11=42 20-20=50"},
      {"array without a bracket runs to the section end",
       CMap(twoByte, "beginbfrange <10> <11> [<41> endbfrange beginbfchar <5> <6> endbfchar"), "0 10-10=41 5-5=6"},
      {"array element that does not parse maps nothing",
       CMap(twoByte, "beginbfrange <10> <12> [<0041> <XY> [<0043>] endbfrange"), "0 10-10=41"},
      {"array past FFFF", CMap(twoByte, "beginbfrange <FFFF> <10000> [<41> <42>] endbfrange"), "0 FFFF-FFFF=41"},
      {"high below low in an array", CMap(twoByte, "beginbfrange <12> <10> [<41>] <1> <1> <2> endbfrange"), "0 1-1=2"},
      {"range with a destination that does not parse is skipped",
       CMap(twoByte, "beginbfrange <00> <05> <XYZ> <10> <10> <41> endbfrange beginbfchar <7> <47> endbfchar"),
       "0 10-10=41 7-7=47"},
      {"range with an empty bound is skipped with its array",
       CMap(twoByte, "beginbfrange <> <05> [<41> <42>] <10> <10> <41> endbfrange"), "0 10-10=41"},
      {"range past FFFF skipped", CMap(twoByte, "beginbfrange <FFFF> <10000> <41> <1> <1> <42> endbfrange"), "0 1-1=42"},
      {"bfchar code past FFFF skipped", CMap(twoByte, "beginbfchar <010000> <0041> <0002> <0042> endbfchar"),
       "0 2-2=42"},
      {"bfchar array destination ends its section", CMap(twoByte, "beginbfchar <1> [<41>] <2> <42> endbfchar"), "0"},
      {"code of nine digits is skipped", CMap(twoByte, "beginbfchar <000000001> <41> <2> <42> endbfchar"), "0 2-2=42"},
      {"empty destination is skipped", CMap(twoByte, "beginbfchar <1> <> <2> <42> <3> <4G> <4> <44> endbfchar"),
       "0 2-2=42 4-4=44"},
      {"code with the top bit set", CMap(twoByte, "beginbfchar <80000000> <41> endbfchar"), "0"},
      {"empty code", CMap(twoByte, "beginbfchar <> <41> <5> <45> endbfchar"), "0 5-5=45"},
      {"blanks inside hex strings", CMap(twoByte, "beginbfchar <00 4\n1> < 0061 > endbfchar"), "0 41-41=61"},
      {"leftover destination digits dropped", CMap(twoByte, "beginbfchar <1> <004100> endbfchar"), "0 1-1=41"},
      {"text between hex strings ignored", CMap(twoByte, "beginbfchar <1> /x (y) <41> endbfchar"), "0 1-1=41"},
      {"stray > ends the section", CMap(twoByte, "beginbfchar > <1> <41> endbfchar beginbfchar <2> <42> endbfchar"),
       "0 2-2=42"},
      {"unterminated range section ends parsing",
       CMap(twoByte, "beginbfchar <1> <41> endbfchar beginbfrange <2> <3> <42>"), "0 1-1=41"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Describe(ParseToUnicode(c.Text)), c.Expected) << c.Label;
}

TEST(PellarCMap, LargeMaps) {
  // One array range over all 65536 codes, then a destination of thousands of digits.
  std::string body = "beginbfrange <0000> <FFFF> [";
  for (int code = 0; code < 0x10000; ++code) body += "<0041>";
  body += "] endbfrange beginbfchar <7> <" + std::string(10003, '1') + "> endbfchar";
  const TToUnicodeMap map = ParseToUnicode(CMap("<0000> <FFFF>", body));
  ASSERT_EQ(map.Ranges.size(), 0x10001u);
  EXPECT_EQ(map.Ranges[0xFFFF].Low, 0xFFFF);
  EXPECT_EQ(map.Ranges[0x10000].Codes, std::vector<int32_t>(2500, 0x1111));

  // An array range of 2^31 codes that runs out, then many sections without their end
  // keyword: the first one runs to "endcmap" and holds all their entries.
  std::string broken = "beginbfrange <0> <7FFFFFFF> [<41> <42> endbfrange";
  for (int i = 0; i < 20000; ++i) broken += " beginbfchar <1> <41>";
  const TToUnicodeMap brokenMap = ParseToUnicode(CMap("<00> <FF>", broken));
  EXPECT_EQ(brokenMap.Ranges.size(), 20002u);
}

TEST(PellarCMap, EntryText) {
  struct TCase {
    TPDFCMapEntry Entry;
    int32_t Code;
    std::u16string Expected;
  } cases[] = {
      {{0, 5, {0x41}}, 3, u"D"},
      {{1, 2, {0x66, 0x66}}, 2, u"fg"},
      {{0, 1, {0xD835, 0xDC00}}, 1, u"\xD835\xDC01"},
      {{0, 0xFF, {0xFFFF}}, 2, u"\x0001"},
      {{0, 0xFF, {-1}}, 0, u"\xFFFF"},
      {{0x10, 0x10, {}}, 0x10, u""},
  };
  for (const TCase& c : cases) EXPECT_EQ(CMapEntryText(c.Entry, c.Code), c.Expected) << c.Code;
}

TEST(PellarCMap, PredefinedSplit) {
  using TCodes = TPellarCodeList;
  struct TCase {
    const char* Name;
    std::string Bytes;
    TCodes Expected;
  } cases[] = {
      {"90ms-RKSJ-H", "\x41\x82\xA0", {0x41, 0x82A0}},
      {"90msp-RKSJ-H", "\x41\x82\xA0", {0x41, 0x82A0}},
      {"90ms-RKSJ-V", "\xB1\x81\x40", {0xB1, 0x8140}},
      {"90ms-RKSJ-H", "\x81\x20\x41\x42", {0x41, 0x42}},
      {"90ms-RKSJ-H", "\x80\x41\x0A\x42", {0x41, 0x42}},
      {"90ms-RKSJ-H", "\x41\x82", {0x41}},
      {"Identity-H", std::string("\x00\x41\x01", 3), {0x41}},
      {"Identity-V", "\xFF\xFE", {0xFFFE}},
      {"UniJIS-UCS2-H", std::string("\x30\x42\xD8\x35\xDC\x00", 6), {0x3042, 0xD835, 0xDC00}},
      {"UniGB-UTF16-H", std::string("\xD8\x35\xDC\x00\x00\x41", 6), {0x1D400, 0x41}},
      {"UniKS-UTF16-V", std::string("\xD8\x35\x00\x41\xD8\x35", 6), {0xD835, 0x41, 0xD835}},
      {"UniJIS-UCS2-HW-V", "\x30\x42", {0x3042}},
      {"UniJIS2004-UTF16-H", "\x30\x42", {0x3042}},
      {"UniJIS-UTF8-H", "\x30\x42", {}},
      {"Uni-UCS2-H", "\x30\x42", {}},
      {"UniJIS-UCS2-X", "\x30\x42", {}},
      {"Uni+JIS-UCS2-H", "\x30\x42", {}},
      {"GBK-EUC-H", "\x41\xB0\xA1", {0x41, 0xB0A1}},
      {"GBK-EUC-V", "\xA1\xAB\x81", {0xA1AB}},
      {"GBK2K-H", "\x81\x30\x84\x36\x81\x30\x81\x30\x81\x40", {0x01308436, 0x8140}},
      {"GBK2K-H", "\x81\x30\x81", {}},
      {"KSCms-UHC-H", "\xB0\xA1\x20", {0xB0A1, 0x20}},
      {"ETen-B5-H", "\xA1\x20\xFF\xA4\x40", {0xA440}},  // a broken code skipped whole, a byte no range starts
      {"HKscs-B5-V", "\x41\xA1\x5D", {0x41, 0xA15D}},
      {"GBK-EUC", "\x30\x42", {}},
      {"", "\x30\x42", {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(PredefinedSplit(c.Name, c.Bytes), c.Expected) << c.Name;
}

TEST(PellarCMap, PredefinedCIDAndText) {
  struct TCase {
    const char* Name;
    const char* Collection;
    int32_t Code;
    int32_t CID;
    std::u16string Text;
  } cases[] = {
      {"90msp-RKSJ-H", "Adobe-Japan1-6", 0x41, 34, u"A"},
      {"90ms-RKSJ-H", "Adobe-Japan1-6", 0x41, 264, u"A"},
      {"90ms-RKSJ-H", "Adobe-Japan1-6", 0x8140, 633, u"\u3000"},
      {"90msp-RKSJ-H", "Adobe-Japan1-2", 0x82A0, 843, u"\u3042"},
      {"90ms-RKSJ-H", "Adobe-Japan1-2", 0x8120, 0, u"\uFFFD"},
      {"90ms-RKSJ-H", "Adobe-Identity-0", 0x82A0, 843, u"\x82A0"},
      {"90ms-RKSJ-H", "Adobe-GB1-5", 0x82A0, 843, u""},
      {"Identity-H", "Adobe-Japan1-6", 843, 843, u"\u3042"},
      {"Identity-H", "Adobe-Japan1-6", 0x046D, 0x046D, u"\u9022\xDB40\xDD00"},
      {"Identity-V", "Adobe-Identity-0", 0x41, 0x41, u"A"},
      {"Identity-H", "Adobe-Japan1-6", 0x7FFF, 0x7FFF, u""},
      {"UniJIS-UCS2-H", "Adobe-Japan1-6", 0x3042, -1, u"\u3042"},
      {"UniKS-UTF16-H", "Adobe-Korea1-2", 0x1D400, -1, u"\U0001D400"},
      {"UniCNS-UCS2-V", "", 0xD800, -1, u"\uFFFD"},
      {"UniGB-UCS2-H", "Adobe-GB1-5", -5, -1, u""},
      {"GBK-EUC-H", "Adobe-GB1-5", 0xB0A1, 940, u"\u554A"},
      // A Chinese or Korean map's CIDs are its collection's, whatever the font claims.
      {"GBK-EUC-H", "Adobe-Japan1-6", 0x41, 846, u"A"},
      // The half-width space, listed as U+2002, reads as a space.
      {"GBK-EUC-H", "Adobe-GB1-5", 0x20, 7716, u" "},
      {"UniGB-UTF16-H", "Adobe-GB1-5", 0x2002, 7716, u"\u2002"},
      {"GBK-EUC-V", "", 0xA1AB, 7704, u"\uFF5E"},
      {"GBK2K-H", "Adobe-GB1-5", 0x01308436, 22354, u"\u00A5"},
      {"UniGB-UCS2-V", "Adobe-GB1-5", 0x554A, 940, u"\u554A"},
      {"ETen-B5-H", "Adobe-CNS1-7", 0xA15D, 128, u"\uFF08"},
      {"ETen-B5-V", "Adobe-CNS1-7", 0xA15D, 130, u"\uFE35"},
      {"HKscs-B5-H", "Adobe-CNS1-7", 0xB0A1, 2542, u"\u965B"},
      {"KSCms-UHC-H", "Adobe-Korea1-2", 0xB0A1, 1086, u"\uAC00"},
      {"KSCms-UHC-V", "Adobe-Korea1-2", 0xA1A2, 8056, u"\u3001"},
      {"KSCms-UHC-H", "Adobe-Korea1-2", 0xB020, -1, u""},
      {"Identity-V", "Adobe-GB1-5", 940, 940, u"\u554A"},
      {"Identity-H", "Adobe-Korea1-2", 1086, 1086, u"\uAC00"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(PredefinedCID(c.Name, c.Code), c.CID) << c.Name << " " << c.Code;
    EXPECT_EQ(PredefinedUnicode(c.Name, c.Collection, c.Code), c.Text) << c.Name << " " << c.Code;
  }
}

}  // namespace
