// The 14 standard fonts: the names that select each, its substitute and its metrics.
#include <string_view>
#include <unordered_map>

#include "fonts/PellarGlyphTables.h"

namespace {

const TStandardFont StandardFonts[StandardFontCount] = {
    {"Courier*CourierNew*CourierNewPSMT*CourierNewPS*", "CourierNew", {-28, -250, 628, 805}, 629, -157},
    {"Courier-Bold*Courier,Bold*CourierNew-Bold*CourierNew,Bold*CourierNewPS,BoldMT*CourierNewPS,Bold*"
     "CourierNewPS,BoldMT,Bold*",
     "CourierNew,Bold", {-113, -250, 749, 801}, 626, -142},
    {"Courier-BoldOblique*Courier,BoldItalic*CourierNew-BoldItalic*CourierNew,BoldItalic*"
     "CourierNewPS-BoldItalicMT*",
     "CourierNew,BoldItalic", {-56, -250, 868, 801}, 626, -142},
    {"Courier-Oblique*Courier,Italic*CourierNew-Italic*CourierNew,Italic*CourierNewPS-ItalicMT*"
     "CourierNewPS,ItalicMT,Italic*",
     "CourierNew,Italic", {-28, -250, 742, 805}, 629, -157},
    {"Helvetica*Arial*ArialMT*HelveticaNeue-Roman*HelveticaNeue-UltraLight*Arial,BoldMT,Bold*", "Arial",
     {-166, -225, 1000, 931}, 718, -207},
    {"Helvetica-Bold*Helvetica,Bold*Arial-Bold*Arial,Bold*Arial-BoldMT*HelveticaNeue,Bold*", "Arial,Bold",
     {-170, -228, 1003, 962}, 718, -207},
    {"Helvetica-BoldOblique*Helvetica-BoldItalic*Helvetica,BoldItalic*Arial-BoldItalic*Arial,BoldItalic*"
     "Arial-BoldItalicMT*",
     "Arial,BoldItalic", {-174, -228, 1114, 962}, 718, -207},
    {"Helvetica-Oblique*Helvetica-Italic*Helvetica,Italic*Arial-Italic*Arial,Italic*Arial-ItalicMT*",
     "Arial,Italic", {-170, -225, 1116, 931}, 718, -207},
    {"Times-Roman*TimesNewRoman*TimesNewRomanPS*TimesNewRomanPSMT*", "TimesNewRoman", {-168, -218, 1000, 898}, 683,
     -217},
    {"Times-Bold*TimesNewRoman-Bold*TimesNewRoman,Bold*TimesNewRomanPS-Bold*TimesNewRomanPS-BoldMT*"
     "TimesNewRomanPS,Bold*TimesNewRomanPS,BoldMT*",
     "TimesNewRoman,Bold", {-168, -218, 1000, 935}, 676, -205},
    {"Times-Italic*TimesNewRoman-Italic*TimesNewRoman,Italic*TimesNewRomanPS-Italic*TimesNewRomanPS-ItalicMT*",
     "TimesNewRoman,Italic", {-169, -217, 1010, 883}, 683, -205},
    {"Times-BoldItalic*TimesNewRoman-BoldItalic*TimesNewRoman,BoldItalic*TimesNewRomanPS-BoldItalic*"
     "TimesNewRomanPS-BoldItalicMT*",
     "TimesNewRoman,BoldItalic", {-200, -218, 996, 921}, 699, -205},
    {"Symbol*", "Symbol", {-180, -293, 1090, 1010}, 699, -205},
    {"ZapfDingbats*", "ZapfDingbats", {-180, -293, 1090, 1010}, 699, -205},
};

// Each name the patterns list ("*"-ended entries) and the last font that lists it. Whole
// names only: a substring search would let the empty name pick ZapfDingbats and fragments
// such as "Bold" or "MT" pick whichever font lists a name ending in them.
const std::unordered_map<std::string_view, int>& ListedNames() {
  static const auto names = [] {
    std::unordered_map<std::string_view, int> all;
    for (int m = 1; m <= StandardFontCount; ++m) {
      const std::string_view pattern = StandardFonts[m - 1].Patterns;
      for (size_t start = 0; start < pattern.size();) {
        size_t end = pattern.find('*', start);
        if (end == std::string_view::npos) end = pattern.size();
        if (end > start) all[pattern.substr(start, end - start)] = m;
        start = end + 1;
      }
    }
    return all;
  }();
  return names;
}

}  // namespace

const TStandardFont& StandardFont(int m) {
  static const TStandardFont none{"", "", {0, 0, 0, 0}, 0, 0};
  return m >= 1 && m <= StandardFontCount ? StandardFonts[m - 1] : none;
}

int FindStandardFont(const std::string& name) {
  const auto found = ListedNames().find(name);
  return found == ListedNames().end() ? 0 : found->second;
}
