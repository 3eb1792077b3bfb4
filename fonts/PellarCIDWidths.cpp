#include "fonts/PellarCIDWidths.h"

#include <algorithm>
#include <iterator>
#include <map>

void TPDFCIDWidths::Add(uint32_t first, uint32_t last, int32_t width) {
  if (first > last) return;
  // A run of equal widths given one CID at a time ("c [w w w]") becomes one range: the
  // lookups cannot tell, and an array of a million widths stays small when they repeat.
  if (!Ranges.empty() && Ranges.back().Width == width && Ranges.back().Last != UINT32_MAX &&
      Ranges.back().Last + 1 == first) {
    Ranges.back().Last = last;
    IndexValid = false;
    return;
  }
  Ranges.push_back({first, last, width});
  IndexValid = false;
}

std::optional<int32_t> TPDFCIDWidths::Width(uint32_t cid) const {
  if (!Ranges.empty()) {
    if (!IndexValid) BuildIndex();
    auto it = std::upper_bound(Index.begin(), Index.end(), cid,
                               [](uint32_t value, const TRange& r) { return value < r.First; });
    if (it != Index.begin() && std::prev(it)->Last >= cid) return std::prev(it)->Width;
  }
  return Default;
}

void TPDFCIDWidths::BuildIndex() const {
  IndexValid = true;
  // Most /W arrays list their ranges ascending and apart: they are the index as they stand.
  const bool apart = std::adjacent_find(Ranges.begin(), Ranges.end(), [](const TRange& a, const TRange& b) {
                       return b.First <= a.Last;
                     }) == Ranges.end();
  if (apart) {
    Index = Ranges;
    return;
  }
  // Otherwise walk the ranges in order; the part of each range that no earlier range covers
  // goes to the index. Coverage is kept merged, so each covered interval is passed over once
  // before it is absorbed: n log n however the ranges nest.
  Index.clear();
  std::map<uint32_t, uint32_t> covered;  // first -> last, disjoint, not adjacent-merged
  for (const TRange& r : Ranges) {
    uint64_t next = r.First;  // first CID of r not yet handled
    auto it = covered.upper_bound(r.First);
    if (it != covered.begin() && std::prev(it)->second >= r.First) --it;
    uint32_t mergedFirst = r.First;
    uint32_t mergedLast = r.Last;
    while (it != covered.end() && it->first <= r.Last) {
      if (it->first > next) Index.push_back({static_cast<uint32_t>(next), it->first - 1, r.Width});
      next = std::max<uint64_t>(next, static_cast<uint64_t>(it->second) + 1);
      mergedFirst = std::min(mergedFirst, it->first);
      mergedLast = std::max(mergedLast, it->second);
      it = covered.erase(it);
    }
    if (next <= r.Last) Index.push_back({static_cast<uint32_t>(next), r.Last, r.Width});
    covered[mergedFirst] = mergedLast;
  }
  std::sort(Index.begin(), Index.end(), [](const TRange& a, const TRange& b) { return a.First < b.First; });
}
