// Placeholder bodies until the CMap parser and the predefined maps are built.
#include "fonts/PellarCMap.h"

TToUnicodeMap ParseToUnicode(std::string_view) { return {}; }
std::u16string CMapEntryText(const TPDFCMapEntry&, int32_t) { return {}; }
TPellarCodeList PredefinedSplit(const std::string&, std::string_view) { return {}; }
int32_t PredefinedCID(const std::string&, int32_t) { return -1; }
std::u16string PredefinedUnicode(const std::string&, const std::string&, int32_t) { return {}; }
