#pragma once
// Font records built directly, for tests and fuzz targets of text showing: a font
// collection selects a record whose Id is the object number of the font reference without
// loading anything.
#include <memory>

#include "fonts/PellarFontCollection.h"

// Printable ASCII with its own text, 500 units wide (the space 250); code 1 is the
// ligature "fi" (500), code 2 has no text (300). Ascent 700, descent -200.
inline std::unique_ptr<TPDFFontCollectionData> SimpleTestFont(int32_t id) {
  auto font = std::make_unique<TPDFFontCollectionData>();
  font->Id = id;
  font->FontName = "TestSans";
  for (int c = 32; c < 127; ++c) {
    font->UnicodeText.Change(static_cast<size_t>(c)) = std::u16string(1, static_cast<char16_t>(c));
    font->Widths[static_cast<size_t>(c)] = 500;
  }
  font->Widths[32] = 250;
  font->UnicodeText.Change(1) = u"fi";
  font->Widths[1] = 500;
  font->Widths[2] = 300;
  font->Ascent = 700;
  font->Descent = -200;
  return font;
}

// A Type 3 font with FontMatrix [0.001 0 0 0.001 0 0]: the simple font's texts, every
// glyph 250 glyph units wide, no ascent or descent.
inline std::unique_ptr<TPDFFontCollectionData> Type3TestFont(int32_t id) {
  auto font = SimpleTestFont(id);
  font->FontName = "TestType3";
  font->ProgramKind = TFontProgramKind::Type3;
  font->Widths.fill(250);
  font->Ascent = font->Descent = 0;
  return font;
}

// Two-byte codes; 0x0041 to 0x005A map to "A" to "Z" (600 wide), 0x0020 to a space and
// 0x0009 to a tab; every other code has no text and the default width 1000.
inline std::unique_ptr<TPDFFontCollectionData> CompositeTestFont(int32_t id) {
  auto font = std::make_unique<TPDFFontCollectionData>();
  font->Id = id;
  font->FontName = "TestCID";
  font->Composite = true;
  font->ToUnicodeRanges = {{0x41, 0x5A, {0x41}}, {0x20, 0x20, {0x20}}, {0x09, 0x09, {0x09}}};
  font->CIDWidths.SetDefault(1000);
  font->CIDWidths.Add(0x41, 0x5A, 600);
  font->Ascent = 800;
  font->Descent = -200;
  return font;
}
