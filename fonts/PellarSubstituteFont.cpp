// The installed face that stands in for a font a PDF does not embed, and its widths.
#include <algorithm>
#include <tuple>

#include "fonts/PellarFontPrograms.h"

namespace {

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// "ABCDEF+": six capital letters and a plus, the tag of a subset.
bool HasSubsetTag(const std::string& name) {
  return name.size() > 7 && name[6] == '+' &&
         std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The font name without vendor and subset marks, its style after a comma.
std::string NormalName(std::string name) {
  if (EndsWith(name, "MT")) name.resize(name.size() - 2);
  if (const size_t mt = name.find("MT-"); mt != std::string::npos) name.erase(mt, 3);
  if (HasSubsetTag(name)) name.erase(0, 7);
  if (const size_t plus = name.find('+'); plus != std::string::npos) name.resize(plus);
  // The two-word styles go first: "-Bold" taken first would leave "-BoldOblique" as
  // ",BoldOblique", a style no later step knows.
  ReplaceAll(name, "-BoldItalic", ",BoldItalic");
  ReplaceAll(name, "-BoldOblique", ",BoldItalic");
  ReplaceAll(name, "-Bold", ",Bold");
  ReplaceAll(name, "-Italic", ",Italic");
  ReplaceAll(name, "-Oblique", ",Italic");
  ReplaceAll(name, ",Bold,Bold", ",Bold");
  return name;
}

std::string WithoutSpaces(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

}  // namespace

TSubstituteFace SubstituteFont(const std::string& fontName, int32_t flags, const std::vector<std::string>& families) {
  std::string name = NormalName(fontName);
  if (const int standard = FindStandardFont(name)) name = StandardFont(standard).Substitute;

  TSubstituteFace face;
  for (const auto& [suffix, bold, italic] : {std::tuple(",BoldItalic", true, true), std::tuple(",Bold", true, false),
                                             std::tuple(",Italic", false, true)}) {
    if (EndsWith(name, suffix)) {
      name.resize(name.size() - std::string_view(suffix).size());
      face.Bold = bold;
      face.Italic = italic;
      break;
    }
  }
  for (const std::string& family : families) {
    if (family == name || WithoutSpaces(family) == name) {
      face.Family = family;
      return face;
    }
    if (family + "Italic" == name) {
      face.Family = family;
      face.Italic = true;
      return face;
    }
  }
  constexpr int32_t FixedPitch = 1, Serif = 2, Italic = 64;
  face.Family = flags & Serif ? "Times New Roman" : flags & FixedPitch ? "Courier" : "Arial";
  if (flags & Italic) face.Italic = true;
  return face;
}

std::unique_ptr<TTrueTypeProgram> SubstituteProgram(const std::string& fontName, int32_t flags,
                                                    Platform::TFontCatalogue& catalogue, size_t maxSize) {
  const TSubstituteFace face = SubstituteFont(fontName, flags, catalogue.Families());
  std::string data = catalogue.FontData(face.Family, face.Bold, face.Italic);
  if (data.size() > maxSize) data = catalogue.FontData("Arial", face.Bold, face.Italic);
  // A compact program gives no widths, nor does data too large even as "Arial".
  if (data.empty() || data.size() > maxSize || IsCompactProgram(data)) return nullptr;
  return std::make_unique<TTrueTypeProgram>(data);
}
