// Glyph names to text by the rules of the Adobe Glyph List: the listed names, "uniXXXX"
// and "uXXXX[XX]" forms, suffixes after "." dropped and "_" joining ligature parts.
#include <optional>
#include <string_view>

#include "data/PellarFontData.h"
#include "fonts/PellarGlyphTables.h"

namespace {

bool IsSurrogate(uint32_t value) { return value >= 0xD800 && value <= 0xDFFF; }

// Upper-case hexadecimal digits only, as glyph names write them; nothing for other text.
std::optional<uint32_t> UpperHex(std::string_view digits) {
  uint32_t value = 0;
  for (char ch : digits) {
    if (ch >= '0' && ch <= '9') value = value << 4 | uint32_t(ch - '0');
    else if (ch >= 'A' && ch <= 'F') value = value << 4 | uint32_t(ch - 'A' + 10);
    else return std::nullopt;
  }
  return value;
}

void AppendScalar(std::u16string& text, uint32_t value) {
  if (value < 0x10000) {
    text.push_back(static_cast<char16_t>(value));
  } else {
    value -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
  }
}

// A Unicode scalar value written as 4 to 6 upper-case hex digits after a prefix.
std::optional<uint32_t> ScalarAfter(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix) || name.size() < prefix.size() + 4 || name.size() > prefix.size() + 6) return std::nullopt;
  const std::optional<uint32_t> value = UpperHex(name.substr(prefix.size()));
  if (!value || *value > 0x10FFFF || IsSurrogate(*value)) return std::nullopt;
  return value;
}

// "a" and a number: the form of the Zapf Dingbats names.
bool IsDingbatName(std::string_view name) {
  return name.size() > 1 && name[0] == 'a' &&
         name.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

std::u16string ComponentText(std::string_view component, bool dingbatFont) {
  if (const TLatinGlyph* row = FindGlyphRow(LatinGlyphs(), component)) return std::u16string(1, row->Unicode);
  if (!dingbatFont && IsDingbatName(component)) return {};
  if (const TGlyphListEntry* entry = FindGlyphRow(GlyphList(), component)) return entry->Text;
  std::u16string text;
  if (component.starts_with("uni") && component.size() > 3 && (component.size() - 3) % 4 == 0) {
    for (size_t i = 3; i < component.size(); i += 4) {
      const std::optional<uint32_t> unit = UpperHex(component.substr(i, 4));
      if (!unit || IsSurrogate(*unit)) return {};
      text.push_back(static_cast<char16_t>(*unit));
    }
    return text;
  }
  if (const std::optional<uint32_t> value = ScalarAfter(component, "u")) AppendScalar(text, *value);
  return text;
}

}  // namespace

std::u16string ExpandLigatures(std::u16string text) {
  static const char16_t* const Letters[] = {u"ff", u"fi", u"fl", u"ffi", u"ffl", u"st", u"st"};
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] < 0xFB00 || text[i] > 0xFB06) continue;
    const std::u16string_view letters = Letters[text[i] - 0xFB00];
    text.replace(i, 1, letters);
    i += letters.size() - 1;
  }
  return text;
}

bool IsDingbatFontName(const std::string& fontName) {
  return fontName.find("Dingbats") != std::string::npos || fontName.find("D050000L") != std::string::npos;
}

std::u16string GlyphNameToUnicode(const std::string& name, bool dingbatFont) {
  // The names the standard Symbol font is given, "U+" and its Unicode value.
  std::u16string text;
  if (const std::optional<uint32_t> value = ScalarAfter(name, "U+")) {
    AppendScalar(text, *value);
    return text;
  }
  std::string_view base(name);
  base = base.substr(0, base.find('.'));
  while (true) {
    const size_t end = base.find('_');
    text += ComponentText(base.substr(0, end), dingbatFont);
    if (end == std::string_view::npos) break;
    base.remove_prefix(end + 1);
  }
  return text;
}
