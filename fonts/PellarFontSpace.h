#pragma once
// The space of a font: the code that shows " " and its width, which readers take as the
// measure of a word gap.
#include "fonts/PellarFontCollection.h"

// A simple font's space is the code whose text is a space (32 first); a composite font's is the
// code whose text is U+0020, measured by its CID width. A font that shows no space, or gives it
// no width (TeX fonts give code 32 width 0), only the default width of codes it does not list,
// or an em or more (a composite font's default), has a space of 280 thousandths of an em:
// every small kern would otherwise count as a word gap, or none would. A measured width is in
// glyph units; the default is in thousandths of an em, which text showing converts to a
// Type 3 font's own glyph units.
TPDFFontSpace FontSpace(const TPDFFontCollectionData& font);

// A width of exactly this value is a font's default width, not a measured space.
constexpr double UnmeasuredWidth = 750;
