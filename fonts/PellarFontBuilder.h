#pragma once
// Builds a font record from a font dictionary's plain record with the built-in tables,
// the embedded font programs and, for fonts a PDF does not embed, an installed stand-in.
#include <memory>

#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontDictionary.h"

namespace Platform {
class TFontCatalogue;
}

struct TFontBuildOptions {
  bool FontPrograms = false;                     // parse embedded programs, use substitutes
  Platform::TFontCatalogue* Catalogue = nullptr; // installed fonts; nullptr: the platform's
};

// The record of the font; for a Type0 font the record of its descendant, marked composite
// (a Type0 font without exactly one descendant gets an empty composite record). Id is 0.
std::unique_ptr<TPDFFontCollectionData> BuildFontRecord(const TFontDictionary& font, const TFontBuildOptions& options);
