#include "app/PageText.h"

#include <gtest/gtest.h>

#include <random>

#include "app/WideStringList.h"
#include "engine/Pellar.h"
#include "pdf/PellarConvert.h"
#include "platform/Platform.h"

namespace {

struct PageTextTest : ::testing::Test {
  PageTextTest() {
    Options.SourceFile = u"/pdfs/R&D/my.pdf";
    Options.PageTotal = 10;
  }
  CommandOptions Options;
  TPellar Engine;  // holds its blank one-page document, whose text is empty
  TPageAssembler Assembler{Options, Engine};
};

}  // namespace

TEST_F(PageTextTest, ExpandPageVariables) {
  const std::u16string date = Platform::ShortDate();
  struct {
    std::u16string Template;
    int32_t Page;
    std::u16string Expected;
  } cases[] = {
      {u"Page &p of &a", 3, u"Page 3 of 10"},
      {u"&P/&A", 3, u"3/10"},
      {u"=Page&p=", 2, u"=Page2="},
      {u"&n", 1, u"my.pdf"},
      {u"&p", -2, u"-2"},
      {u"&&pp", 7, u"&7p"},
      {u"&d", 1, date},
      // The path holds "&D", which the date step replaces after the path step put it there.
      {u"&f", 1, u"/pdfs/R" + date + u"/my.pdf"},
      {u"&x &", 1, u"&x &"},
  };
  for (const auto& c : cases) EXPECT_EQ(Assembler.ExpandPageVariables(c.Template, c.Page), c.Expected);
}

TEST_F(PageTextTest, TemplatesPassThroughTheNarrowCodePage) {
  Platform::SetNarrowCodePage("ISO-8859-1");
  EXPECT_EQ(Assembler.ExpandPageVariables(u"\u00e9\u4e2d &p", 4), u"\u00e9? 4");
  Platform::SetNarrowCodePage("UTF-8");
  EXPECT_EQ(Assembler.ExpandPageVariables(u"\u00e9\u4e2d &p", 4), u"\u00e9\u4e2d 4");
}

TEST_F(PageTextTest, PageEntryJoinsHeaderAndFooterWithLfCr) {
  EXPECT_EQ(Assembler.PageEntry(1), u"");
  Options.Header = u"Page &p of &a";
  EXPECT_EQ(Assembler.PageEntry(3), u"Page 3 of 10\n\r");
  Options.Footer = u"&n";
  EXPECT_EQ(Assembler.PageEntry(3), u"Page 3 of 10\n\r\n\rmy.pdf");
  Options.Header.clear();
  EXPECT_EQ(Assembler.PageEntry(3), u"\n\rmy.pdf");
}

TEST(PositionText, ReformatsCsvLines) {
  struct {
    std::u16string Csv;
    std::u16string Expected;
  } cases[] = {
      {u"a,b,c,72.5,700,f,g,h,i,j,k,\"Hello\"\r\n", u"@X=72.50,Y=700.00@Hello@ENDTEXT@"},
      {u"a,b,c,72.125,0.375,f,g,h,i,j,k,\"x\"\r\n", u"@X=72.13,Y=0.38@x@ENDTEXT@"},
      {u"a,b,c,-3.25,10,f,g,h,i,j,k,\"neg\"", u"@X=-3.25,Y=10.00@neg@ENDTEXT@"},
      {u"a,b,c,-0.004,1,f,g,h,i,j,k,\"z\"", u"@X=0.00,Y=1.00@z@ENDTEXT@"},
      {u"a,b,c,1,2,f,g,h,i,j,k,\"\"\r\n", u""},                  // empty text gives no entry
      {u"a,b,c,1,2,f,g,h,i,j,k\r\n", u""},                       // eleven fields
      {u"a,b,c,1,2,f,g,h,i,j,k,\"\\\"hi\\\"\"", u"@X=1.00,Y=2.00@\\hi\\@ENDTEXT@"},
      {u"a,b,c,1,2,f,g,h,i,j,k,\"a\\\"b,c\"", u"@X=1.00,Y=2.00@a\\b@ENDTEXT@"},
      {u"a,b,c,1,2,f,g,h,i,j,k,\"one\ntwo\"", u"@X=1.00,Y=2.00@one@ENDTEXT@"},
      {u"a,b,c,1,2,f,g,h,i,j,k,\"A\"\r\na,b,c,3,4,f,g,h,i,j,k,\"B\"\r\n",
       u"@X=1.00,Y=2.00@A@ENDTEXT@\r\n@X=3.00,Y=4.00@B@ENDTEXT@"},
      {u"a,b,c,1,2,f,g,h,i,j,k,\" spaced \"\r\n", u"@X=1.00,Y=2.00@ spaced @ENDTEXT@"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(PositionTextFromCsv(c.Csv), c.Expected);
}

TEST(PositionText, UnreadableCoordinateIsAnError) {
  EXPECT_THROW(PositionTextFromCsv(u"a,b,c,x1,2,f,g,h,i,j,k,\"t\""), std::runtime_error);
  EXPECT_THROW(PositionTextFromCsv(u"a,b,c,1,,f,g,h,i,j,k,\"t\""), std::runtime_error);
  EXPECT_THROW(PositionTextFromCsv(u"a,b,c,inf,2,f,g,h,i,j,k,\"t\""), std::runtime_error);
  EXPECT_DOUBLE_EQ(ReadDecimalField(u" +1.5e2 "), 150);
  try {
    ReadDecimalField(u"1,5");
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'1,5' is not a valid floating point value");
  }
}

namespace {

// The reformatting done the plain way: the text split into list items, each item at its commas.
std::u16string PlainPositionText(const std::u16string& csv) {
  TWideStringList lines, fields, entries;
  lines.SetText(csv);
  for (int i = 0; i < lines.Count(); ++i) {
    SplitDelimited(lines.Get(i), u",", fields, u'\0', u"\"");
    if (fields.Count() < 12) continue;
    const double x = ReadDecimalField(fields.Get(3)), y = ReadDecimalField(fields.Get(4));
    if (fields.Get(11).empty()) continue;
    entries.Add(u"@X=" + AsciiToWide(FormatFixed(2, x)) + u",Y=" + AsciiToWide(FormatFixed(2, y)) + u"@" +
                fields.Get(11) + u"@ENDTEXT@");
  }
  return TrimBlanks(entries.Text());
}

std::u16string Outcome(std::u16string (*reformat)(const std::u16string&), const std::u16string& csv) {
  try {
    return reformat(csv);
  } catch (const std::runtime_error&) {
    return u"(error)";
  }
}

}  // namespace

// CSV texts of twelve-field lines with quotes, commas, line breaks, blanks and U+0000 mixed in:
// the one-pass reformatting answers what the plain one does, errors included.
TEST(PositionText, OnePassReadsAsThePlainSplit) {
  std::mt19937 random(25);
  const std::u16string noise[] = {u"\"", u",", u"\r", u"\n", u"\r\n", u"\n\r", u"\v", u"\u2028", u" ", u"x", u"\u00e9",
                                  std::u16string(1, u'\0')};
  for (int round = 0; round < 3000; ++round) {
    std::u16string csv;
    const int lines = static_cast<int>(random() % 6);
    for (int line = 0; line < lines; ++line) {
      csv += u"\"F1\",#000000,12,";
      csv += AsciiToWide(std::to_string(static_cast<int>(random() % 2000) - 1000) + "." + std::to_string(random() % 1000));
      csv += u",72.125,1,2,3,4,5,6,\"word\"\r\n";
    }
    for (int k = static_cast<int>(random() % 4); k > 0 && !csv.empty(); --k)
      csv.insert(random() % csv.size(), noise[random() % std::size(noise)]);
    ASSERT_EQ(Outcome(PositionTextFromCsv, csv), Outcome(PlainPositionText, csv)) << round;
  }
}
