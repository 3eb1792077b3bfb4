#pragma once
// A code map stored in sections: each section maps ascending keys of one code length
// ("kind", 1 to 4 bytes) to values of a fixed byte width. The predefined Japanese CMaps are
// kept in this form.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TPellarCMap {
public:
  // Reads the stored form (little-endian): a section count, then per section kind, value
  // width and key count, the key deltas (1 byte for kind 1, 2 for kind 2, else 4) and the
  // values. A section with a kind above 4, a width above 64, more than 65535 keys or keys
  // past 32 bits loads empty; data that ends inside a section ends loading there.
  void LoadSections(std::string_view data);

  // Every membership test succeeds when set.
  bool AcceptAll = false;

  // Whether the first section of that kind holding the key exists.
  bool Contains(uint32_t kind, uint32_t key) const;
  // Whether a section of that kind holds a key from low to high.
  bool ContainsAny(uint32_t kind, uint32_t low, uint32_t high) const;
  // The value of the first section of that kind (any kind for 0) holding the key: width 1
  // the byte, width 2 the big-endian value, 0 for other widths and absent keys.
  uint16_t Value16(uint32_t kind, uint32_t key) const;
  // The value of the first section of that kind holding the key as big-endian UTF-16
  // units (width 1: the byte as one unit; an odd last byte is the high byte of a unit);
  // empty when absent.
  std::u16string ValueText(uint32_t kind, uint32_t key) const;

  size_t SectionCount() const { return Sections.size(); }

private:
  struct TSection {
    uint32_t KeyBytes = 0;
    uint32_t ValueBytes = 0;
    std::vector<uint32_t> Keys;  // ascending
    std::string ValueData;       // ValueBytes per key, in key order
  };
  // The value bytes of the key in the first section that matches the kind and holds it.
  std::string_view Find(uint32_t kind, uint32_t key, bool anyKind) const;

  std::vector<TSection> Sections;
};
