#include "fonts/PellarCMapTable.h"

#include <algorithm>

namespace {

// Limits of the stored form: key lengths of a CMap code, values of up to 32 UTF-16 units,
// and key counts that fit the 16-bit codes and CIDs the maps hold.
constexpr uint32_t MaxKeyBytes = 4;
constexpr uint32_t MaxValueBytes = 64;
constexpr uint32_t MaxSectionKeys = 65535;

class TReader {
public:
  explicit TReader(std::string_view data) : Data(data) {}

  bool Has(uint64_t bytes) const { return bytes <= Data.size() - Pos; }
  // Little-endian unsigned integer of 1 to 4 bytes; the caller checks Has first.
  uint32_t Read(uint32_t bytes) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < bytes; ++i) value |= uint32_t(static_cast<uint8_t>(Data[Pos + i])) << (8 * i);
    Pos += bytes;
    return value;
  }
  std::string_view Take(size_t bytes) {
    const std::string_view part = Data.substr(Pos, bytes);
    Pos += bytes;
    return part;
  }

private:
  std::string_view Data;
  size_t Pos = 0;
};

uint32_t DeltaBytes(uint32_t kind) { return kind == 1 || kind == 2 ? kind : 4; }

}  // namespace

void TPellarCMap::LoadSections(std::string_view data) {
  Sections.clear();
  TReader in(data);
  if (!in.Has(4)) return;
  const uint32_t count = in.Read(4);
  // Each section takes at least its 12-byte head, so the count cannot claim more.
  for (uint32_t i = 0; i < count && in.Has(12); ++i) {
    TSection& section = Sections.emplace_back();
    const uint32_t kind = in.Read(4);
    const uint32_t width = in.Read(4);
    const uint32_t keys = in.Read(4);
    const uint64_t deltaBytes = DeltaBytes(kind);
    if (!in.Has(uint64_t(keys) * (deltaBytes + width))) return;
    const bool valid = kind <= MaxKeyBytes && width <= MaxValueBytes && keys <= MaxSectionKeys;
    if (!valid) {
      in.Take(size_t(uint64_t(keys) * (deltaBytes + width)));
      continue;
    }
    section.KeyBytes = kind;
    section.ValueBytes = width;
    section.Keys.reserve(keys);
    uint64_t key = 0;
    for (uint32_t k = 0; k < keys; ++k) {
      key += in.Read(static_cast<uint32_t>(deltaBytes));
      section.Keys.push_back(static_cast<uint32_t>(key));
    }
    section.ValueData = std::string(in.Take(size_t(keys) * width));
    if (key > UINT32_MAX) section = TSection{kind, width, {}, {}};
  }
}

std::string_view TPellarCMap::Find(uint32_t kind, uint32_t key, bool anyKind) const {
  for (const TSection& section : Sections) {
    if (!anyKind && section.KeyBytes != kind) continue;
    const auto it = std::lower_bound(section.Keys.begin(), section.Keys.end(), key);
    if (it == section.Keys.end() || *it != key) continue;
    const size_t index = static_cast<size_t>(it - section.Keys.begin());
    return std::string_view(section.ValueData).substr(index * section.ValueBytes, section.ValueBytes);
  }
  return {};
}

bool TPellarCMap::Contains(uint32_t kind, uint32_t key) const {
  if (AcceptAll) return true;
  for (const TSection& section : Sections)
    if (section.KeyBytes == kind && std::binary_search(section.Keys.begin(), section.Keys.end(), key)) return true;
  return false;
}

bool TPellarCMap::ContainsAny(uint32_t kind, uint32_t low, uint32_t high) const {
  if (AcceptAll) return true;
  for (const TSection& section : Sections) {
    if (section.KeyBytes != kind) continue;
    const auto it = std::lower_bound(section.Keys.begin(), section.Keys.end(), low);
    if (it != section.Keys.end() && *it <= high) return true;
  }
  return false;
}

uint16_t TPellarCMap::Value16(uint32_t kind, uint32_t key) const {
  const std::string_view value = Find(kind, key, kind == 0);
  if (value.size() == 1) return static_cast<uint8_t>(value[0]);
  if (value.size() == 2) return static_cast<uint16_t>(static_cast<uint8_t>(value[0]) << 8 | static_cast<uint8_t>(value[1]));
  return 0;
}

std::u16string TPellarCMap::ValueText(uint32_t kind, uint32_t key) const {
  const std::string_view value = Find(kind, key, false);
  std::u16string text;
  if (value.size() == 1) {
    text.push_back(static_cast<uint8_t>(value[0]));
    return text;
  }
  for (size_t i = 0; i < value.size(); i += 2) {
    const uint8_t high = static_cast<uint8_t>(value[i]);
    const uint8_t low = i + 1 < value.size() ? static_cast<uint8_t>(value[i + 1]) : 0;
    text.push_back(static_cast<char16_t>(high << 8 | low));
  }
  return text;
}
