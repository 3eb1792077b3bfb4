#pragma once
// The widths of a CID-keyed font: a default and ranges of CIDs with one width each, kept
// as ranges so that /W entries over millions of CIDs cost one entry each.
#include <cstdint>
#include <optional>
#include <vector>

class TPDFCIDWidths {
public:
  struct TRange {
    uint32_t First;
    uint32_t Last;
    int32_t Width;
  };

  void SetDefault(int32_t width) { Default = width; }
  // Ranges are kept in the order added; an earlier range wins where ranges overlap.
  void Add(uint32_t first, uint32_t last, int32_t width);
  // The width of the first range holding the CID, else the default, else nothing.
  std::optional<int32_t> Width(uint32_t cid) const;
  bool Empty() const { return !Default && Ranges.empty(); }
  const std::vector<TRange>& Entries() const { return Ranges; }
  std::optional<int32_t> DefaultWidth() const { return Default; }

private:
  void BuildIndex() const;

  std::optional<int32_t> Default;
  std::vector<TRange> Ranges;
  // Disjoint runs sorted by First, each giving the width of the first range that covers
  // it; built on first lookup so that lookups are binary searches.
  mutable std::vector<TRange> Index;
  mutable bool IndexValid = false;
};
