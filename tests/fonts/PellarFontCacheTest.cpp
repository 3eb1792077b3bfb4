#include "fonts/PellarFontCache.h"

#include <gtest/gtest.h>

#include "fonts/PellarFontCollection.h"

// Past its budget the cache lets go of the fonts used longest ago, one by one: a font found
// again counts as used; a record larger than the whole budget is never kept.
TEST(FontCache, LetsGoOfTheFontsUsedLongestAgo) {
  auto record = [](int32_t id) {
    auto r = std::make_shared<TPDFFontCollectionData>();
    r->Id = id;
    return r;
  };
  const size_t one = FontRecordBytes(*record(1));
  TPDFFontCache cache(2 * one);
  cache.Store(1, true, record(1));
  cache.Store(2, true, record(2));
  ASSERT_NE(cache.Find(1, true), nullptr);  // 1 is now used after 2
  cache.Store(3, true, record(3));           // 2 goes
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_EQ(cache.Find(2, true), nullptr);
  ASSERT_NE(cache.Find(1, true), nullptr);
  EXPECT_EQ(cache.Find(3, true)->Id, 3);
  EXPECT_EQ(cache.Find(3, false), nullptr);  // another program setting is another record
  auto large = record(4);
  large->FontName.assign(2 * one, 'x');
  cache.Store(4, true, large);
  EXPECT_EQ(cache.Find(4, true), nullptr);
  EXPECT_EQ(cache.Count(), 2u);
}
