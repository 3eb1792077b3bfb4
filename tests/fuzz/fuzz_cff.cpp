// Reads arbitrary bytes as a compact (CFF or OpenType) program; names come from the
// standard strings or from the data, and the width scale is a usable factor.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>

#include "data/PellarFontProgramData.h"
#include "fonts/PellarFontPrograms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TCompactProgram program = ParseCompactProgram(bytes);
  if (!std::isfinite(program.WidthScale) || program.WidthScale == 0) std::abort();
  for (const std::string& name : program.Encoding) {
    static const std::unordered_set<std::string> standard(CFFStandardStrings.begin(), CFFStandardStrings.end());
    if (!standard.count(name) && name.rfind("CID:", 0) != 0 && bytes.find(name) == std::string_view::npos) std::abort();
  }
  IsCompactProgram(bytes);
  return 0;
}
