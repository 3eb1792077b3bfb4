#pragma once
// Splits content-stream bytes into tokens. The content-order extractor and the content
// interpreter cut tokens by slightly different rules; one scanner serves both through a
// small rules record. Tokens are views into the content, which must outlive them.
#include <cstddef>
#include <string_view>

struct TContentScanRules {
  bool SlashEndsToken;       // "/" ends a token ("/F1/F2" is two tokens)
  bool QuoteIsToken;         // "'" is a one-byte token
  bool SkipFinalDelimiter;   // a delimiter that is the content's last byte is passed over
};

// The extractor's rules. A slash ends a token here too: producers write "]TJ/F1 9 Tf"
// without a blank, and reading "TJ/F1" as one token would lose both the TJ and the font.
inline constexpr TContentScanRules ExtractorScanRules{true, false, false};
// The interpreter's rules.
inline constexpr TContentScanRules InterpreterScanRules{true, true, true};

class TPDFContentScanner {
public:
  TPDFContentScanner(std::string_view content, const TContentScanRules& rules) : Content(content), Rules(rules) {}

  // The next token; empty at the end. A string token keeps its brackets; an unterminated
  // string runs to the end of the content.
  std::string_view Next();

  // The position of the next byte to read, counted from 1 as the error texts give it.
  size_t Position() const { return Pos + 1; }
  // Zero-based offset of the next byte; the inline-image readers move it themselves.
  size_t Offset() const { return Pos; }
  void SetOffset(size_t offset) { Pos = offset < Content.size() ? offset : Content.size(); }
  std::string_view Data() const { return Content; }

private:
  size_t LiteralEnd(size_t start) const;

  std::string_view Content;
  TContentScanRules Rules;
  size_t Pos = 0;
};
