#pragma once
// The predefined code-to-CID maps of a Chinese or Korean character collection with its CID
// to Unicode table: how string bytes split into codes under a map's codespace ranges, and a
// code's CID found by binary search over the map's ranges.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/PellarCMap.h"
#include "fonts/PellarCMapTable.h"

class TPellarCJKMaps {
public:
  // Reads the stored code maps (tools/gen_cjk_cmaps.py describes the form) and the CID to
  // Unicode table (the section form of TPellarCMap). A map that is damaged (a count past the
  // data, ranges out of order, a base that is not an earlier map) loads empty; the maps
  // after it still load.
  void Load(std::string_view maps, std::string_view cidToUnicode);

  size_t MapCount() const { return Maps.size(); }
  // The codes of string bytes under a byte-keyed map: at each byte the shortest code that a
  // codespace range holds. Codes the map has no CID for are dropped; bytes no range holds
  // are skipped by the length of the shortest range whose first byte they start.
  TPellarCodeList Split(size_t map, std::string_view bytes) const;
  // The CID of a code, or -1.
  int32_t CID(size_t map, int32_t code) const;
  // The text of a CID; empty when the collection has none.
  std::u16string Text(int32_t cid) const { return cid < 0 ? std::u16string() : CIDText.ValueText(2, uint32_t(cid)); }

private:
  struct TCodeSpace {
    uint32_t Length = 0;
    uint32_t Low = 0;
    uint32_t High = 0;
  };
  struct TRange {
    uint32_t Low = 0;
    uint32_t High = 0;
    int32_t CID = -1;  // -1: the codes have no CID
  };
  struct TMap {
    int32_t Base = -1;
    bool Inverse = false;
    std::vector<TCodeSpace> Spaces;
    std::vector<TRange> Ranges;  // ascending, disjoint
  };
  struct TInverse {
    uint32_t Character;
    int32_t CID;
  };
  void BuildInverse(uint32_t cidCount);
  const std::vector<TCodeSpace>& SpacesOf(size_t map) const;
  int32_t InverseCID(uint32_t character) const;

  std::vector<TMap> Maps;
  std::vector<TInverse> Inverse;  // ascending by character, the first CID of each
  TPellarCMap CIDText;
};
