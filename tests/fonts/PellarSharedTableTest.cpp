#include "fonts/PellarSharedTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using TTable = TSharedTable<std::string>;

// Each case starts from `original` (its own table, code 1 "x") and a copy of it, changes
// them, and checks both and whether they still share a table.
TEST(PellarSharedTable, CopiesShareUntilOneChanges) {
  static const TTable::TTable fixed = [] {
    TTable::TTable t{};
    t[1] = "x";
    return t;
  }();
  struct TCase {
    const char* Label;
    std::function<void(TTable& original, TTable& copy)> Change;
    const char* Original;
    const char* Copy;
    bool Shared;
  } cases[] = {
      {"a copy shares the table", [](TTable&, TTable&) {}, "x", "x", true},
      {"changing the copy leaves the original", [](TTable&, TTable& c) { c.Change(1) = "y"; }, "x", "y", false},
      {"a fixed table is copied before a change",
       [](TTable& o, TTable& c) {
         o = c = TTable::Fixed(fixed);
         c.Change(1) = "y";
       },
       "x", "y", false},
      {"the sole owner changes in place",
       [](TTable& o, TTable& c) {
         c = TTable();
         const std::string* entry = &o[1];
         o.Change(1) = "y";
         if (entry != &o[1]) o.Change(1) = "copied";
       },
       "y", "", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    TTable::TTable entries{};
    entries[1] = "x";
    TTable original(entries);
    TTable copy = original;
    c.Change(original, copy);
    EXPECT_EQ(original[1], c.Original);
    EXPECT_EQ(copy[1], c.Copy);
    EXPECT_EQ(original.SameTable(copy), c.Shared);
    EXPECT_EQ(fixed[1], "x");
  }
  // Tables compare by their entries, whoever holds them.
  EXPECT_EQ(TTable::Fixed(fixed), TTable(fixed));
  EXPECT_FALSE(TTable() == TTable(fixed));
  // The bytes counted once are counted again after a change; a fixed table holds none.
  TTable counted(fixed);
  const size_t before = counted.EntryBytes();
  counted.Change(1) = std::string(1000, 'x');
  EXPECT_GE(counted.EntryBytes(), before + 900);
  EXPECT_EQ(TTable::Fixed(fixed).EntryBytes(), 0u);
}

}  // namespace
