#include "fonts/PellarFontSpace.h"

TPDFFontSpace FontSpace(const TPDFFontCollectionData& font) {
  TPDFFontSpace space;
  const TAnsiTexts& ansi = font.AnsiText;
  // A font without a space whose codes end below 255 lends code 255 to the spaces a reader
  // inserts into its text.
  const bool lends255 = font.LastChar < 255;
  bool found = ansi[space.Code] == " ";
  for (int c = 0; c < 256 && !found; ++c) {
    if (ansi[static_cast<size_t>(c)] == " " || (c == 255 && lends255)) {
      space.Code = static_cast<unsigned char>(c);
      found = true;
    }
  }
  const double width = font.Widths[space.Code];
  if (found && width != UnmeasuredWidth && width > 0) space.Width = width;
  return space;
}
