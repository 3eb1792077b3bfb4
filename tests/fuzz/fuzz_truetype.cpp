// Reads arbitrary bytes as TrueType data, whole and as the first faces of a collection; asks
// for the advances of glyph names that standard and own 'post' names give, and the characters
// of the glyphs from the 'cmap' subtables.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/PellarFontPrograms.h"
#include "platform/FontBytes.h"

namespace {

void Read(std::string_view font) {
  const TTrueTypeProgram program(font);
  for (const char* name : {".notdef", "space", "A", "a", "uni2022", "g5", ""}) {
    const std::optional<int32_t> advance = program.GlyphAdvance(name);
    if (advance && (*advance < 0 || *advance > 65535 * 1000)) std::abort();
  }
  const std::vector<char32_t> characters = TrueTypeGlyphCharacters(font);
  if (characters.size() > 0x10000) std::abort();
  for (char32_t c : characters)
    if (c > 0x10FFFF) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Read(bytes);
  for (uint32_t face = 0; face < 2; ++face) {
    const std::string font = Platform::CollectionFace(bytes, face);
    if (font.size() > 12 + 2 * size + 19 * (size / 16)) std::abort();
    Read(font);
  }
  return 0;
}
