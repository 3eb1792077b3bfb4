#pragma once
// Which mapping of a ToUnicode map answers for a code, found by binary search: the maps of
// large fonts hold tens of thousands of mappings, and a page looks up every code it shows.
#include <cstdint>
#include <vector>

#include "fonts/PellarCMap.h"

class TPDFCMapIndex {
public:
  // Composite fonts take the first mapping that holds a code, the tables of simple fonts
  // the last; a range whose ends differ in more than their last byte answers only for codes
  // that no other mapping holds.
  enum class TOrder { FirstWins, LastWins };
  // Codes above `highest` are not indexed (found in no mapping): a simple font asks only for
  // its 256 codes, whatever span its map covers.
  explicit TPDFCMapIndex(TOrder order = TOrder::FirstWins, uint16_t highest = 0xFFFF) : Order(order), Highest(highest) {}

  // Position in the map of the mapping that answers for the code, or -1. The index is built
  // from the map on the first lookup; the map must not change after that.
  int32_t Find(const TPDFCMap& map, int32_t code) const;

private:
  struct TSpan {
    uint16_t First;
    uint16_t Last;
    int32_t Entry;
  };
  void Build(const TPDFCMap& map) const;

  TOrder Order;
  uint16_t Highest;
  mutable std::vector<TSpan> Spans;  // disjoint, ascending
  mutable bool Built = false;
};
