#include "platform/FontBytes.h"

#include <vector>

namespace Platform {

namespace {

constexpr size_t DirectoryHeaderSize = 12;
constexpr size_t TableRecordSize = 16;

struct TTableRecord {
  std::string_view Tag;
  uint32_t CheckSum = 0;
  std::string_view Bytes;
};

// The table records of the font whose offset table starts at `start`; offsets count from
// the start of `data`. Records whose table starts past the end are dropped.
std::vector<TTableRecord> ReadDirectory(std::string_view data, size_t start) {
  TFontReader in(data, start);
  in.Skip(4);
  const uint16_t count = in.U16();
  in.Skip(6);
  std::vector<TTableRecord> tables;
  for (uint16_t i = 0; i < count && in.Left() >= TableRecordSize; ++i) {
    TTableRecord record;
    record.Tag = in.Bytes(4);
    record.CheckSum = in.U32();
    const uint32_t offset = in.U32();
    const uint32_t length = in.U32();
    if (offset > data.size()) continue;
    record.Bytes = data.substr(offset, length);
    tables.push_back(record);
  }
  return tables;
}

void AppendCard(std::string& out, uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift & 0xFF));
}

}  // namespace

bool IsSfntFont(std::string_view data) {
  const std::string_view tag = data.substr(0, 4);
  return tag == std::string_view("\0\1\0\0", 4) || tag == "OTTO" || tag == "true" || tag == "typ1";
}

std::optional<std::string_view> FindSfntTable(std::string_view font, std::string_view tag) {
  if (!IsSfntFont(font)) return std::nullopt;
  for (const TTableRecord& table : ReadDirectory(font, 0))
    if (table.Tag == tag) return table.Bytes;
  return std::nullopt;
}

std::string CollectionFace(std::string_view data, uint32_t index) {
  if (data.substr(0, 4) != "ttcf") return std::string(data);
  TFontReader in(data, 8);
  const uint32_t faces = in.U32();
  if (index >= faces) return {};
  in.Skip(size_t(index) * 4);
  const uint32_t start = in.U32();
  if (!in.Ok() || start > data.size() || !IsSfntFont(data.substr(start, 4))) return {};

  const std::vector<TTableRecord> tables = ReadDirectory(data, start);
  size_t total = DirectoryHeaderSize + tables.size() * TableRecordSize;
  for (const TTableRecord& table : tables) total += (table.Bytes.size() + 3) & ~size_t(3);
  // Faces share tables, but one face names each table once: a face larger than its whole
  // collection repeats tables and is not a font.
  if (tables.empty() || total > DirectoryHeaderSize + data.size() + tables.size() * (TableRecordSize + 3)) return {};
  std::string font;
  font.reserve(total);
  font.append(data.substr(start, 4));
  AppendCard(font, static_cast<uint32_t>(tables.size()), 2);
  uint32_t power = 1, log2 = 0;
  while (power * 2 <= tables.size()) power *= 2, ++log2;
  const uint32_t searchRange = power * TableRecordSize;
  AppendCard(font, searchRange, 2);
  AppendCard(font, log2, 2);
  AppendCard(font, static_cast<uint32_t>(tables.size() * TableRecordSize - searchRange), 2);
  size_t offset = DirectoryHeaderSize + tables.size() * TableRecordSize;
  for (const TTableRecord& table : tables) {
    font.append(table.Tag);
    AppendCard(font, table.CheckSum, 4);
    AppendCard(font, static_cast<uint32_t>(offset), 4);
    AppendCard(font, static_cast<uint32_t>(table.Bytes.size()), 4);
    offset += (table.Bytes.size() + 3) & ~size_t(3);
  }
  for (const TTableRecord& table : tables) {
    font.append(table.Bytes);
    font.append((4 - table.Bytes.size() % 4) % 4, '\0');
  }
  return font;
}

}  // namespace Platform
