#pragma once
// The fonts of one page-text request: each font dictionary a content stream selects is
// loaded once into a record that gives, per character code, its text and its width.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "fonts/PellarCIDWidths.h"
#include "fonts/PellarCMap.h"
#include "fonts/PellarCMapIndex.h"
#include "fonts/PellarFontPrograms.h"
#include "fonts/PellarGlyphTables.h"

class TPDFObject;
class TPDFIndRef;
class TPDFDictionary;
class TPDFFontCache;

// The vertical advance of a CID that neither /W2 nor /DW2 gives: one em down.
constexpr int32_t DefaultVerticalAdvance = -1000;

// The space of a font: the code that shows " " and its width, which readers take as the
// measure of a word gap (see FontSpace).
struct TPDFFontSpace {
  unsigned char Code = 32;
  double Width = 280;  // glyph units; the default is thousandths of an em
};

// One loaded font. For a Type0 font it is the record of its descendant, marked composite.
struct TPDFFontCollectionData {
  int32_t Id = 0;              // object number the font was selected by; 0 for a direct one
  TCodeWidths Widths{};        // glyph units (1000 per em but for Type 3), as given
  TSharedAnsiTexts AnsiText;   // Windows-1252 text per code, for the content-order reader
  std::string FontName = "Arial";
  // What text showing needs of the font program: its kind, the CFF width divisor and a
  // Type 3 font's FontMatrix.
  TFontProgramKind ProgramKind = TFontProgramKind::None;
  double WidthScale = 1;
  std::array<double, 6> FontMatrix{0.001, 0, 0, 0.001, 0, 0};
  TSharedNames GlyphNames;
  bool Composite = false;
  TPDFCIDWidths CIDWidths;
  double Ascent = 0;
  double Descent = 0;
  TSharedUnicodeTexts UnicodeText;  // per code of a simple font
  TPDFCMap ToUnicodeRanges;   // in the order of the map
  TPDFCMapIndex ToUnicodeIndex;  // the first range of each code, built on first use
  int32_t FirstChar = 0;
  int32_t LastChar = 0;
  std::string CIDToGIDMap;
  bool OneByteCodes = false;
  std::string EncodingName;   // a Type0 font's /Encoding name
  std::string CIDSystemInfo;  // Registry-Ordering-Supplement of a CIDFont
  // A composite font whose encoding writes vertically: glyphs advance down by their
  // vertical advances (glyph units, negative downwards; /DW2 or -1000 by default).
  bool Vertical = false;
  TPDFCIDWidths VerticalAdvances;
  // The character of each code of an Identity TrueType composite font without a ToUnicode
  // map, from its program's 'cmap' (0: none); empty for other fonts.
  std::vector<char32_t> CodeCharacters;
  // The font's space, found on first use: a composite font's search runs over its map.
  mutable std::optional<TPDFFontSpace> Space;
};

class TPDFFontCollection {
public:
  // With a cache, fonts selected by reference are taken from it when an earlier collection
  // of the same document loaded them, and the fonts this one loads are added to it.
  explicit TPDFFontCollection(TPDFFontCache* cache = nullptr) : Cache(cache) {}
  TPDFFontCollection(const TPDFFontCollection&) = delete;
  TPDFFontCollection& operator=(const TPDFFontCollection&) = delete;

  // Parse embedded programs and look for substitute fonts; the page tree sets it.
  bool LoadFontPrograms = false;

  // Makes the font of the reference current, loading it on first use; no reference
  // leaves the current font as it is.
  void SelectFont(TPDFIndRef* font);
  // Makes the record with that Id current; an unknown Id leaves the current font.
  void SelectFontById(int32_t id);
  // Loads a font given as a direct dictionary and makes it current; the same dictionary
  // again selects the record it gave.
  void LoadDirectFont(TPDFDictionary* font);

  const TPDFFontCollectionData* Current() const { return CurrentRecord; }
  // The character codes of string bytes in the current font; none without a font.
  TPellarCodeList SplitCodes(std::string_view bytes) const;
  // The text of one code of the current font.
  std::u16string CodeToUnicode(int32_t code) const;
  // The width of a composite font's code, looked up by its CID; nothing when neither the
  // CID nor a default has one.
  std::optional<int32_t> CompositeWidth(int32_t code) const;
  // The same, with the standard's default width of an em (1000) where there is none.
  double CompositeAdvance(int32_t code) const { return CompositeWidth(code).value_or(1000); }
  // The vertical advance of a code of a vertical font (glyph units, negative downwards).
  double CompositeVerticalAdvance(int32_t code) const;

  // Appends a record (font loading does; tests build records directly) and indexes it.
  TPDFFontCollectionData& AddRecord(std::unique_ptr<TPDFFontCollectionData> record);
  int RecordCount() const { return static_cast<int>(Fonts.size()); }
  const TPDFFontCollectionData& Record(int i) const { return *Fonts.at(static_cast<size_t>(i)); }

  // Reads the font object into a new record (for a Type0 font, its descendant's record
  // marked composite); its Id is the object number when the font is a reference, else 0.
  void LoadFont(TPDFObject* font);

private:
  // Index of the first record with the Id, or -1.
  int FindRecord(int32_t id) const;
  void Index(int32_t id, int32_t position);
  void Unindex(int32_t id, int32_t position);
  void Append(std::shared_ptr<TPDFFontCollectionData> record);

  // Shared with the cache: records taken from it or given to it never change.
  std::vector<std::shared_ptr<TPDFFontCollectionData>> Fonts;
  TPDFFontCache* Cache;
  // (Id, position) pairs, sorted; the lowest position first among equal Ids.
  std::vector<std::pair<int32_t, int32_t>> FontIndex;
  TPDFFontCollectionData* CurrentRecord = nullptr;
  std::unordered_map<const TPDFDictionary*, size_t> DirectFonts;  // record positions
};
