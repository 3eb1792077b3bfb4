#include "text/PellarContentScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Tokens(std::string_view content, const TContentScanRules& rules) {
  TPDFContentScanner scanner(content, rules);
  std::string out;
  for (std::string_view t = scanner.Next(); !t.empty(); t = scanner.Next()) out += "|" + std::string(t);
  return out;
}

}  // namespace

TEST(PellarContentScanner, BothRuleSetsOnTheSameBytes) {
  struct Case {
    const char* Content;
    const char* Extractor;
    const char* Interpreter;
  };
  const Case cases[] = {
      {" BT /F1 12 Tf ET", "|BT|/F1|12|Tf|ET", "|BT|/F1|12|Tf|ET"},
      {" /F1/F2 Tf", "|/F1|/F2|Tf", "|/F1|/F2|Tf"},
      {" ]TJ/F1 9 Tf", "|]|TJ|/F1|9|Tf", "|]|TJ|/F1|9|Tf"},
      {" (a(b)\\)c)Tj x", "|(a(b)\\)c)|Tj|x", "|(a(b)\\)c)|Tj|x"},
      {" <414>Tj [(A) -5]TJ", "|<414>|Tj|[|(A)|-5|]|TJ", "|<414>|Tj|[|(A)|-5|]|TJ"},
      {" <<x>> y", "|<<x>|>|y", "|<<x>|>|y"},
      {" (A)' q", "|(A)|'|q", "|(A)|'|q"},
      {" T*'a (b)'x ", "|T*'a|(b)|'x", "|T*'a|(b)|'|x"},
      // 0x0B is no blank; a final single byte after blanks is a token of its own.
      {" a\x0b" "b Q", "|a\x0b" "b|Q", "|a\x0b" "b|Q"},
      // A read position on the last byte ends the scan.
      {" (x)Q", "|(x)", "|(x)"},
      // An unterminated string runs to the end.
      {" (abc", "|(abc", "|(abc"},
      {" <41", "|<41", "|<41"},
      // The interpreter passes over a delimiter that is the last byte.
      {" Qq(", "|Qq", "|Qq"},
      {"", "", ""},
      {" ", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tokens(c.Content, ExtractorScanRules), c.Extractor) << c.Content;
    EXPECT_EQ(Tokens(c.Content, InterpreterScanRules), c.Interpreter) << c.Content;
  }
}
