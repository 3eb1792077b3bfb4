#pragma once
// Builds the entry the driver writes for one page: header, page text, footer.
#include <string>

#include "app/CommandOptions.h"

class TPellar;

// LF CR joins the header and the footer to the page text.
inline constexpr char16_t PageSeparator[] = u"\n\r";

class TPageAssembler {
public:
  TPageAssembler(const CommandOptions& options, TPellar& engine) : Options(options), Engine(engine) {}

  std::u16string PageEntry(int32_t page) const;
  // &p, &a, &f, &n, &d in that order, each step on the previous result, letter case ignored.
  std::u16string ExpandPageVariables(const std::u16string& text, int32_t page) const;
  std::u16string TextByOutputType() const;

private:
  const CommandOptions& Options;
  TPellar& Engine;
};

// Turns the funnel's CSV lines into "@X=..,Y=..@text@ENDTEXT@" lines.
std::u16string PositionTextFromCsv(const std::u16string& csv);
// Reads a decimal number as the CSV fields hold it; raises an error when it cannot.
double ReadDecimalField(const std::u16string& text);
