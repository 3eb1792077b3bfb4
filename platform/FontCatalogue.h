#pragma once
// The installed fonts, as substitute widths for fonts a PDF does not embed need them.
// The system catalogue asks fontconfig; tests put a double in its place.
#include <string>
#include <vector>

namespace Platform {

class TFontCatalogue {
public:
  virtual ~TFontCatalogue() = default;
  // Family names of the installed fonts, sorted in ASCII byte order, without repeats.
  virtual std::vector<std::string> Families() = 0;
  // The complete data (a TrueType or OpenType file; for a collection, the face's own
  // font) of the face that best serves the family in the style; empty when none.
  virtual std::string FontData(const std::string& family, bool bold, bool italic) = 0;
};

// The catalogue in use: the system's unless a test set another.
TFontCatalogue& FontCatalogue();
// Puts a catalogue in place of the system's (nullptr: the system's again); answers the
// one it replaces, or nullptr when that was the system's.
TFontCatalogue* SetFontCatalogue(TFontCatalogue* catalogue);

}  // namespace Platform
