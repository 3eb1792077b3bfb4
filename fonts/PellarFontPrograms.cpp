// Placeholder bodies until the font-program readers are built.
#include "fonts/PellarFontPrograms.h"

TGlyphNames Type1BuiltInEncoding(std::string_view, int64_t, int64_t) { return {}; }
TCompactProgram ParseCompactProgram(std::string_view) { return {}; }
bool IsCompactProgram(std::string_view) { return false; }
TTrueTypeProgram::TTrueTypeProgram(std::string_view) {}
std::optional<int32_t> TTrueTypeProgram::GlyphAdvance(const std::string&) const { return std::nullopt; }
TSubstituteFace SubstituteFont(const std::string&, int32_t, const std::vector<std::string>&) { return {}; }
std::unique_ptr<TTrueTypeProgram> SubstituteProgram(const std::string&, int32_t, Platform::TFontCatalogue&) {
  return nullptr;
}
