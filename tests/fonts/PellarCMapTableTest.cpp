#include "fonts/PellarCMapTable.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// Little-endian integers of the given byte sizes, as the stored form writes them.
std::string LE(std::initializer_list<std::pair<uint32_t, int>> values) {
  std::string out;
  for (const auto& [value, bytes] : values)
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

std::string Head(uint32_t kind, uint32_t width, uint32_t count) { return LE({{kind, 4}, {width, 4}, {count, 4}}); }

// Section kind 1, width 2: 0x20 -> 0x0001, 0x41 -> 0x0022.
const std::string Small = Head(1, 2, 2) + LE({{0x20, 1}, {0x21, 1}}) + std::string("\x00\x01\x00\x22", 4);

TEST(PellarCMapTable, LoadSections) {
  struct TCase {
    const char* Label;
    std::string Data;
    size_t Sections;
    uint16_t Value41;  // Value16(0, 0x41)
  } cases[] = {
      {"one section", LE({{1, 4}}) + Small, 1, 0x22},
      {"kind above 4 loads empty, the next one loads",
       LE({{2, 4}}) + Head(5, 1, 1) + LE({{0x41, 4}}) + "\x07" + Small, 2, 0x22},
      {"width above 64 loads empty", LE({{2, 4}}) + Head(1, 65, 1) + "\x41" + std::string(65, 'x') + Small, 2, 0x22},
      {"keys past 32 bits load empty",
       LE({{1, 4}}) + Head(4, 1, 2) + LE({{0xFFFFFFFF, 4}, {2, 4}}) + "ab", 1, 0},
      {"data ending inside a section ends loading", LE({{3, 4}}) + Small + Small.substr(0, Small.size() - 1), 2, 0x22},
      {"count larger than the data", LE({{0xFFFFFFFF, 4}}) + Small, 1, 0x22},
      {"no count", "\x01\x00", 0, 0},
      {"width 1", LE({{1, 4}}) + Head(2, 1, 1) + LE({{0x41, 2}}) + "\x99", 1, 0x99},
      {"width 4 gives no 16-bit value", LE({{1, 4}}) + Head(3, 4, 1) + LE({{0x41, 4}}) + "abcd", 1, 0},
  };
  for (const TCase& c : cases) {
    TPellarCMap map;
    map.LoadSections(c.Data);
    EXPECT_EQ(map.SectionCount(), c.Sections) << c.Label;
    EXPECT_EQ(map.Value16(0, 0x41), c.Value41) << c.Label;
  }

  std::string many = LE({{2, 4}}) + Head(2, 0, 65536) + std::string(2 * 65536, '\0') + Small;
  many[16] = 0x41;  // first key delta
  TPellarCMap map;
  map.LoadSections(many);
  EXPECT_FALSE(map.Contains(2, 0x41)) << "more than 65535 keys load empty";
  EXPECT_EQ(map.Value16(1, 0x41), 0x22);
}

TEST(PellarCMapTable, Lookups) {
  TPellarCMap map;
  map.LoadSections(LE({{3, 4}}) + Small + Head(2, 3, 3) + LE({{0x20, 2}, {0x8120, 2}, {0, 2}}) + "ABCDEFGHI" +
                   Head(2, 2, 1) + LE({{0x20, 2}}) + "zz");
  EXPECT_TRUE(map.Contains(1, 0x41));
  EXPECT_FALSE(map.Contains(2, 0x41));
  EXPECT_FALSE(map.Contains(1, 0x42));
  EXPECT_TRUE(map.Contains(2, 0x8140));
  EXPECT_TRUE(map.ContainsAny(2, 0x8100, 0x81FF));
  EXPECT_FALSE(map.ContainsAny(2, 0x8200, 0xFFFF));
  EXPECT_EQ(map.Value16(2, 0x20), 0) << "the first section holding the key has width 3";
  EXPECT_EQ(map.Value16(1, 0x20), 1);
  EXPECT_EQ(map.ValueText(2, 0x8140), std::u16string(u"\x4445\x4600"));
  EXPECT_EQ(map.ValueText(2, 0x20), std::u16string(u"\x4142\x4300"));
  EXPECT_EQ(map.ValueText(1, 0x41), std::u16string(u"\x0022"));
  EXPECT_EQ(map.ValueText(3, 0x41), u"");
  map.AcceptAll = true;
  EXPECT_TRUE(map.Contains(4, 7));
}

}  // namespace
