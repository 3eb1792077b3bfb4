#include "fonts/PellarGlyphTables.h"

#include <cstdio>

#include "data/PellarFontData.h"

namespace {

// Columns of TLatinGlyph::Codes.
constexpr int WinAnsiColumn = static_cast<int>(TBaseEncoding::WinAnsi);
// The width of a glyph the standard font's table lacks.
constexpr double UnknownGlyphWidth = 750;

// What an encoding gives the codes no row of its table claims.
std::string UnclaimedName(TBaseEncoding encoding, int code) {
  switch (encoding) {
    case TBaseEncoding::WinAnsi:
      if (code < 33) return ".notdef";
      if (code == 160) return "space";
      if (code == 173) return "hyphen";
      return "bullet";
    case TBaseEncoding::MacRoman: return code == 202 ? "space" : ".notdef";
    case TBaseEncoding::Symbol: return "";
    default: return ".notdef";
  }
}

}  // namespace

void FillEncodingNames(TBaseEncoding encoding, TGlyphNames& names) {
  names.fill("");
  const int column = static_cast<int>(encoding);
  if (column >= 0 && column <= 3) {
    for (const TLatinGlyph& row : LatinGlyphs())
      if (row.Codes[column] >= 0 && row.Codes[column] <= 255) names[static_cast<size_t>(row.Codes[column])] = row.Name;
  } else if (encoding == TBaseEncoding::MacExpert) {
    for (const TExpertGlyph& row : ExpertGlyphs()) names[row.Code] = row.Name;
  } else if (encoding == TBaseEncoding::Symbol) {
    for (const TSymbolGlyph& row : SymbolGlyphs()) names[row.Code] = row.Name;
  }
  for (int code = 0; code < 256; ++code)
    if (names[static_cast<size_t>(code)].empty()) names[static_cast<size_t>(code)] = UnclaimedName(encoding, code);
}

void DingbatEncodingNames(TGlyphNames& names) {
  names.fill(std::string());
  for (const TDingbatCode& row : DingbatCodes()) names[row.Code] = row.Name;
}

void SymbolUnicodeNames(TGlyphNames& names) {
  names.fill("");
  for (const TSymbolGlyph& row : SymbolGlyphs()) {
    char text[8];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(row.Unicode));
    names[row.Code] = text;
  }
}

TAnsiTexts GlyphNamesToAnsi(const TGlyphNames& names) {
  TAnsiTexts texts;
  for (size_t code = 0; code < names.size(); ++code) {
    const std::string& name = names[code];
    const TLatinGlyph* row = FindGlyphRow(LatinGlyphs(), name);
    if (row && row->Codes[WinAnsiColumn] >= 0) texts[code] = std::string(1, static_cast<char>(row->Codes[WinAnsiColumn]));
    else if (name == "fi" || name == "fl" || name == "ff" || name == "ffi") texts[code] = name;
    else if (name == "minus") texts[code] = '-';
  }
  return texts;
}

TUnicodeTexts GlyphNamesToUnicode(const TGlyphNames& names, bool dingbatFont) {
  TUnicodeTexts texts;
  for (size_t code = 0; code < names.size(); ++code) texts[code] = GlyphNameToUnicode(names[code], dingbatFont);
  return texts;
}

void StandardFontWidths(int m, const TGlyphNames& names, TCodeWidths& widths) {
  if (m >= 1 && m <= 12) {
    for (size_t code = 0; code < names.size(); ++code) {
      const TLatinGlyph* row = FindGlyphRow(LatinGlyphs(), names[code]);
      widths[code] = row ? row->Widths[m - 1] : UnknownGlyphWidth;
    }
  } else if (m == SymbolFont) {
    for (size_t code = 0; code < names.size(); ++code) {
      const TSymbolGlyph* row = FindGlyphRow(SymbolGlyphs(), names[code]);
      widths[code] = row ? row->Width : UnknownGlyphWidth;
    }
  }
}

TPDFCIDWidths LoadHeiseiWidths(int32_t defaultWidth) {
  // Runs of consecutive codes with one width become one range; made once, copied per font.
  static const TPDFCIDWidths runs = [] {
    TPDFCIDWidths all;
    const auto rows = HeiseiWidths();
    for (size_t first = 0, last = 0; first < rows.size(); first = ++last) {
      while (last + 1 < rows.size() && rows[last + 1].Code == rows[last].Code + 1 && rows[last + 1].Width == rows[first].Width)
        ++last;
      all.Add(rows[first].Code, rows[last].Code, rows[first].Width);
    }
    return all;
  }();
  TPDFCIDWidths widths = runs;
  widths.SetDefault(defaultWidth);
  return widths;
}
