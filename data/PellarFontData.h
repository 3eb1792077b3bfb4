#pragma once
// The generated font tables (tools/gen_glyph_tables.py, tools/gen_japan_cmaps.py,
// tools/gen_cjk_cmaps.py). Rows of the glyph tables are sorted by the bytes of the glyph
// name, so names are found by binary search.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>

// The Latin character set.
struct TLatinGlyph {
  const char* Name;
  uint16_t Unicode;
  int16_t Codes[4];     // StandardEncoding, MacRoman, WinAnsi, PDFDoc; -1 where absent
  uint16_t Widths[12];  // Courier, -Bold, -BoldOblique, -Oblique, Helvetica (same four),
                        // Times-Roman, -Bold, -Italic, -BoldItalic
};
// The standard Symbol font's glyphs: its built-in code, Unicode value and width.
struct TSymbolGlyph {
  const char* Name;
  uint8_t Code;
  uint16_t Unicode;
  uint16_t Width;
};
// MacExpertEncoding.
struct TExpertGlyph {
  const char* Name;
  uint8_t Code;
};
// The Adobe Glyph List with the Zapf Dingbats names: the UTF-16 text of each name.
struct TGlyphListEntry {
  const char* Name;
  const char16_t* Text;
};
struct TDingbatCode {
  uint8_t Code;
  const char* Name;
};
// HeiseiKakuGo-W5 widths, ascending by code.
struct THeiseiWidth {
  uint16_t Code;
  uint16_t Width;
};

std::span<const TLatinGlyph> LatinGlyphs();
std::span<const TSymbolGlyph> SymbolGlyphs();
std::span<const TExpertGlyph> ExpertGlyphs();
std::span<const TGlyphListEntry> GlyphList();
std::span<const THeiseiWidth> HeiseiWidths();
// The built-in encoding of ZapfDingbats, ascending by code.
std::span<const TDingbatCode> DingbatCodes();

// The predefined Japanese maps, zlib-compressed in the section format of TPellarCMap:
// Adobe-Japan1 CID to Unicode (kind 2, values of 1 to 8 big-endian UTF-16 units), and the
// code-to-CID maps of 90msp-RKSJ-H and 90ms-RKSJ-H (kinds 1 and 2, 2-byte values).
enum class TJapanCMap { CIDToUnicode, MspRKSJ, MsRKSJ };
std::string_view JapanCMapData(TJapanCMap map);

// The predefined Chinese and Korean maps, zlib-compressed per character collection: the CID
// to Unicode map in the section format of TPellarCMap (text), and the code-to-CID maps in
// the form TPellarCJKMaps reads (not text). Names lists each map with its collection and
// its index among the collection's maps, sorted by name.
enum class TCJKCollection : uint8_t { GB1, CNS1, Korea1 };
struct TCJKCMapName {
  const char* Name;
  uint8_t Collection;  // a TCJKCollection
  uint8_t Map;
};
std::span<const TCJKCMapName> CJKCMapNames();
std::string_view CJKCMapData(TCJKCollection collection, bool text);

// The row of a table sorted by name whose name is exactly `name` (byte comparison), or null.
// Font loading looks up every code of every font: the table each row type comes from is
// indexed by a hash of its names on first use; another span of rows is searched by halves.
template <class Row>
const Row* FindGlyphRow(std::span<const Row> rows, std::string_view name) {
  static const std::span<const Row> indexed = rows;
  static const std::unordered_map<std::string_view, const Row*> index = [] {
    std::unordered_map<std::string_view, const Row*> byName;
    byName.reserve(indexed.size());
    for (const Row& row : indexed) byName.emplace(row.Name, &row);
    return byName;
  }();
  if (rows.data() == indexed.data() && rows.size() == indexed.size()) {
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
  }
  std::size_t low = 0, high = rows.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (std::string_view(rows[middle].Name) < name) low = middle + 1;
    else high = middle;
  }
  return low < rows.size() && rows[low].Name == name ? &rows[low] : nullptr;
}
