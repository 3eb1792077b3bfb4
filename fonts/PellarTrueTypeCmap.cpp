// The characters of a TrueType program's glyphs, read backwards from its Unicode 'cmap'
// subtables: composite fonts that show glyph indexes without a ToUnicode map read through it.
#include <algorithm>
#include <array>
#include <unordered_set>

#include "fonts/PellarFontPrograms.h"
#include "platform/FontBytes.h"

using Platform::FindSfntTable;
using Platform::TFontReader;

namespace {

constexpr size_t GlyphCount = 0x10000;  // glyph indexes are 16-bit
constexpr char32_t LastCharacter = 0x10FFFF;
// Characters the subtables of a font may name in all: an embedded subset names a few thousand,
// a whole CJK font some tens of thousands, while overlapping hostile ranges could name
// billions. Glyphs past the limit keep no character.
constexpr size_t MaxMappings = 1 << 17;

// The Unicode subtables, best first: full repertoire before the BMP, Windows before Unicode.
constexpr std::array<std::pair<uint16_t, uint16_t>, 7> Preferred{
    {{3, 10}, {0, 4}, {0, 6}, {3, 1}, {0, 3}, {0, 2}, {0, 1}}};

// Character by glyph of one subtable: the lowest character that names each glyph.
class TSubtableReader {
public:
  TSubtableReader(std::vector<char32_t>& glyphs, size_t& budget) : Glyphs(glyphs), Budget(budget) {}

  void Read(std::string_view table) {
    TFontReader in(table);
    const uint16_t format = in.U16();
    if (format == 4) ReadSegments(in);
    else if (format == 12) ReadGroups(in);
  }

private:
  // Format 4: segments of 16-bit characters, each by a delta or through the glyph array.
  void ReadSegments(TFontReader& in) {
    in.Skip(4);  // length, language
    const size_t segments = in.U16() / 2;
    in.Skip(6);
    const size_t ends = in.Pos(), starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                 offsets = deltas + 2 * segments;
    const std::string_view data = in.Whole();
    if (!in.Ok() || offsets + 2 * segments > data.size()) return;
    for (size_t s = 0; s < segments; ++s) {
      const uint32_t end = TFontReader(data, ends + 2 * s).U16(), start = TFontReader(data, starts + 2 * s).U16();
      const uint16_t delta = TFontReader(data, deltas + 2 * s).U16();
      const size_t offsetAt = offsets + 2 * s;
      const uint16_t rangeOffset = TFontReader(data, offsetAt).U16();
      for (uint32_t c = start; c <= end && Budget > 0; ++c) {
        uint32_t glyph = 0;
        if (rangeOffset == 0) {
          glyph = (c + delta) & 0xFFFF;
        } else {
          // The glyph array entry rangeOffset bytes past this offset's own place.
          TFontReader entry(data, offsetAt + rangeOffset + 2 * (c - start));
          glyph = entry.U16();
          if (!entry.Ok()) break;
          if (glyph != 0) glyph = (glyph + delta) & 0xFFFF;
        }
        Name(glyph, c);
      }
    }
  }

  // Format 12: groups of characters on consecutive glyphs. Only the characters whose glyph
  // index fits 16 bits are walked.
  void ReadGroups(TFontReader& in) {
    in.Skip(10);  // reserved, length, language
    const uint32_t groups = in.U32();
    for (uint32_t g = 0; g < groups && in.Ok() && Budget > 0; ++g) {
      const uint32_t start = in.U32(), end = std::min<uint32_t>(in.U32(), LastCharacter), glyph = in.U32();
      if (!in.Ok() || end < start || glyph >= GlyphCount) continue;
      const uint32_t count = std::min<uint32_t>(end - start, uint32_t(GlyphCount - 1 - glyph)) + 1;
      for (uint32_t i = 0; i < count && Budget > 0; ++i) Name(glyph + i, start + i);
    }
  }

  void Name(uint32_t glyph, char32_t c) {
    --Budget;
    if (glyph == 0 || glyph >= GlyphCount || c == 0) return;
    // Sized by the highest glyph named, so that a small font costs little.
    if (glyph >= Glyphs.size()) Glyphs.resize(glyph + 1, 0);
    char32_t& known = Glyphs[glyph];
    if (known == 0 || c < known) known = c;
  }

  std::vector<char32_t>& Glyphs;
  size_t& Budget;
};

}  // namespace

std::vector<char32_t> TrueTypeGlyphCharacters(std::string_view font) {
  const std::optional<std::string_view> cmap = FindSfntTable(font, "cmap");
  if (!cmap) return {};
  TFontReader in(*cmap);
  in.Skip(2);
  const size_t tables = in.U16();
  std::vector<std::pair<size_t, uint32_t>> found;  // (preference, offset)
  for (size_t t = 0; t < tables && in.Ok(); ++t) {
    const uint16_t platform = in.U16(), encoding = in.U16();
    const uint32_t offset = in.U32();
    const auto rank = std::find(Preferred.begin(), Preferred.end(), std::make_pair(platform, encoding));
    if (in.Ok() && rank != Preferred.end() && offset < cmap->size())
      found.emplace_back(size_t(rank - Preferred.begin()), offset);
  }
  std::stable_sort(found.begin(), found.end());
  std::vector<char32_t> result;
  size_t budget = MaxMappings;
  std::unordered_set<uint32_t> read;
  for (const auto& [rank, offset] : found) {
    // Fonts often list one subtable under two platforms ((0,3) and (3,1)): read it once.
    if (!read.insert(offset).second) continue;
    std::vector<char32_t> glyphs;
    TSubtableReader(glyphs, budget).Read(cmap->substr(offset));
    if (glyphs.size() > result.size()) result.resize(glyphs.size(), 0);
    // A better subtable's answers stand; a later one only fills glyphs it left unnamed.
    for (size_t g = 0; g < glyphs.size(); ++g)
      if (result[g] == 0) result[g] = glyphs[g];
  }
  return result;
}
