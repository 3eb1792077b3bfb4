#include "fonts/PellarCJKCMaps.h"

#include <algorithm>
#include <optional>

namespace {

// CIDs are 16-bit; a code is at most 4 bytes, a 4-byte one stored with its top bit cleared.
constexpr uint32_t MaxCIDCount = 0x10000;
constexpr uint32_t MaxCodeBytes = 4;
constexpr uint32_t MaxCode = 0x7FFFFFFF;
// An unsigned 32-bit number takes at most 5 bytes of 7 bits.
constexpr int MaxNumberBytes = 5;

class TNumbers {
public:
  explicit TNumbers(std::string_view data) : Data(data) {}

  std::optional<uint32_t> Next() {
    uint64_t value = 0;
    for (int i = 0; i < MaxNumberBytes && Pos < Data.size(); ++i) {
      const uint8_t byte = static_cast<uint8_t>(Data[Pos++]);
      value |= uint64_t(byte & 0x7F) << (7 * i);
      if (!(byte & 0x80)) return value <= UINT32_MAX ? std::optional<uint32_t>(uint32_t(value)) : std::nullopt;
    }
    return std::nullopt;
  }
  size_t Left() const { return Data.size() - Pos; }

private:
  std::string_view Data;
  size_t Pos = 0;
};

// The code of `length` bytes: big-endian, a 4-byte one with its top bit cleared.
uint32_t CodeOf(std::string_view bytes, size_t at, uint32_t length) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < length; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return length == MaxCodeBytes ? value & MaxCode : value;
}

// Whether each byte lies between the bounds' bytes at its place.
bool InSpace(uint32_t value, uint32_t low, uint32_t high, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    const uint32_t shift = 8 * i;
    const uint32_t byte = value >> shift & 0xFF;
    if (byte < (low >> shift & 0xFF) || byte > (high >> shift & 0xFF)) return false;
  }
  return true;
}

}  // namespace

void TPellarCJKMaps::Load(std::string_view maps, std::string_view cidToUnicode) {
  Maps.clear();
  CIDText.LoadSections(cidToUnicode);
  TNumbers in(maps);
  const auto cidCount = in.Next();
  const auto mapCount = in.Next();
  if (!cidCount || !mapCount) return;
  BuildInverse(std::min(*cidCount, MaxCIDCount));
  // Each map takes at least five numbers of one byte.
  for (uint32_t m = 0; m < *mapCount && in.Left() >= 5; ++m) {
    TMap& map = Maps.emplace_back();
    const auto base = in.Next(), keying = in.Next(), inverse = in.Next(), spaces = in.Next();
    if (!base || !keying || !inverse || !spaces || *base > m || *keying > 1 || *inverse > 1 ||
        *spaces > in.Left() / 3) {
      map = TMap{};
      return;
    }
    map.Base = static_cast<int32_t>(*base) - 1;
    map.Inverse = *inverse == 1;
    bool damaged = false;
    for (uint32_t s = 0; s < *spaces; ++s) {
      const auto length = in.Next(), low = in.Next(), high = in.Next();
      if (!length || !low || !high) {
        map = TMap{};
        return;
      }
      if (*length == 0 || *length > MaxCodeBytes || (*length < MaxCodeBytes && *high >> (8 * *length)))
        damaged = true;
      else
        map.Spaces.push_back({*length, *low, *high});
    }
    const auto ranges = in.Next();
    if (!ranges || *ranges > in.Left() / 3) {
      map = TMap{};
      return;
    }
    map.Ranges.reserve(*ranges);
    uint64_t end = 0;
    for (uint32_t r = 0; r < *ranges; ++r) {
      const auto gap = in.Next(), span = in.Next(), cid = in.Next();
      if (!gap || !span || !cid) {
        map = TMap{};
        return;
      }
      const uint64_t low = end + *gap, high = low + *span;
      if (high > MaxCode || *cid > MaxCIDCount || (*cid > 0 && *cid - 1 + uint64_t(*span) >= MaxCIDCount)) {
        damaged = true;
        continue;
      }
      map.Ranges.push_back({uint32_t(low), uint32_t(high), static_cast<int32_t>(*cid) - 1});
      end = high + 1;
    }
    if (damaged) map = TMap{};
  }
}

// Each character's first CID among the CIDs whose text is that one character.
void TPellarCJKMaps::BuildInverse(uint32_t cidCount) {
  Inverse.clear();
  for (uint32_t cid = 0; cid < cidCount; ++cid) {
    const std::u16string text = CIDText.ValueText(2, cid);
    if (text.size() == 1 && (text[0] < 0xD800 || text[0] > 0xDFFF)) Inverse.push_back({text[0], int32_t(cid)});
    if (text.size() == 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF)
      Inverse.push_back({0x10000 + ((uint32_t(text[0]) - 0xD800) << 10) + (uint32_t(text[1]) - 0xDC00), int32_t(cid)});
  }
  std::stable_sort(Inverse.begin(), Inverse.end(),
                   [](const TInverse& a, const TInverse& b) { return a.Character < b.Character; });
  Inverse.erase(std::unique(Inverse.begin(), Inverse.end(),
                            [](const TInverse& a, const TInverse& b) { return a.Character == b.Character; }),
                Inverse.end());
}

int32_t TPellarCJKMaps::InverseCID(uint32_t character) const {
  const auto it = std::lower_bound(Inverse.begin(), Inverse.end(), character,
                                   [](const TInverse& entry, uint32_t c) { return entry.Character < c; });
  return it != Inverse.end() && it->Character == character ? it->CID : -1;
}

int32_t TPellarCJKMaps::CID(size_t map, int32_t code) const {
  if (code < 0) return -1;
  const uint32_t key = static_cast<uint32_t>(code);
  // Bases are earlier maps, so the walk ends.
  for (int64_t m = map < Maps.size() ? int64_t(map) : -1; m >= 0;) {
    const TMap& current = Maps[size_t(m)];
    const auto it = std::upper_bound(current.Ranges.begin(), current.Ranges.end(), key,
                                     [](uint32_t k, const TRange& range) { return k < range.Low; });
    if (it != current.Ranges.begin() && std::prev(it)->High >= key) {
      const TRange& range = *std::prev(it);
      return range.CID < 0 ? -1 : range.CID + int32_t(key - range.Low);
    }
    if (current.Base < 0) return current.Inverse ? InverseCID(key) : -1;
    m = current.Base;
  }
  return -1;
}

const std::vector<TPellarCJKMaps::TCodeSpace>& TPellarCJKMaps::SpacesOf(size_t map) const {
  int64_t m = int64_t(map);
  while (Maps[size_t(m)].Spaces.empty() && Maps[size_t(m)].Base >= 0) m = Maps[size_t(m)].Base;
  return Maps[size_t(m)].Spaces;
}

TPellarCodeList TPellarCJKMaps::Split(size_t map, std::string_view bytes) const {
  TPellarCodeList codes;
  if (map >= Maps.size()) return codes;
  const std::vector<TCodeSpace>& spaces = SpacesOf(map);
  for (size_t p = 0; p < bytes.size();) {
    uint32_t matched = 0, partial = 0;
    for (uint32_t length = 1; length <= MaxCodeBytes && !matched && p + length <= bytes.size(); ++length) {
      uint32_t value = 0;
      for (uint32_t i = 0; i < length; ++i) value = value << 8 | static_cast<uint8_t>(bytes[p + i]);
      for (const TCodeSpace& space : spaces) {
        if (space.Length != length) continue;
        if (InSpace(value, space.Low, space.High, length)) matched = length;
      }
    }
    if (matched) {
      const uint32_t code = CodeOf(bytes, p, matched);
      if (CID(map, int32_t(code)) >= 0) codes.push_back(int32_t(code));
      p += matched;
      continue;
    }
    const uint32_t first = static_cast<uint8_t>(bytes[p]);
    for (const TCodeSpace& space : spaces) {
      const uint32_t shift = 8 * (space.Length - 1);
      if (first >= (space.Low >> shift & 0xFF) && first <= (space.High >> shift & 0xFF) &&
          (!partial || space.Length < partial))
        partial = space.Length;
    }
    p += std::max<size_t>(1, std::min<size_t>(partial, bytes.size() - p));
  }
  return codes;
}
