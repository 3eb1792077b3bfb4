#pragma once
// CMaps: the ToUnicode parser (codespace, bfchar, bfrange) and the predefined encodings
// of composite fonts that have no ToUnicode map.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One mapping of a ToUnicode map: codes Low to High to the destination UTF-16 units.
struct TPDFCMapEntry {
  uint16_t Low = 0;
  uint16_t High = 0;
  std::vector<int32_t> Codes;
};
// The mappings in the order the map gives them.
using TPDFCMap = std::vector<TPDFCMapEntry>;
// Character codes of a string.
using TPellarCodeList = std::vector<int32_t>;

struct TToUnicodeMap {
  bool OneByte = false;  // the first codespace range has one-byte bounds
  TPDFCMap Ranges;
};

TToUnicodeMap ParseToUnicode(std::string_view text);
// The text of a code inside the entry's range: the destination with its last unit
// moved on by code - Low.
std::u16string CMapEntryText(const TPDFCMapEntry& entry, int32_t code);

// The codes of string bytes under a predefined encoding; no codes for unknown names.
TPellarCodeList PredefinedSplit(const std::string& encodingName, std::string_view bytes);
// The CID of a code under a predefined encoding, or -1 for unknown names.
int32_t PredefinedCID(const std::string& encodingName, int32_t code);
// The text of a code under a predefined encoding and character collection.
std::u16string PredefinedUnicode(const std::string& encodingName, const std::string& cidSystemInfo, int32_t code);
// Whether the encoding mixes code lengths, so that only the encoding knows where a code
// ends: strings split by it even in a font with a ToUnicode map, whose codespace ranges
// are often given loosely.
bool PredefinedMixedWidth(const std::string& encodingName);
// Whether the encoding is a known predefined one that writes vertically (Identity-V and the
// -V forms).
bool PredefinedVertical(const std::string& encodingName);
