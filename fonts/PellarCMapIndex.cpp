#include "fonts/PellarCMapIndex.h"

#include <algorithm>

namespace {

constexpr uint32_t CodeCount = 0x10000;

bool CrossesFirstByte(const TPDFCMapEntry& entry) { return (entry.Low >> 8) != (entry.High >> 8); }

}  // namespace

int32_t TPDFCMapIndex::Find(const TPDFCMap& map, int32_t code) const {
  if (!Built) Build(map);
  if (code < 0 || code >= static_cast<int32_t>(CodeCount)) return -1;
  auto it = std::upper_bound(Spans.begin(), Spans.end(), code, [](int32_t c, const TSpan& s) { return c < s.First; });
  return it != Spans.begin() && std::prev(it)->Last >= code ? std::prev(it)->Entry : -1;
}

// The mappings paint the codes in the order that lets the winner paint first; each code is
// painted once, and "next unpainted" links with path halving skip painted runs, so the cost
// is the code space plus the number of mappings, however the ranges overlap.
// Only the codes from the lowest Low to the highest High (at most Highest) are painted, so
// that a simple font's map of one-byte codes costs 256 codes, not the whole code space.
void TPDFCMapIndex::Build(const TPDFCMap& map) const {
  Built = true;
  Spans.clear();
  uint32_t first = CodeCount, last = 0;
  for (const TPDFCMapEntry& entry : map) {
    if (entry.Low > entry.High || entry.Low > Highest) continue;
    first = std::min<uint32_t>(first, entry.Low);
    last = std::max<uint32_t>(last, std::min(entry.High, Highest));
  }
  if (first > last) return;
  const uint32_t codes = last - first + 1;
  // Positions are codes minus `first`; `next` has one position past the last code.
  std::vector<int32_t> owner(codes, -1);
  std::vector<uint32_t> next(codes + 1);
  for (uint32_t c = 0; c <= codes; ++c) next[c] = c;
  auto unpainted = [&](uint32_t c) {
    while (next[c] != c) c = next[c] = next[next[c]];
    return c;
  };
  const size_t count = map.size();
  // Mappings whose ends share their first byte paint first, so that they win over a range
  // whose ends differ in more than the last byte (<00ff> <01ff>), which a well-formed map
  // never holds: such a range keeps only the codes no exact mapping names.
  for (const bool crossing : {false, true}) {
    for (size_t k = 0; k < count; ++k) {
      const size_t i = Order == TOrder::FirstWins ? k : count - 1 - k;
      const TPDFCMapEntry& entry = map[i];
      if (CrossesFirstByte(entry) != crossing || entry.Low > entry.High || entry.Low > Highest) continue;
      const uint32_t high = std::min(entry.High, Highest) - first;
      for (uint32_t c = unpainted(entry.Low - first); c <= high; c = unpainted(c)) {
        owner[c] = static_cast<int32_t>(i);
        next[c] = c + 1;
      }
    }
  }
  for (uint32_t c = 0; c < codes; ++c) {
    if (owner[c] < 0) continue;
    const uint32_t code = c + first;
    if (!Spans.empty() && Spans.back().Entry == owner[c] && Spans.back().Last + 1u == code)
      Spans.back().Last = static_cast<uint16_t>(code);
    else
      Spans.push_back({static_cast<uint16_t>(code), static_cast<uint16_t>(code), owner[c]});
  }
}
