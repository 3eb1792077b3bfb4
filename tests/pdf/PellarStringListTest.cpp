#include "pdf/PellarStringList.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Items(const TPellarStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}
}  // namespace

TEST(PellarStringList, SortedListKeepsOneOfEach) {
  TPellarStringList list;
  list.SetSorted(true);
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.Add("a"), 0);
  EXPECT_EQ(list.Add("b"), 1);
  EXPECT_EQ(list.Add("B"), 1);  // case-insensitive: already there
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(list.IndexOf("A"), 0);
  EXPECT_EQ(list.IndexOf("c"), -1);

  TPellarCaseSensitiveStringList exact;
  exact.SetSorted(true);
  exact.Add("b");
  exact.Add("B");
  exact.Add("a");
  EXPECT_EQ(Items(exact), (std::vector<std::string>{"B", "a", "b"}));
}

TEST(PellarStringList, SortOrdersAndFindsFirstEqual) {
  TPellarStringList list;
  for (const char* s : {"0000000010", "0000000002", "0000000007", "0000000002", "0000000001"}) list.Add(s);
  list.SetSorted(true);
  EXPECT_EQ(Items(list),
            (std::vector<std::string>{"0000000001", "0000000002", "0000000002", "0000000007", "0000000010"}));
  int index = -1;
  EXPECT_TRUE(list.Find("0000000002", index));
  EXPECT_EQ(list.Get(index), "0000000002");
  EXPECT_FALSE(list.Find("0000000005", index));
  EXPECT_EQ(index, 3);
}

TEST(PellarStringList, NamesValuesAndObjects) {
  TPellarStringList list;
  int object = 0;
  list.Add("length=5");
  list.AddObject("Type=Page", &object);
  EXPECT_EQ(list.Values("Length"), "5");
  EXPECT_EQ(list.IndexOfName("TYPE"), 1);
  EXPECT_EQ(list.IndexOfObject(&object), 1);
  EXPECT_EQ(list.Objects(1), &object);
  EXPECT_EQ(list.Objects(7), nullptr);
  TPellarCaseSensitiveStringList exact;
  exact.Add("length=5");
  EXPECT_EQ(exact.Values("Length"), "");
  list.Delete(9);
  list.Insert(5, "ignored");
  list.Put(-1, "ignored");
  EXPECT_EQ(list.Count(), 2);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Text(), "Type=Page\r\nlength=5\r\n");
}

TEST(PellarStringList, SetTextLineRules) {
  struct {
    std::string Text;
    std::vector<std::string> Lines;
  } cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"12345", {"12345"}},
      {"", {""}},
      {"a\r\n", {"a"}},
      {"a\n\rb", {"a", "", "b"}},
      {std::string("a\0b", 3), {"a"}},
  };
  for (const auto& c : cases) {
    TPellarStringList list;
    list.SetText(c.Text);
    EXPECT_EQ(Items(list), c.Lines) << c.Text;
  }
}

TEST(LyxSortedUniqueIntegerList, AddIfNew) {
  TLyxSortedUniqueIntegerList seen;
  EXPECT_TRUE(seen.AddIfNew(70000));
  EXPECT_FALSE(seen.AddIfNew(70000));
  EXPECT_TRUE(seen.AddIfNew(5));
  EXPECT_TRUE(seen.AddIfNew(0xFFFFFFFFu));
  EXPECT_FALSE(seen.AddIfNew(0xFFFFFFFFu));
  seen.Clear();
  EXPECT_TRUE(seen.AddIfNew(5));
}
