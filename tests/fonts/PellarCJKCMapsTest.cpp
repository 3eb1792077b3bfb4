#include <gtest/gtest.h>

#include <initializer_list>

#include "fonts/PellarCJKCMaps.h"

namespace {

// Unsigned LEB128 numbers, as the stored code maps write them.
std::string Numbers(std::initializer_list<uint64_t> values) {
  std::string out;
  for (uint64_t value : values) {
    do {
      const uint8_t byte = value & 0x7F;
      value >>= 7;
      out.push_back(static_cast<char>(value ? byte | 0x80 : byte));
    } while (value);
  }
  return out;
}

// Map 0: codespace <00>-<7F> and <8140>-<FEFE>; 0x41-0x43 -> CIDs 1-3, 0x8140 -> CID 2.
const std::string Bytes = Numbers({0, 0, 0, 2, 1, 0, 0x7F, 2, 0x8140, 0xFEFE, 2, 0x41, 2, 2, 0x8140 - 0x44, 0, 3});

TPellarCJKMaps Load(const std::string& maps, uint64_t count) {
  TPellarCJKMaps loaded;
  loaded.Load(Numbers({4, count}) + maps, {});
  return loaded;
}

// How the maps decode is pinned by the real maps (tests/fonts/PellarCMapTest.cpp); here the
// reader meets damaged data: the maps before the damage load, the rest are dropped.
TEST(PellarCJKCMaps, DamagedMapsLoadEmpty) {
  struct TCase {
    const char* Label;
    std::string Maps;
    uint64_t Count;
    size_t Loaded;
    int32_t FirstCID;  // of 0x41 in the first map
  } cases[] = {
      {"a base that is not earlier", Numbers({2, 0, 0, 0, 0}) + Bytes, 2, 1, -1},
      {"codespace length 5", Numbers({0, 0, 0, 1, 5, 0, 0, 0}) + Bytes, 2, 2, -1},
      {"a codespace bound longer than its length", Numbers({0, 0, 0, 1, 1, 0, 0x100, 0}) + Bytes, 2, 2, -1},
      {"codes past 31 bits", Numbers({0, 0, 0, 0, 2, 0x41, 0, 1, 0x7FFFFFFF, 1, 1}) + Bytes, 2, 2, -1},
      {"a CID range past 16 bits", Numbers({0, 0, 0, 0, 1, 0x41, 1, 0x10000}) + Bytes, 2, 2, -1},
      {"a range count past the data", Numbers({0, 0, 0, 0, 1000, 1, 1, 1}), 1, 1, -1},
      {"a number past 32 bits", Numbers({0x100000000, 0, 0, 0, 0}), 1, 1, -1},
      {"data ending inside a range", Bytes.substr(0, Bytes.size() - 1), 1, 1, -1},
      {"a count larger than the data", Bytes, 1000, 1, 1},
  };
  for (const TCase& c : cases) {
    const TPellarCJKMaps maps = Load(c.Maps, c.Count);
    EXPECT_EQ(maps.MapCount(), c.Loaded) << c.Label;
    EXPECT_EQ(maps.CID(0, 0x41), c.FirstCID) << c.Label;
    EXPECT_EQ(maps.CID(1, 0x41), c.Loaded == 2 ? 1 : -1) << c.Label;
  }
}

}  // namespace
