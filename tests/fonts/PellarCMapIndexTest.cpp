#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/PellarCMapIndex.h"

namespace {

// The first or last mapping that holds the code, ranges whose ends differ in their first byte
// only when no other mapping does.
int32_t Scan(const TPDFCMap& map, int32_t code, TPDFCMapIndex::TOrder order) {
  for (const bool crossing : {false, true}) {
    int32_t found = -1;
    for (size_t i = 0; i < map.size(); ++i)
      if (((map[i].Low >> 8) != (map[i].High >> 8)) == crossing && map[i].Low <= code && code <= map[i].High &&
          (found < 0 || order == TPDFCMapIndex::TOrder::LastWins))
        found = static_cast<int32_t>(i);
    if (found >= 0) return found;
  }
  return -1;
}

// The index answers like a scan of the mappings in map order (first or last match); one
// limited to the codes up to 255 answers the same below and nothing above.
TEST(PellarCMapIndex, MatchesAScanOfTheMappings) {
  uint32_t state = 11;
  auto next = [&](uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  for (auto order : {TPDFCMapIndex::TOrder::FirstWins, TPDFCMapIndex::TOrder::LastWins}) {
    for (int round = 0; round < 20; ++round) {
      TPDFCMap map;
      for (int i = 0; i < 30; ++i) {
        const uint32_t low = next(300);
        // Some ranges run backwards, one reaches the last code.
        const uint32_t high = i == 7 ? 0xFFFF : low + next(40) - 5;
        map.push_back({static_cast<uint16_t>(low), static_cast<uint16_t>(std::min<uint32_t>(high, 0xFFFF)), {}});
      }
      const TPDFCMapIndex index(order), limited(order, 255);
      for (int32_t code = -1; code < 360; ++code) {
        ASSERT_EQ(index.Find(map, code), Scan(map, code, order)) << "round " << round << " code " << code;
        ASSERT_EQ(limited.Find(map, code), code <= 255 ? Scan(map, code, order) : -1) << "round " << round << " code " << code;
      }
      for (int32_t code : {0xFFFF, 0x10000}) EXPECT_EQ(index.Find(map, code), Scan(map, code, order)) << code;
    }
  }
  EXPECT_EQ(TPDFCMapIndex().Find({}, 5), -1);
}

}  // namespace
