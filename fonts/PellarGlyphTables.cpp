// Placeholder bodies until the built-in tables are generated.
#include "fonts/PellarGlyphTables.h"

const TStandardFont& StandardFont(int) {
  static const TStandardFont none{"", "", {0, 0, 0, 0}, 0, 0};
  return none;
}
void FillEncodingNames(TBaseEncoding, TGlyphNames& names) { names.fill(".notdef"); }
void SymbolUnicodeNames(TGlyphNames& names) { names.fill(""); }
TAnsiTexts GlyphNamesToAnsi(const TGlyphNames&) { return {}; }
TUnicodeTexts GlyphNamesToUnicode(const TGlyphNames&) { return {}; }
std::u16string GlyphNameToUnicode(const std::string&) { return {}; }
void StandardFontWidths(int, const TGlyphNames&, TCodeWidths&) {}
int FindStandardFont(const std::string&) { return 0; }
TPDFCIDWidths LoadHeiseiWidths(int32_t defaultWidth) {
  TPDFCIDWidths widths;
  widths.SetDefault(defaultWidth);
  return widths;
}
