// Reads arbitrary bytes as a Type 1 program: the first eight bytes are /Length1 and /Length2
// (signed, big-endian), the rest is the program. Names come from StandardEncoding or from
// the clear text; an encoding array leaves the codes it does not set .notdef.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fonts/PellarFontPrograms.h"

namespace {

int64_t Length(const uint8_t* data, size_t size, size_t at) {
  uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | (i < size ? data[i] : 0);
  return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int64_t length1 = Length(data, size, 0), length2 = Length(data, size, 4);
  const std::string_view program = size > 8 ? std::string_view(reinterpret_cast<const char*>(data) + 8, size - 8) : "";
  const TGlyphNames names = Type1BuiltInEncoding(program, length1, length2);
  for (size_t code = 0; code < names.size(); ++code) {
    const std::string& name = names[code];
    if (name != StandardEncodingNames()[code] && name != ".notdef" && program.substr(0, size_t(std::max<int64_t>(length1, 0))).find("/" + name) == std::string_view::npos)
      std::abort();
  }
  return 0;
}
