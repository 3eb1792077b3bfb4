#pragma once
// The built-in glyph tables: standard encodings as glyph names, glyph names to text,
// the standard fonts' widths and names. Font loading reads no external file for these.
#include <array>
#include <cstdint>
#include <string>

#include "fonts/PellarCIDWidths.h"
#include "fonts/PellarSharedTable.h"

// Base encodings by the number font loading uses for them.
enum class TBaseEncoding { Standard = 0, MacRoman = 1, WinAnsi = 2, PDFDoc = 3, MacExpert = 4, Symbol = 5 };

using TGlyphNames = std::array<std::string, 256>;
using TAnsiTexts = std::array<std::string, 256>;
using TUnicodeTexts = std::array<std::u16string, 256>;
using TCodeWidths = std::array<double, 256>;
using TSharedNames = TSharedTable<std::string>;
using TSharedAnsiTexts = TSharedTable<std::string>;
using TSharedUnicodeTexts = TSharedTable<std::u16string>;

// The 14 standard fonts, numbered 1 to 14 (0: none).
struct TStandardFont {
  const char* Patterns;    // names that select the font, each followed by "*"
  const char* Substitute;  // installed-font name used in its place
  int16_t BBox[4];
  int16_t Ascent;
  int16_t Descent;
};
constexpr int StandardFontCount = 14;
constexpr int SymbolFont = 13;
constexpr int DingbatsFont = 14;
// m from 1 to 14.
const TStandardFont& StandardFont(int m);

// names[c] := the glyph name the encoding gives code c.
void FillEncodingNames(TBaseEncoding encoding, TGlyphNames& names);
// "U+XXXX" names of the standard Symbol font's codes; empty for unused codes.
void SymbolUnicodeNames(TGlyphNames& names);
// The names of the standard ZapfDingbats font's built-in encoding; empty for unused codes.
void DingbatEncodingNames(TGlyphNames& names);
// The Windows-1252 text of each name ("" where there is none).
TAnsiTexts GlyphNamesToAnsi(const TGlyphNames& names);
// The Unicode text of each name ("" where there is none). The ITC Zapf Dingbats names ("a1" to
// "a191") are read only for a dingbat font: other fonts, Type 3 bitmap fonts above all, name
// their glyphs "a" and the code, and those names are no dingbats.
TUnicodeTexts GlyphNamesToUnicode(const TGlyphNames& names, bool dingbatFont = false);
// The text of one glyph name, by the same rules as GlyphNamesToUnicode.
std::u16string GlyphNameToUnicode(const std::string& name, bool dingbatFont = false);
// The Latin ligature characters (U+FB00 to U+FB06) written as their letters: a reader searches
// for "figure", not for the ligature the typesetter chose.
std::u16string ExpandLigatures(std::u16string text);
// A font whose name says it is a Zapf Dingbats face (or its URW clone, D050000L).
bool IsDingbatFontName(const std::string& fontName);
// widths[c] := the width standard font m gives names[c]; 750 for unknown names.
void StandardFontWidths(int m, const TGlyphNames& names, TCodeWidths& widths);
// The standard font whose pattern holds name + "*" (the last one that does), or 0.
int FindStandardFont(const std::string& name);
// The widths of HeiseiKakuGo-W5 (by code), with defaultWidth for the other codes.
TPDFCIDWidths LoadHeiseiWidths(int32_t defaultWidth);
