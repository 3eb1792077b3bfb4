#include "fonts/PellarGlyphTables.h"

#include <gtest/gtest.h>

namespace {

TEST(PellarGlyphTables, EncodingNames) {
  struct TCase {
    TBaseEncoding Encoding;
    int Code;
    const char* Expected;
  } cases[] = {
      {TBaseEncoding::WinAnsi, 128, "Euro"},        {TBaseEncoding::WinAnsi, 147, "quotedblleft"},
      {TBaseEncoding::WinAnsi, 160, "space"},       {TBaseEncoding::WinAnsi, 173, "hyphen"},
      {TBaseEncoding::WinAnsi, 129, "bullet"},      {TBaseEncoding::WinAnsi, 141, "bullet"},
      {TBaseEncoding::WinAnsi, 127, "bullet"},      {TBaseEncoding::WinAnsi, 31, ".notdef"},
      {TBaseEncoding::WinAnsi, 32, "space"},        {TBaseEncoding::MacRoman, 202, "space"},
      {TBaseEncoding::MacRoman, 0, ".notdef"},      {TBaseEncoding::MacRoman, 219, "currency"},
      {TBaseEncoding::Standard, 39, "quoteright"},  {TBaseEncoding::Standard, 164, "fraction"},
      {TBaseEncoding::Standard, 127, ".notdef"},    {TBaseEncoding::PDFDoc, 160, "Euro"},
      {TBaseEncoding::PDFDoc, 24, "breve"},         {TBaseEncoding::PDFDoc, 127, ".notdef"},
      {TBaseEncoding::MacExpert, 190, "AEsmall"},   {TBaseEncoding::MacExpert, 97, "Asmall"},
      {TBaseEncoding::MacExpert, 32, "space"},      {TBaseEncoding::MacExpert, 48, "zerooldstyle"},
      {TBaseEncoding::MacExpert, 86, "ff"},         {TBaseEncoding::MacExpert, 44, "comma"},
      {TBaseEncoding::MacExpert, 0, ".notdef"},     {TBaseEncoding::Symbol, 97, "alpha"},
      {TBaseEncoding::Symbol, 0, ""},               {TBaseEncoding::Symbol, 160, "Euro"},
      {TBaseEncoding::Symbol, 240, ""},             {static_cast<TBaseEncoding>(9), 65, ".notdef"},
  };
  for (const TCase& c : cases) {
    TGlyphNames names;
    names.fill("stale");
    FillEncodingNames(c.Encoding, names);
    EXPECT_EQ(names[c.Code], c.Expected) << static_cast<int>(c.Encoding) << " " << c.Code;
  }
}

TEST(PellarGlyphTables, SymbolUnicodeNames) {
  TGlyphNames names;
  names.fill("stale");
  SymbolUnicodeNames(names);
  EXPECT_EQ(names[97], "U+03B1");
  EXPECT_EQ(names[68], "U+2206");
  EXPECT_EQ(names[0xBD], "U+F8E6");
  EXPECT_EQ(names[0], "");
  EXPECT_EQ(names[240], "");
}

TEST(PellarGlyphTables, NamesToAnsi) {
  const std::pair<std::string, std::string> cases[] = {
      {"Euro", "\x80"}, {"quotedblleft", "\x93"}, {"A", "A"},       {"a", "a"},     {"Space", ""},
      {"Lslash", ""},   {"minus", "-"},           {"fi", "fi"},     {"fl", "fl"},   {"ff", "ff"},
      {"ffi", "ffi"},   {"ffl", ""},              {"uni0041", ""},  {"U+0041", ""}, {"CID:5", ""},
      {".notdef", ""},  {"", ""},
  };
  TGlyphNames names;
  for (size_t i = 0; i < std::size(cases); ++i) names[i] = cases[i].first;
  const TAnsiTexts texts = GlyphNamesToAnsi(names);
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(texts[i], cases[i].second) << cases[i].first;
}

TEST(PellarGlyphTables, NameToUnicode) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"Lslash", u"\u0141"},    {"minus", u"-"},           {"a", u"a"},
      {"A", u"A"},              {"Space", u""},            {"Euro", u"\u20AC"},
      {"alpha", u"\u03B1"},     {"afii10017", u"\u0410"},  {"a1", u"\u2701"},
      {"ffi", u"\uFB03"},       {"dalethatafpatah", u"\u05D3\u05B2"},
      {"uni0041", u"A"},        {"uni00410042", u"AB"},    {"uni004", u""},
      {"uni0041004", u""},      {"uni00e9", u""},          {"uniD800", u""},
      {"uni", u""},             {"u0041", u"A"},           {"u1F600", u"\U0001F600"},
      {"u110000", u""},         {"uDC00", u""},            {"u004", u""},
      {"u0041000", u""},        {"a.sc", u"a"},            {"f_i", u"fi"},
      {"f_f_i.alt", u"ffi"},    {"f_foo", u"f"},           {".notdef", u""},
      {"", u""},                {"U+0041", u"A"},          {"U+1D400", u"\U0001D400"},
      {"U+D800", u""},          {"U+004", u""},            {"U+03b1", u""},
      {"g12", u""},             {"cid12", u""},            {"CID:5", u""},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(GlyphNameToUnicode(name, true), expected) << name;
  // Outside dingbat fonts "a" and a number is a code's name, not a dingbat.
  for (const char* name : {"a1", "a80", "a191"}) EXPECT_EQ(GlyphNameToUnicode(name), u"") << name;
  EXPECT_EQ(GlyphNameToUnicode("a"), u"a");
  EXPECT_EQ(GlyphNameToUnicode("a1.alt", true), u"\u2701");
  EXPECT_TRUE(IsDingbatFontName("ABCDEF+ZapfDingbats"));
  EXPECT_TRUE(IsDingbatFontName("D050000L"));
  EXPECT_FALSE(IsDingbatFontName("Helvetica"));
  TGlyphNames names;
  names[0x41] = "A";
  names[7] = "uni0042";
  const TUnicodeTexts texts = GlyphNamesToUnicode(names);
  EXPECT_EQ(texts[0x41], u"A");
  EXPECT_EQ(texts[7], u"B");
  EXPECT_EQ(texts[0], u"");
}

TEST(PellarGlyphTables, LigaturesAsLetters) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"\uFB01", u"fi"},           {u"\uFB00\uFB02", u"fffl"}, {u"e\uFB03x", u"effix"},
      {u"\uFB04", u"ffl"},          {u"\uFB05\uFB06", u"stst"}, {u"\uFAFF\uFB07", u"\uFAFF\uFB07"},
      {u"", u""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ExpandLigatures(text), expected);
}

TEST(PellarGlyphTables, StandardFontWidths) {
  struct TCase {
    int Font;
    const char* Name;
    double Expected;
  } cases[] = {
      {5, "space", 278}, {5, "alpha", 750}, {5, "A", 667},  {6, "A", 722},    {9, "A", 722},   {11, "A", 611},
      {9, "space", 250}, {1, "A", 600},     {12, "Euro", 500}, {8, "Euro", 556}, {13, "alpha", 631}, {13, "A", 750},
      {13, "U+03B1", 750}, {14, "A", -1},   {0, "A", -1},   {15, "A", -1},
  };
  for (const TCase& c : cases) {
    TGlyphNames names;
    names[65] = c.Name;
    TCodeWidths widths;
    widths.fill(-1);
    StandardFontWidths(c.Font, names, widths);
    EXPECT_EQ(widths[65], c.Expected) << c.Font << " " << c.Name;
  }
}

TEST(PellarGlyphTables, FindStandardFont) {
  const std::pair<const char*, int> cases[] = {
      {"Arial", 5},           {"Arial,Bold", 6},          {"Helvetica-Oblique", 8},
      {"ABCDEF+Helvetica", 0}, {"Courier", 1},            {"CourierNewPS,BoldMT", 2},
      {"Arial,BoldMT,Bold", 5}, {"TimesNewRomanPS-BoldItalicMT", 12}, {"Symbol", 13},
      {"ZapfDingbats", 14},    {"helvetica", 0},          {"", 0},
      {"Bold", 0},             {"MT", 0},                 {"Arial*", 0},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(FindStandardFont(name), expected) << name;
  EXPECT_STREQ(StandardFont(5).Substitute, "Arial");
  EXPECT_EQ(StandardFont(12).BBox[0], -200);
  EXPECT_EQ(StandardFont(1).Descent, -157);
  EXPECT_STREQ(StandardFont(0).Patterns, "");
  EXPECT_STREQ(StandardFont(15).Patterns, "");
}

TEST(PellarGlyphTables, HeiseiWidths) {
  const TPDFCIDWidths widths = LoadHeiseiWidths(1000);
  const std::pair<uint32_t, int32_t> cases[] = {
      {0x20, 278}, {0x22, 355}, {0x41, 667},  {0x7F, 1000}, {0xFF61, 500}, {0xFFE8, 500},
      {0xFF60, 1000}, {0xFFE9, 1000}, {0x2022, 350}, {0xFB01, 500}, {0x0131, 278}, {0x3042, 1000},
  };
  for (const auto& [code, expected] : cases) EXPECT_EQ(widths.Width(code), expected) << std::hex << code;
}

}  // namespace
