#pragma once
// The content-order extractor: one pass over a page's content tokens with a short token
// history, an approximate text position and no graphics state. Shown strings become text
// through the current font; spaces and line breaks come from position jumps measured
// against the font size and the width of the font's space. Mode 0 gives plain text,
// mode 2 one listing line per shown string (position, colour, size, base font, text).
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

class TPDFDictionary;
class TPDFFontCollection;

class TPDFExtractor {
public:
  static constexpr int PlainMode = 0;
  static constexpr int ListingMode = 2;

  // Neither the resources nor the fonts are owned; both must outlive the extractor.
  TPDFExtractor(TPDFDictionary* resources, TPDFFontCollection& fonts) : Resources(resources), Fonts(fonts) {}

  // Replaces text with the text of the content and then, when a page is given, of its
  // viewed annotations, each from a new line; any mode but 0 and 2 gives an empty text.
  // The scan always keeps what it gathered: a page whose text outgrows its bound ends
  // there.
  void ExtractText(std::string_view content, int mode, std::u16string& text, TPDFDictionary* page = nullptr);

  // The document asks viewers to make field appearances: a text or choice field without
  // one that shows text reads as its value.
  bool NeedAppearances = false;

  // The fill colour of the last shown text, "#RRGGBB"; black at the start of each run.
  std::string FillColourText = "#000000";

private:
  class TRun;  // the scan state of one ExtractText call

  // The /BaseFont of a font resource, as the listing names it; empty when there is none.
  const std::string& BaseFont(TPDFDictionary* resources, const std::string& name);

  TPDFDictionary* Resources;
  TPDFFontCollection& Fonts;
  // By resource dictionary and font name: forms may give a name another font.
  std::map<std::pair<const TPDFDictionary*, std::string>, std::string> BaseFontCache;
};
