#pragma once
// Embedded font programs, read only as far as text needs them: the built-in encoding of
// Type 1 and compact (CFF) programs, the kind of a /FontFile2, and the glyph names and
// advances of TrueType data, which give substitute fonts their widths.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fonts/PellarGlyphTables.h"
#include "platform/FontCatalogue.h"

enum class TFontProgramKind { None, Type1, Compact, TrueType, Type3 };

// The StandardEncoding names by code (".notdef" where it has none), read from the CFF
// standard encoding through the CFF standard strings.
const TGlyphNames& StandardEncodingNames();

// The clear-text part of a Type 1 program (its first length1 bytes) read for /Encoding: an
// array's "dup code /name put" entries, ".notdef" at the codes it leaves unset; the
// StandardEncoding names for "/Encoding StandardEncoding", for a program without an
// encoding array, and when length1 or length2 is not positive.
TGlyphNames Type1BuiltInEncoding(std::string_view program, int64_t length1, int64_t length2);

struct TCompactProgram {
  bool CIDKeyed = false;
  TGlyphNames Encoding;    // built-in encoding by code
  double WidthScale = 1;   // 1000 x FontMatrix[0] of the Top DICT, 1 when absent or 0
};
// A bare CFF program or an OpenType one ("OTTO", through its "CFF " table). What cannot be
// read leaves the names reached so far.
TCompactProgram ParseCompactProgram(std::string_view data);
// True when the data's table directory has a "CFF " table.
bool IsCompactProgram(std::string_view data);

// Glyph names ('post') and advances ('hmtx', scaled to 1000 units per em) of TrueType data.
class TTrueTypeProgram {
public:
  explicit TTrueTypeProgram(std::string_view data);
  // The advance of the last glyph with that 'post' name; nothing when no glyph has it.
  std::optional<int32_t> GlyphAdvance(const std::string& glyphName) const;

private:
  std::unordered_map<std::string, uint32_t> LastGlyph;  // the last glyph of each 'post' name
  std::vector<int32_t> Advances;                         // by glyph index, already scaled; empty: 750 for all
};

// The character of each glyph index of TrueType data, from its Unicode 'cmap' subtables
// ((3,10), (0,4), (0,6), (3,1), (0,x); formats 4 and 12) read backwards: the best subtable that
// names a glyph gives its lowest character; 0 where none does. Empty without such a subtable;
// otherwise as long as the last glyph named.
std::vector<char32_t> TrueTypeGlyphCharacters(std::string_view font);

// The installed face that stands in for a font a PDF does not embed.
struct TSubstituteFace {
  std::string Family;
  bool Bold = false;
  bool Italic = false;
};
// From the font's name and its descriptor flags, choosing among the installed families.
TSubstituteFace SubstituteFont(const std::string& fontName, int32_t flags, const std::vector<std::string>& families);

// Substitute data larger than this is not read as it is: "Arial" stands in for it.
inline constexpr size_t MaxSubstituteSize = 104857600;
// The TrueType program of the installed face that stands in for an unembedded font, read
// through the catalogue; nothing when no face is found, the face holds a compact program
// (which gives no widths), or even "Arial" is larger than maxSize.
std::unique_ptr<TTrueTypeProgram> SubstituteProgram(const std::string& fontName, int32_t flags,
                                                    Platform::TFontCatalogue& catalogue,
                                                    size_t maxSize = MaxSubstituteSize);
