#include "app/WideStringList.h"

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "tests/support/RunProcess.h"

namespace {
std::vector<std::u16string> Items(const TWideStringList& list) {
  std::vector<std::u16string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}
}  // namespace

TEST(WideStringList, SetTextLineRules) {
  struct {
    std::u16string Text;
    std::vector<std::u16string> Lines;
  } cases[] = {
      {u"a\r\n", {u"a"}},
      {u"a\r\n\r\n", {u"a", u""}},
      {u"x\n\ry", {u"x", u"", u"y"}},
      {u"a\u000bb\u000cc\u2028d\u2029e\rf", {u"a", u"b", u"c", u"d", u"e", u"f"}},
      {std::u16string(u"ab\0cd\r\nef", 10), {u"ab"}},
      {std::u16string(u"l1\r\nab\0cd", 9), {u"l1", u"ab"}},
      {u"", {}},
      {u"\r\n", {u""}},
      {u"no break", {u"no break"}},
  };
  for (const auto& c : cases) {
    TWideStringList list;
    list.SetText(c.Text);
    EXPECT_EQ(Items(list), c.Lines);
  }
}

TEST(WideStringList, TextAddsCrLfAfterEveryItem) {
  TWideStringList list;
  EXPECT_EQ(list.Text(), u"");
  list.Add(u"");
  EXPECT_EQ(list.Text(), u"\r\n");
  list.Add(u"B");
  EXPECT_EQ(list.Text(), u"\r\nB\r\n");
  EXPECT_THROW(list.Get(2), std::out_of_range);
  EXPECT_THROW(list.Get(-1), std::out_of_range);
}

TEST(WideStringList, SaveToFileWritesNarrowBytesAndReplacesTheFile) {
  TTempDir dir;
  dir.Write("out.txt", "an older and much longer content that must not survive");
  TWideStringList list;
  list.Add(u"A");
  list.Add(u"\u00e9\u4e2d");
  Platform::SetNarrowCodePage("ISO-8859-1");
  list.SaveToFile(AsciiToWideForTest(dir.File("out.txt")));
  EXPECT_EQ(dir.Read("out.txt"), "A\r\n\xe9?\r\n");
  Platform::SetNarrowCodePage("UTF-8");
  list.SaveToFile(AsciiToWideForTest(dir.File("out.txt")));
  EXPECT_EQ(dir.Read("out.txt"), "A\r\n\xc3\xa9\xe4\xb8\xad\r\n");
  TWideStringList empty;
  empty.SaveToFile(AsciiToWideForTest(dir.File("out.txt")));
  EXPECT_EQ(dir.Read("out.txt"), "");
}

TEST(WideStringList, SaveToFileReportsWhatCannotBeCreated) {
  TTempDir dir;
  const std::string target = dir.File("missing/out.txt");
  try {
    TWideStringList().SaveToFile(AsciiToWideForTest(target));
    FAIL() << "expected an error";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + target + "\". No such file or directory");
  }
}

TEST(SplitDelimited, FieldsQuotesAndEscapes) {
  struct {
    std::u16string Text;
    char16_t Escape;
    std::vector<std::u16string> Fields;
  } cases[] = {
      {u"", u'\0', {u""}},
      {u"a,b,", u'\0', {u"a", u"b", u""}},
      {u"\"a,b\",c", u'\0', {u"a,b", u"c"}},
      {u"x\"y\"z", u'\0', {u"xyz"}},
      {u"\"\\\"hi\\\"\",1", u'\0', {u"\\hi\\", u"1"}},  // quotes dropped, backslashes kept
      {u"\"a\\\"b,c\"", u'\0', {u"a\\b", u"c"}},       // a comma outside quotes splits
      {u"a\\,b,c", u'\\', {u"a,b", u"c"}},
      {u"ab\\", u'\\', {u"ab"}},
  };
  for (const auto& c : cases) {
    TWideStringList list;
    SplitDelimited(c.Text, u",", list, c.Escape, u"\"");
    EXPECT_EQ(Items(list), c.Fields);
  }
  TWideStringList list;
  SplitDelimited(u"a::b:c", u"::", list, u'\0', u"\"");
  EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"a", u"b:c"}));
}
