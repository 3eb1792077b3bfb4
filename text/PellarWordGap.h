#pragma once
// When a gap between two glyphs is the space between two words. Text set word by word at the
// font's own word spacing leaves a gap of one space, often a quarter em; kerning and glyphs
// placed one by one leave much less. Half the font's space parts the two.
#include <string>

constexpr double WordGapShare = 0.5;

// gap and spaceWidth in one unit; a space that is not a positive width measures nothing.
inline bool IsWordGap(double gap, double spaceWidth) {
  return spaceWidth > 0 && gap >= spaceWidth * WordGapShare;
}

// Blanks: spaces and no-break spaces, the latter often drawn in a font of its own.
constexpr const char16_t* BlankUnits = u" \u00A0";

inline bool IsBlankUnit(char16_t c) { return c == u' ' || c == u'\u00A0'; }

// Text that is only blanks.
inline bool IsBlankText(const std::u16string& text) {
  return !text.empty() && text.find_first_not_of(BlankUnits) == std::u16string::npos;
}
