// Feeds arbitrary text to the ToUnicode parser and checks that what it returns is bounded
// by the text; the same bytes also go through the stored-map reader and the Shift-JIS split.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fonts/PellarCMap.h"
#include "fonts/PellarCMapTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TToUnicodeMap map = ParseToUnicode(text);
  // Every entry needs at least one "<x>" of the text, every unit at least one digit.
  size_t units = 0;
  for (const TPDFCMapEntry& entry : map.Ranges) {
    if (entry.Codes.empty()) std::abort();
    for (int32_t unit : entry.Codes)
      if (unit < 0 || unit > 0xFFFF) std::abort();
    units += entry.Codes.size();
    if (CMapEntryText(entry, entry.High).size() != entry.Codes.size()) std::abort();
  }
  if (map.Ranges.size() * 3 > size || units > size) std::abort();

  TPellarCMap stored;
  stored.LoadSections(text);
  stored.ValueText(2, 0x41);
  if (PredefinedSplit("90ms-RKSJ-H", text).size() > size) std::abort();
  return 0;
}
