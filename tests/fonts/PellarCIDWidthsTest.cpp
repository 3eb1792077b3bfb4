#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fonts/PellarCIDWidths.h"
#include "fonts/PellarFontDictionary.h"
#include "pdf/PellarStructure.h"

namespace {

using TWidthAt = std::pair<uint32_t, std::optional<int32_t>>;

// /W arrays as fonts give them, read into ranges, then looked up by CID; and /W2 arrays, whose
// entries give a vertical advance followed by a position vector that is passed over.
TEST(PellarCIDWidths, ReadsBothFormsAndStopsAtTheFirstBadEntry) {
  struct TCase {
    const char* W;
    std::vector<TWidthAt> Expected;
    size_t Ranges;
    bool Vertical = false;
  };
  const std::vector<TCase> cases = {
      {"[1 [500 600] 5 7 300]", {{0, {}}, {1, 500}, {2, 600}, {3, {}}, {4, {}}, {5, 300}, {7, 300}, {8, {}}}, 3},
      // Equal neighbours given one by one are one range.
      {"[10 [250 250 250 400]]", {{9, {}}, {10, 250}, {12, 250}, {13, 400}, {14, {}}}, 2},
      // Non-numbers inside the list keep their place.
      {"[1 [500 /x 700]]", {{1, 500}, {2, {}}, {3, 700}}, 2},
      // The first entry wins where entries overlap.
      {"[5 9 100 1 20 200]", {{4, 200}, {5, 100}, {9, 100}, {10, 200}, {20, 200}, {21, {}}}, 2},
      // One range over every CID a 31-bit number reaches; nothing per CID.
      {"[0 2147483647 500]", {{0, 500}, {2147483647u, 500}, {2147483648u, {}}}, 1},
      // 4294967295 is taken as the largest 32-bit integer.
      {"[65535 4294967295 900]", {{65534, {}}, {65535, 900}, {2147483647u, 900}, {4294967295u, {}}}, 1},
      {"[3.6 4.4 299.5]", {{3, {}}, {4, 300}, {5, {}}}, 1},
      {"[10 5 300]", {{5, {}}, {10, {}}}, 0},
      {"[-1 [500] 2 [600]]", {{2, {}}}, 0},
      {"[1 [500] /x [600] 2 [700]]", {{1, 500}, {2, {}}}, 1},
      {"[1 2]", {{1, {}}}, 0},
      {"[1 2 /w 3 3 300]", {{1, {}}, {3, {}}}, 0},
      {"[1 (a) 300]", {{1, {}}}, 0},
      {"<< >>", {{0, {}}}, 0},
      {"[1 [-900 500 880 -800 500 880] 5 7 -700 500 880]",
       {{0, {}}, {1, -900}, {2, -800}, {3, {}}, {5, -700}, {7, -700}, {8, {}}}, 3, true},
      // Short triples and ranges without their position vector are not read.
      {"[1 [-900 500 880 -800 500] 5 7 -700 500]", {{1, -900}, {2, {}}, {5, {}}}, 1, true},
      {"[-1 [-900 500 880]]", {{0, {}}}, 0, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.W);
    TPDFStructure pool;
    TPDFCIDWidths widths;
    (c.Vertical ? ReadCIDVerticalWidths : ReadCIDWidths)(pool.Parse(c.W), widths);
    EXPECT_EQ(widths.Entries().size(), c.Ranges);
    for (const auto& [cid, width] : c.Expected) EXPECT_EQ(widths.Width(cid), width) << cid;
  }
}

// The index built for binary search answers like a scan of the ranges in order; odd rounds
// give them ascending and apart, as most /W arrays do.
TEST(PellarCIDWidths, LookupMatchesAScanOfTheRanges) {
  uint32_t state = 7;
  auto next = [&](uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  for (int round = 0; round < 20; ++round) {
    TPDFCIDWidths widths;
    std::vector<TPDFCIDWidths::TRange> added;
    for (uint32_t i = 0, end = 0; i < 40; ++i) {
      const uint32_t first = round % 2 ? end + next(3) : next(200), last = first + next(round % 2 ? 5 : 30);
      end = last + 1;
      const int32_t width = static_cast<int32_t>(next(4));
      widths.Add(first, last, width);
      added.push_back({first, last, width});
    }
    for (uint32_t cid = 0; cid < 340; ++cid) {
      std::optional<int32_t> scanned;
      for (const auto& r : added)
        if (r.First <= cid && cid <= r.Last) {
          scanned = r.Width;
          break;
        }
      ASSERT_EQ(widths.Width(cid), scanned) << "round " << round << " cid " << cid;
    }
  }
}

}  // namespace
