#pragma once
// The space of a simple font: the code that shows " " and its width, which readers take as
// the measure of a word gap.
#include "fonts/PellarFontCollection.h"

struct TPDFFontSpace {
  unsigned char Code = 32;
  double Width = 280;  // glyph units
};

// A font that shows no space, or gives it no width (TeX fonts give code 32 width 0) or only the
// default width of codes it does not list, has a space of 280 glyph units: every small kern
// would otherwise count as a word gap, or none would.
TPDFFontSpace FontSpace(const TPDFFontCollectionData& font);

// A width of exactly this value is a font's default width, not a measured space.
constexpr double UnmeasuredWidth = 750;
