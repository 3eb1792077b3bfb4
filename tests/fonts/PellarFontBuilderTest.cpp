#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fonts/PellarFontBuilder.h"
#include "tests/support/FontTestSupport.h"
#include "tests/support/TestBytes.h"

namespace {

const TFontBuildOptions WithPrograms{true, nullptr};
const TFontBuildOptions WithoutPrograms{false, nullptr};

// No installed fonts while a test runs.
class PellarFontBuilder : public ::testing::Test {
  TFakeFontCatalogue NoFonts;
  TScopedFontCatalogue Installed{NoFonts};
};

TFontDictionary Font(TFontSubtype subtype, const std::string& baseFont) {
  TFontDictionary font;
  font.IsDictionary = true;
  font.Subtype = subtype;
  font.BaseFont = baseFont;
  return font;
}

void EncodingName(TFontDictionary& font, const std::string& name) {
  font.EncodingForm = TEncodingForm::Name;
  font.EncodingName = name;
}

void Differences(TFontDictionary& font, const std::map<int, std::string>& names) {
  if (font.EncodingForm == TEncodingForm::None) font.EncodingForm = TEncodingForm::Dictionary;
  font.Differences.emplace();
  for (const auto& [code, name] : names) {
    font.Differences->Assigned.set(static_cast<size_t>(code));
    font.Differences->Names[static_cast<size_t>(code)] = name;
  }
}

// An embedded TrueType program: the builder asks only whether it is a compact one.
void SymbolicTrueType(TFontDictionary& font) {
  font.HasDescriptor = true;
  font.Flags = 4;
  font.FontFile2 = {true, "\0\1\0\0", 0, 0};
}

const char* const OneByteMap =
    "begincodespacerange <00> <FF> endcodespacerange\n"
    "3 beginbfchar <41> <005A> <42> <D835DC00> <44> <FB01> endbfchar 1 beginbfrange <60> <61> <2022> endbfrange endcmap";

// The text of codes of simple fonts, by the glyph names their encodings and programs give
// and by their ToUnicode maps.
TEST_F(PellarFontBuilder, TextOfSimpleFonts) {
  struct TCase {
    const char* Name;
    TFontSubtype Subtype;
    std::function<void(TFontDictionary&)> Setup;
    std::map<int, std::u16string> Text;
    std::map<int, std::string> Ansi;
  };
  std::map<int, std::string> gNames, uniNames, aNames;
  for (int c = 0; c < 256; ++c) {
    gNames[c] = "g" + std::to_string(c);
    aNames[c] = "a" + std::to_string(c);
    char name[16];
    std::snprintf(name, sizeof name, "uni%04X", 0x0400 + c);
    uniNames[c] = name;
  }
  const auto type1 = TFontSubtype::Type1, trueType = TFontSubtype::TrueType;
  const std::vector<TCase> cases = {
      {"WinAnsi", type1, [](TFontDictionary& f) { EncodingName(f, "WinAnsiEncoding"); },
       {{0x93, u"\u201C"}, {0xA0, u" "}, {0x41, u"A"}, {0x1F, u""}}, {{0x93, "\x93"}, {0xA0, " "}, {0x1F, ""}}},
      {"MacRoman with differences", type1,
       [](TFontDictionary& f) {
         EncodingName(f, "MacRomanEncoding");
         f.EncodingForm = TEncodingForm::Dictionary;
         Differences(f, {{0x41, "Euro"}, {0x42, "afii10017"}, {0x43, "f_i"}, {0x44, "a.sc"}, {0x46, "ffi"}});
       },
       {{0x41, u"\u20AC"}, {0x42, u"\u0410"}, {0x43, u"fi"}, {0x44, u"a"}, {0xCA, u" "}, {0x45, u"E"}, {0x46, u"ffi"}},
       {{0x41, "\x80"}, {0x42, ""}, {0xCA, " "}}},
      {"names outside every list read as their codes", type1, [&](TFontDictionary& f) { Differences(f, gNames); },
       {{0x41, u"A"}, {0x93, u"\u0093"}, {0, std::u16string(1, u'\0')}}, {{0x41, ""}}},
      // Type 3 bitmap fonts of dvips name each glyph "a" and its code.
      {"a-and-code names outside a dingbat font are no dingbats", TFontSubtype::Type3,
       [&](TFontDictionary& f) { Differences(f, aNames); }, {{0x50, u"P"}, {0x61, u"a"}, {1, u"\u0001"}}, {}},
      {"Type 3 names without text read as their printable codes", TFontSubtype::Type3,
       [](TFontDictionary& f) {
         EncodingName(f, "WinAnsiEncoding");
         f.EncodingForm = TEncodingForm::Dictionary;
         Differences(f, {{0x41, "CP"}, {0x42, "a66"}, {0x0C, "BW"}, {0x93, "B4"}});
       },
       {{0x41, u"A"}, {0x42, u"B"}, {0x43, u"C"}, {0x0C, u""}, {0x93, u""}}, {{0x41, "A"}, {0x42, "B"}}},
      {"names without text in other fonts stay without", type1,
       [](TFontDictionary& f) {
         EncodingName(f, "WinAnsiEncoding");
         f.EncodingForm = TEncodingForm::Dictionary;
         Differences(f, {{0x41, "CP"}, {0x42, "a66"}});
       },
       {{0x41, u""}, {0x42, u""}, {0x43, u"C"}}, {{0x41, ""}}},
      {"the same names in a dingbat font are dingbats", type1,
       [&](TFontDictionary& f) {
         f.BaseFont = "ABCDEF+ZapfDingbats";
         Differences(f, aNames);
       },
       {{1, u"\u2701"}, {82, u"\u2758"}}, {}},
      {"uniXXXX names keep their text", type1, [&](TFontDictionary& f) { Differences(f, uniNames); },
       {{0x41, u"\u0441"}, {0, u"\u0400"}}, {{0x41, ""}}},
      {"partial ToUnicode", type1,
       [](TFontDictionary& f) {
         EncodingName(f, "WinAnsiEncoding");
         f.ToUnicode = OneByteMap;
       },
       {{0x41, u"Z"}, {0x42, u"\U0001D400"}, {0x43, u"C"}, {0x44, u"fi"}, {0x60, u"\u2022"}, {0x61, u"\u2023"},
        {0x93, u"\u201C"}},
       {{0x41, "Z"}, {0x42, "??"}, {0x43, "C"}, {0x44, "fi"}, {0x60, "\x95"}, {0x61, "?"}, {0x93, "\x93"}}},
      {"symbolic TrueType: printable codes as themselves, control codes by the encoding", trueType,
       [](TFontDictionary& f) {
         EncodingName(f, "WinAnsiEncoding");
         SymbolicTrueType(f);
       },
       {{0x41, u"A"}, {0x20, u" "}, {0x93, u"\u201C"}, {0x80, u"\u20AC"}, {0x05, u""}, {0xA0, u"\u00A0"}},
       {{0x41, ""}, {0x93, ""}}},
      {"symbolic TrueType without encoding name", trueType, [](TFontDictionary& f) { SymbolicTrueType(f); },
       {{0x41, u"A"}, {0x93, u"\u0093"}}, {}},
      {"symbolic TrueType: differences set aside give the text", trueType,
       [](TFontDictionary& f) {
         EncodingName(f, "WinAnsiEncoding");
         f.EncodingForm = TEncodingForm::Dictionary;
         Differences(f, {{0x41, "B"}});
         SymbolicTrueType(f);
       },
       {{0x41, u"B"}, {0x42, u"B"}, {0x93, u"\u201C"}}, {{0x41, ""}}},
      {"standard ZapfDingbats font", type1, [](TFontDictionary& f) { f.BaseFont = "ZapfDingbats"; },
       {{0x21, u"\u2701"}, {0x6C, u"\u25CF"}, {0x20, u" "}, {0x41, u"\u2721"}}, {{0x21, ""}}},
      {"standard Symbol font", type1, [](TFontDictionary& f) { f.BaseFont = "Symbol"; },
       {{0x61, u"\u03B1"}, {0x44, u"\u2206"}, {0x20, u" "}}, {{0x61, ""}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFontDictionary font = Font(c.Subtype, "ABCDEF+Some");
    c.Setup(font);
    auto record = BuildFontRecord(font, WithPrograms);
    for (const auto& [code, text] : c.Text) EXPECT_EQ(UnitsToHex(record->UnicodeText[code]), UnitsToHex(text)) << code;
    for (const auto& [code, text] : c.Ansi) EXPECT_EQ(record->AnsiText[code], text) << code;
  }
}

// Fonts built one after another share the texts of their names where the names are the
// same: a font whose names differ from the last one's (or are no longer its base encoding's)
// must still get its own texts, whatever was built before it.
TEST_F(PellarFontBuilder, TextsOfFontsBuiltInARow) {
  struct TStep {
    const char* Name;
    std::function<void(TFontDictionary&)> Setup;
    const char* GlyphA;    // the name of code 0x41
    std::u16string TextA;  // the text of code 0x41
    std::u16string Quote;  // the text of code 0x27
    std::string AnsiQuote;
  };
  const auto none = [](TFontDictionary&) {};
  const auto winAnsi = [](TFontDictionary& f) { EncodingName(f, "WinAnsiEncoding"); };
  const auto changed = [](TFontDictionary& f) { Differences(f, {{0x41, "B"}}); };
  const auto changedWinAnsi = [](TFontDictionary& f) {
    EncodingName(f, "WinAnsiEncoding");
    Differences(f, {{0x27, "A"}});
  };
  const auto notAFont = [](TFontDictionary& f) { f = TFontDictionary(); };
  const std::vector<TStep> steps = {
      {"standard", none, "A", u"A", u"\u2019", "\x92"},
      {"WinAnsi", winAnsi, "A", u"A", u"'", "'"},
      {"standard with differences", changed, "B", u"B", u"\u2019", "\x92"},
      {"standard again", none, "A", u"A", u"\u2019", "\x92"},
      {"WinAnsi with differences", changedWinAnsi, "A", u"A", u"A", "A"},
      {"WinAnsi again", winAnsi, "A", u"A", u"'", "'"},
      {"not a font: standard names, no single-byte texts", notAFont, "A", u"A", u"\u2019", ""},
      {"dingbats", [](TFontDictionary& f) { f.BaseFont = "ZapfDingbats"; }, "a10", u"\u2721", u"\u2707", ""},
      {"standard after dingbats", none, "A", u"A", u"\u2019", "\x92"},
  };
  // Forwards and backwards: each font's texts are its own in either order.
  for (bool backwards : {false, true}) {
    for (size_t i = 0; i < steps.size(); ++i) {
      const TStep& step = steps[backwards ? steps.size() - 1 - i : i];
      SCOPED_TRACE(std::string(step.Name) + (backwards ? " (backwards)" : ""));
      TFontDictionary font = Font(TFontSubtype::Type1, "ABCDEF+Some");
      step.Setup(font);
      auto record = BuildFontRecord(font, WithoutPrograms);
      EXPECT_EQ(record->GlyphNames[0x41], step.GlyphA);
      EXPECT_EQ(UnitsToHex(record->UnicodeText[0x41]), UnitsToHex(step.TextA));
      EXPECT_EQ(UnitsToHex(record->UnicodeText[0x27]), UnitsToHex(step.Quote));
      EXPECT_EQ(record->AnsiText[0x27], step.AnsiQuote);
    }
  }
}

// Widths and heights of simple fonts: descriptor, standard-font metrics, /Widths.
TEST_F(PellarFontBuilder, WidthsAndHeights) {
  struct TCase {
    const char* Name;
    std::function<void(TFontDictionary&)> Setup;
    std::map<int, double> Widths;
    double Ascent, Descent;
  };
  const std::vector<TCase> cases = {
      {"Helvetica without descriptor", [](TFontDictionary& f) { EncodingName(f, "WinAnsiEncoding"); },
       {{0x41, 667}, {0x20, 278}, {0x93, 333}, {0x01, 750}}, 718, -207},
      {"Helvetica with descriptor", [](TFontDictionary& f) { f.HasDescriptor = true; }, {{0x41, 750}}, 0, 0},
      {"Helvetica with /MissingWidth and /Widths",
       [](TFontDictionary& f) {
         f.HasDescriptor = true;
         f.MissingWidth = 500;
         f.FirstChar = 65, f.LastChar = 65, f.HasWidths = true;
         f.WidthGiven.set(65);
         f.Widths[65] = 1234;
       },
       {{0x41, 1234}, {0x42, 500}}, 0, 0},
      {"/Widths over the standard widths",
       [](TFontDictionary& f) {
         f.FirstChar = 66, f.LastChar = 66, f.HasWidths = true;
         f.WidthGiven.set(66);
         f.Widths[66] = 1;
       },
       {{0x41, 667}, {0x42, 1}}, 718, -207},
      {"Times with differences",
       [](TFontDictionary& f) {
         f.BaseFont = "Times-Roman";
         Differences(f, {{0x41, "Euro"}, {0x42, "alpha"}});
       },
       {{0x41, 500}, {0x42, 750}, {0x43, 667}}, 683, -217},
      {"Symbol by the codes' Symbol names", [](TFontDictionary& f) { f.BaseFont = "Symbol"; },
       {{0x61, 631}, {0x20, 250}, {0x44, 612}, {0x01, 750}}, 699, -205},
      {"Symbol with differences", [](TFontDictionary& f) { f.BaseFont = "Symbol", Differences(f, {{0x61, "beta"}}); },
       {{0x61, 549}}, 699, -205},
      {"em fractions", [](TFontDictionary& f) { f.HasDescriptor = true, f.Ascent = 0.9, f.Descent = -0.212; }, {}, 900,
       -212},
      {"thousandths", [](TFontDictionary& f) { f.HasDescriptor = true, f.Ascent = 750, f.Descent = -250.4; }, {}, 750,
       -250},
      {"rounding to 1 or -1", [](TFontDictionary& f) { f.HasDescriptor = true, f.Ascent = 1.4, f.Descent = -1.5; }, {},
       1400, -2},
      {"negative ascent", [](TFontDictionary& f) { f.HasDescriptor = true, f.Ascent = -200, f.Descent = 0; }, {}, -200,
       0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFontDictionary font = Font(TFontSubtype::Type1, "Helvetica");
    c.Setup(font);
    auto record = BuildFontRecord(font, WithPrograms);
    for (const auto& [code, width] : c.Widths) EXPECT_EQ(record->Widths[code], width) << code;
    EXPECT_DOUBLE_EQ(record->Ascent, c.Ascent);
    EXPECT_DOUBLE_EQ(record->Descent, c.Descent);
  }
}

TEST_F(PellarFontBuilder, RecordFields) {
  TFontDictionary font = Font(TFontSubtype::TrueType, "Helvetica");
  font.FirstChar = 32, font.LastChar = 300;
  auto record = BuildFontRecord(font, WithPrograms);
  EXPECT_EQ(record->FirstChar, 32);
  EXPECT_EQ(record->LastChar, 255);
  EXPECT_EQ(record->FontName, "Helvetica");
  EXPECT_EQ(record->ProgramKind, TFontProgramKind::None);
  // Standard fonts without a descriptor are drawn by their installed stand-ins.
  font.Subtype = TFontSubtype::Type1;
  EXPECT_EQ(BuildFontRecord(font, WithPrograms)->FontName, "Arial");
  EXPECT_EQ(BuildFontRecord(font, WithoutPrograms)->FontName, "Helvetica");
  font.BaseFont = "ZapfDingbats";
  EXPECT_EQ(BuildFontRecord(font, WithPrograms)->FontName, "ZydDingbats");
  TFontDictionary type3 = Font(TFontSubtype::Type3, "T3");
  type3.FontMatrix = std::array<double, 6>{0.01, 0, 0, 0.01, 0, 0};
  record = BuildFontRecord(type3, WithPrograms);
  EXPECT_EQ(record->ProgramKind, TFontProgramKind::Type3);
  EXPECT_EQ(record->FontMatrix[0], 0.01);
}

// Composite fonts: codes split by the encoding or the ToUnicode codespace, text through the
// map or the predefined encoding, widths by CID.
TEST_F(PellarFontBuilder, CompositeFonts) {
  struct TCase {
    const char* Name;
    std::string Encoding;
    std::optional<std::string> ToUnicode;
    std::string SystemInfo;
    std::string Bytes;
    std::vector<int32_t> Codes;
    std::u16string Text;
    std::vector<std::optional<int32_t>> Widths;
  };
  const std::string twoByteMap = "begincodespacerange <0000> <FFFF> endcodespacerange 1 beginbfchar <0041> <0058> endbfchar";
  const std::vector<TCase> cases = {
      {"Identity-H with ToUnicode", "Identity-H", twoByteMap, "Adobe-Identity-0", std::string("\0A\0B", 4), {0x41, 0x42},
       u"X", {600, 500}},
      {"Identity-H without ToUnicode", "Identity-H", {}, "Adobe-Identity-0", std::string("\0A\0B\1", 5), {0x41, 0x42},
       u"AB", {600, 500}},
      {"one-byte codespace", "Identity-H", OneByteMap, "Adobe-Identity-0", "AB", {0x41, 0x42}, u"Z\U0001D400",
       {600, 500}},
      // An empty destination is skipped; the exact mapping of 0100 wins over the range that
      // crosses from 00ff to 01ff, which keeps only the codes nothing else maps.
      {"Thai map with an empty entry and a range across rows", "Identity-H",
       "begincodespacerange <0000> <FFFF> endcodespacerange 2 beginbfchar <0003> <> <0004> <0E01> endbfchar "
       "1 beginbfrange <00ff> <01ff> <0e0b> endbfrange 1 beginbfchar <0100> <0E31> endbfchar",
       "Adobe-Identity-0", std::string("\0\4\1\0\0\xff\1\1", 8), {4, 0x100, 0xFF, 0x101},
       u"\u0E01\u0E31\u0E0B\u0E0D", {500, 500, 500, 500}},
      {"no character collection", "Identity-H", {}, "", std::string("\0A", 2), {0x41}, u"", {600}},
      {"90ms-RKSJ-H by CID", "90ms-RKSJ-H", {}, "Adobe-Japan1-2", "A\x82\xA0", {0x41, 0x82A0}, u"A\u3042",
       {500, 700}},
      // The map's first codespace range has one-byte bounds; the encoding still decides.
      {"90ms-RKSJ-H with ToUnicode", "90ms-RKSJ-H",
       "2 begincodespacerange <00> <80> <8140> <9FFC> endcodespacerange 1 beginbfchar <82A0> <3093> endbfchar",
       "Adobe-Japan1-2", "A\x82\xA0", {0x41, 0x82A0}, u"\u3093", {500, 700}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFontDictionary type0 = Font(TFontSubtype::Type0, "Outer");
    EncodingName(type0, c.Encoding);
    type0.ToUnicode = c.ToUnicode;
    type0.DescendantCount = 1;
    type0.Descendant = std::make_unique<TFontDictionary>(Font(TFontSubtype::CIDFontType0, "Inner"));
    type0.Descendant->CIDSystemInfo = c.SystemInfo;
    type0.Descendant->DW = 500;
    type0.Descendant->W.Add(0x41, 0x41, 600);
    type0.Descendant->W.Add(843, 843, 700);  // the CID of 0x82A0
    TPDFFontCollection fonts;
    fonts.AddRecord(BuildFontRecord(type0, WithPrograms));
    fonts.SelectFontById(0);
    ASSERT_NE(fonts.Current(), nullptr);
    EXPECT_TRUE(fonts.Current()->Composite);
    EXPECT_EQ(fonts.Current()->FontName, "Inner");
    EXPECT_EQ(fonts.SplitCodes(c.Bytes), c.Codes);
    std::u16string text;
    std::vector<std::optional<int32_t>> widths;
    for (int32_t code : c.Codes) {
      text += fonts.CodeToUnicode(code);
      widths.push_back(fonts.CompositeWidth(code));
    }
    EXPECT_EQ(UnitsToHex(text), UnitsToHex(c.Text));
    EXPECT_EQ(widths, c.Widths);
  }
}

}  // namespace
