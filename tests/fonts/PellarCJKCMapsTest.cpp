#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

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

// CID to Unicode: CIDs 1 to 3 -> "A", "B", "A" (section kind 2, width 2).
const std::string Text = std::string("\x01\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00", 16) +
                         std::string("\x01\x00\x01\x00\x01\x00", 6) + std::string("\x00\x41\x00\x42\x00\x41", 6);

// Map 0: codespace <00>-<7F> and <8140>-<FEFE>; 0x41-0x43 -> CIDs 1-3, 0x8140 -> CID 2.
const std::string Bytes = Numbers({0, 0, 0, 2, 1, 0, 0x7F, 2, 0x8140, 0xFEFE, 2, 0x41, 2, 2, 0x8140 - 0x44, 0, 3});
// Map 1 over map 0: 0x42 has no CID, 0x8141 -> CID 3.
const std::string Over = Numbers({1, 0, 0, 0, 2, 0x42, 0, 0, 0x8141 - 0x43, 0, 4});
// Map 2: Unicode-keyed, codes the characters' first CIDs, 0x43 -> CID 1.
const std::string Unicode = Numbers({0, 1, 1, 0, 1, 0x43, 0, 2});

TPellarCJKMaps Load(const std::string& maps, uint64_t count) {
  TPellarCJKMaps loaded;
  loaded.Load(Numbers({4, count}) + maps, Text);
  return loaded;
}

// Map 1 overrides map 0 and falls back to it; map 2 falls back to the text table's inverse.
TEST(PellarCJKCMaps, CIDs) {
  const TPellarCJKMaps maps = Load(Bytes + Over + Unicode, 3);
  const std::pair<size_t, int32_t> codes[] = {{0, 0x43}, {0, 0x8140}, {1, 0x42}, {1, 0x8141},
                                              {2, 0x42}, {2, 0x43},   {3, 0x41}};
  std::vector<int32_t> cids;
  for (const auto& [map, code] : codes) cids.push_back(maps.CID(map, code));
  EXPECT_EQ(cids, (std::vector<int32_t>{3, 2, -1, 3, 2, 1, -1}));
  EXPECT_EQ(maps.Text(3), u"A");
}

TEST(PellarCJKCMaps, Split) {
  const TPellarCJKMaps maps = Load(Bytes + Over, 2);
  struct TCase {
    size_t Map;
    std::string Bytes;
    TPellarCodeList Codes;
  } cases[] = {
      {0, "\x41\x81\x40\x44\x43", {0x41, 0x8140, 0x43}},  // 0x44 has no CID: dropped
      {0, "\x81\x20\xFF\x41\x81", {0x41}},                // a broken code skipped whole, a byte no range starts
      {1, "\x42\x81\x41", {0x8141}},                      // the base's codespace
      {5, "\x41", {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(maps.Split(c.Map, c.Bytes), c.Codes) << c.Map << " " << c.Bytes;
}

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
