#include "pdf/PellarConvert.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Convert, IsDecimalTextAndTextToReal) {
  struct {
    const char* Text;
    bool Decimal;
    double Value;
  } cases[] = {
      {"12.5", true, 12.5},       {"1.2.3", false, 0},   {"--1", false, 0},  {"", true, 0},
      {"-.5", true, -0.5},        {".5", true, 0.5},     {"5.", true, 5},    {"-", true, 0},
      {"1.1234567891", true, 1.123456789},               {" 42 ", true, 42}, {"4-2", false, 0},
      {"1e5", false, 0},          {"-0.25", true, -0.25}, {"007", true, 7},  {"-12.05", true, -12.05},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(IsDecimalText(c.Text), c.Decimal);
    EXPECT_DOUBLE_EQ(TextToReal(c.Text), c.Value);
  }
}

TEST(Convert, IntegerSyntax) {
  struct {
    const char* Text;
    bool Valid;
    int64_t Value;
  } cases[] = {
      {"$1F", true, 31},          {"1F", false, 0},          {"0x10", true, 16},        {"0X10", true, 16},
      {"x10", true, 16},          {"X10", true, 16},         {"-$10", true, -16},       {"+5", true, 5},
      {"  7", true, 7},           {"7 ", false, 0},          {"", false, 0},            {"-", false, 0},
      {"$", false, 0},            {"0x", false, 0},          {"+-1", false, 0},         {"2147483647", true, 2147483647},
      {"2147483648", false, 0},   {"-2147483648", true, -2147483648LL},                 {"-2147483649", false, 0},
      {"$7FFFFFFF", true, 2147483647},                       {"$FFFFFFFF", false, 0},   {"1.5", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    std::u16string wide(c.Text, c.Text + std::char_traits<char>::length(c.Text));
    auto parsed = ParseInt32(wide);
    EXPECT_EQ(parsed.has_value(), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(*parsed, c.Value);
    }
    EXPECT_EQ(TextToIntDef(c.Text, -99), c.Valid ? c.Value : -99);
  }
  EXPECT_EQ(TextToInt64Def("9223372036854775807", 0), INT64_MAX);
  EXPECT_EQ(TextToInt64Def("9223372036854775808", 3), 3);
  EXPECT_EQ(TextToInt64Def("-9223372036854775808", 0), INT64_MIN);
}

TEST(Convert, FormatRealAndFixed) {
  struct {
    int Decimals;
    double Value;
    const char* Real;
    const char* Fixed;
  } cases[] = {
      {4, 2.00004, "2", "2.0000"},
      {4, -0.5, "-0.5", "-0.5000"},
      {2, 72.125, "72.13", "72.13"},
      {2, -72.125, "-72.13", "-72.13"},
      {2, 0.375, "0.38", "0.38"},
      {2, -0.004, "0", "0.00"},
      {2, 0.005, "0.01", "0.01"},
      {2, 0.0049, "0", "0.00"},
      {2, 99.995, "100", "100.00"},
      {2, 9.999, "10", "10.00"},
      {2, 700, "700", "700.00"},
      {0, 2.5, "3", "3"},
      {0, -2.5, "-3", "-3"},
      {3, 1e-300, "0", "0.000"},
      {2, 1e20, "100000000000000000000", "100000000000000000000.00"},
      {2, 123456789.125, "123456789.13", "123456789.13"},
      {2, 0, "0", "0.00"},
      {2, -0.0, "0", "0.00"},
      {2, std::nan(""), "0", "0.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    EXPECT_EQ(FormatReal(c.Decimals, c.Value), c.Real);
    EXPECT_EQ(FormatFixed(c.Decimals, c.Value), c.Fixed);
  }
}

TEST(Convert, ZeroPaddedAndPdfDate) {
  EXPECT_EQ(ZeroPadded(123, 10), "0000000123");
  EXPECT_EQ(ZeroPadded(12345, 3), "12345");
  EXPECT_EQ(ZeroPadded(-5, 4), "0000");
  EXPECT_EQ(PdfDate(2026, 12, 9, 8, 5, 3, -5 * 3600), "D:20261209080503-05'00'");
  EXPECT_EQ(PdfDate(2026, 1, 2, 23, 59, 59, 0), "D:20260102235959Z");
  EXPECT_EQ(PdfDate(2026, 1, 2, 3, 4, 5, 5 * 3600 + 45 * 60), "D:20260102030405+05'45'");
  std::string now = PdfDateNow();
  EXPECT_EQ(now.substr(0, 2), "D:");
  EXPECT_GE(now.size(), 17u);
}

TEST(Convert, WideTextRoutines) {
  EXPECT_EQ(TrimSpaces(u"  a\tb \t "), u"a\tb \t");
  EXPECT_EQ(TrimBlanks(u"\x01 a b\r\n"), u"a b");
  EXPECT_EQ(WidePos(u"lo", u"hello"), 4u);
  EXPECT_EQ(WidePos(u"x", u"hello"), 0u);
  EXPECT_EQ(WideReplace(u"aXbxc", u"x", u"--", ReplaceAll), u"aXb--c");
  EXPECT_EQ(WideReplace(u"aXbxc", u"x", u"--", ReplaceAll | ReplaceIgnoreCase), u"a--b--c");
  EXPECT_EQ(WideReplace(u"aXbxc", u"x", u"--", ReplaceIgnoreCase), u"a--bxc");
  EXPECT_EQ(WideReplace(u"aaa", u"a", u"aa", ReplaceAll), u"aaaaaa");  // inserted text is not searched
  EXPECT_EQ(WideReplace(u"abc", u"", u"x", ReplaceAll), u"abc");
}

TEST(Convert, UnwrapMarkedText) {
  const std::u16string marked{char16_t(0xE703), char16_t(0xF800), u'a', u'b', u'c', u'd'};
  EXPECT_EQ(UnwrapMarkedText(marked), u"abc");
  const std::u16string shortMark{char16_t(0xE709), char16_t(0xF800), u'a'};
  EXPECT_EQ(UnwrapMarkedText(shortMark), u"a");
  EXPECT_EQ(UnwrapMarkedText(u"plain"), u"plain");
  EXPECT_EQ(UTF16ToUTF8(marked), "abc");
}

TEST(Convert, Utf8RoundTripsAndInvalidSequences) {
  EXPECT_EQ(UTF8ToUTF16("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), u"a\u00e9\u20ac\U0001F600");
  EXPECT_EQ(UTF16ToUTF8(u"a\u00e9\u20ac\U0001F600"), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
  struct {
    const char* Bytes;
    std::u16string Wide;
  } bad[] = {
      {"\xff", u"\uFFFD"},                  // never valid
      {"\xc3", u"\uFFFD"},                  // truncated at the end
      {"\xe2\x82x", u"\uFFFDx"},            // truncated in the middle: one replacement
      {"\xc0\xaf", u"\uFFFD\uFFFD"},        // overlong
      {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
  };
  for (const auto& c : bad) EXPECT_EQ(UTF8ToUTF16(c.Bytes), c.Wide) << c.Bytes;
  EXPECT_EQ(UTF16ToUTF8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(Convert, FileNameParts) {
  EXPECT_EQ(ExtractFileName(u"/a/b/my.pdf"), u"my.pdf");
  EXPECT_EQ(ExtractFilePath(u"/a/b/my.pdf"), u"/a/b/");
  EXPECT_EQ(ExtractFileName(u"my.pdf"), u"my.pdf");
  EXPECT_EQ(ExtractFilePath(u"my.pdf"), u"");
}
