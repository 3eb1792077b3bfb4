#pragma once
// Bounds-checked big-endian reading of font data, and the sfnt container (table directory,
// collection faces) that both the font-program readers and the installed-font catalogue
// open. It sits here, below both, so the two share one checked reader.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// A cursor over font bytes. A read or seek past the end fails: it answers 0 (or nothing),
// leaves the cursor at the end, and Ok() stays false from then on, so a reader may run a
// whole structure and check once.
class TFontReader {
public:
  explicit TFontReader(std::string_view data, size_t pos = 0) : Data(data) { Seek(pos); }

  bool Ok() const { return Good; }
  size_t Pos() const { return Cursor; }
  size_t Size() const { return Data.size(); }
  size_t Left() const { return Data.size() - Cursor; }
  std::string_view Whole() const { return Data; }

  void Seek(size_t pos) {
    if (pos > Data.size()) Fail();
    else Cursor = pos;
  }
  void Skip(size_t count) {
    if (count > Left()) Fail();
    else Cursor += count;
  }
  // An unsigned big-endian number of 1 to 4 bytes.
  uint32_t Card(size_t bytes) {
    if (bytes == 0 || bytes > 4 || bytes > Left()) {
      Fail();
      return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value = value << 8 | static_cast<uint8_t>(Data[Cursor++]);
    return value;
  }
  uint8_t U8() { return static_cast<uint8_t>(Card(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Card(2)); }
  uint32_t U32() { return Card(4); }
  std::string_view Bytes(size_t count) {
    if (count > Left()) {
      Fail();
      return {};
    }
    const std::string_view bytes = Data.substr(Cursor, count);
    Cursor += count;
    return bytes;
  }

  // Marks the data unreadable from here on (a structure that does not hold together).
  void Fail() {
    Good = false;
    Cursor = Data.size();
  }

private:
  std::string_view Data;
  size_t Cursor = 0;
  bool Good = true;
};

// True when the data starts like a single sfnt font (TrueType or OpenType).
bool IsSfntFont(std::string_view data);
// The bytes of the first table with the four-byte tag in the font's directory; a table that
// runs past the end of the data is cut there. Nothing when the data is no sfnt font or has
// no such table.
std::optional<std::string_view> FindSfntTable(std::string_view font, std::string_view tag);
// Face `index` of a TrueType collection ("ttcf") rebuilt as a font of its own: its tables
// copied behind a directory whose offsets point at the copies (a collection's offsets count
// from the start of the collection). Data that is no collection is answered as it is; a
// face that cannot be read gives empty data.
std::string CollectionFace(std::string_view data, uint32_t index);

}  // namespace Platform
