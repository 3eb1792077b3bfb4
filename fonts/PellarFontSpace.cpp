#include "fonts/PellarFontSpace.h"

#include <algorithm>

namespace {

// A composite font's default width is often an em (the standard's default), which is no
// word space; a measured space is narrower.
constexpr double WidestCompositeSpace = 1000;

TPDFFontSpace SimpleFontSpace(const TPDFFontCollectionData& font) {
  TPDFFontSpace space;
  const TSharedAnsiTexts& ansi = font.AnsiText;
  // A font without a space whose codes end below 255 lends code 255 to the spaces a reader
  // inserts into its text.
  const bool lends255 = font.LastChar < 255;
  auto measured = [&](size_t c) { return font.Widths[c] != UnmeasuredWidth && font.Widths[c] > 0; };
  // Code 32 that a Type 1 program's encoding array leaves unset (.notdef, no text) still stands
  // for the space, as when such codes kept their standard names: its /Widths entry is the
  // width TeX's writers give the gap between words.
  bool found = ansi[space.Code] == " " || (font.ProgramKind == TFontProgramKind::Type1 && ansi[space.Code].empty() &&
                                           font.GlyphNames[space.Code] == ".notdef");
  for (int c = 0; c < 256 && !found; ++c) {
    if (ansi[static_cast<size_t>(c)] == " " || (c == 255 && lends255)) {
      space.Code = static_cast<unsigned char>(c);
      found = true;
    }
  }
  if (found && measured(space.Code)) space.Width = font.Widths[space.Code];
  return space;
}

// The code of a composite font whose text is U+0020, or -1: the first mapping of the
// ToUnicode map that gives it (and answers for that code), else code 32 of a predefined
// encoding that reads it as a space.
int32_t CompositeSpaceCode(const TPDFFontCollectionData& font) {
  const TPDFCMap& ranges = font.ToUnicodeRanges;
  for (size_t i = 0; i < ranges.size(); ++i) {
    const TPDFCMapEntry& entry = ranges[i];
    if (entry.Codes.size() != 1) continue;
    // The text of code c is the unit moved on by c - Low, modulo 2^16.
    const int64_t code = int64_t(entry.Low) + ((0x20 - int64_t(entry.Codes[0])) & 0xFFFF);
    if (code <= entry.High && font.ToUnicodeIndex.Find(ranges, static_cast<int32_t>(code)) == int32_t(i))
      return static_cast<int32_t>(code);
  }
  if (ranges.empty()) {
    const auto& characters = font.CodeCharacters;
    const auto found = std::find(characters.begin(), characters.end(), U' ');
    if (found != characters.end()) return static_cast<int32_t>(found - characters.begin());
  }
  if (ranges.empty() && !font.CIDSystemInfo.empty() &&
      PredefinedUnicode(font.EncodingName, font.CIDSystemInfo, 0x20) == u" ")
    return 0x20;
  return -1;
}

TPDFFontSpace CompositeFontSpace(const TPDFFontCollectionData& font) {
  TPDFFontSpace space;
  const int32_t code = CompositeSpaceCode(font);
  if (code < 0) return space;
  const int32_t cid = PredefinedCID(font.EncodingName, code);
  const std::optional<int32_t> width = font.CIDWidths.Width(static_cast<uint32_t>(cid >= 0 ? cid : code));
  if (width && *width > 0 && *width < WidestCompositeSpace) space.Width = *width;
  return space;
}

}  // namespace

TPDFFontSpace FontSpace(const TPDFFontCollectionData& font) {
  if (!font.Space) font.Space = font.Composite ? CompositeFontSpace(font) : SimpleFontSpace(font);
  return *font.Space;
}
