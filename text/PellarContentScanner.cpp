#include "text/PellarContentScanner.h"

namespace {

bool IsContentBlank(unsigned char c) {
  // 0x0B is not white space in content streams.
  return c == 0x00 || c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

}  // namespace

size_t TPDFContentScanner::LiteralEnd(size_t start) const {
  int depth = 0;
  for (size_t i = start; i < Content.size(); ++i) {
    char c = Content[i];
    if (c == '\\') {
      ++i;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i + 1;
    }
  }
  return Content.size();
}

std::string_view TPDFContentScanner::Next() {
  const size_t length = Content.size();
  // A read position on the last byte counts as the end; only a run of blanks ending just
  // before it hands the last byte out on its own (below).
  if (Pos + 1 >= length) {
    Pos = length;
    return {};
  }
  while (Pos < length && IsContentBlank(static_cast<unsigned char>(Content[Pos]))) ++Pos;
  if (Pos + 1 == length) {
    ++Pos;
    return Content.substr(length - 1, 1);
  }
  if (Pos >= length) return {};
  const size_t start = Pos;
  const char first = Content[start];
  if (first == '(') {
    Pos = LiteralEnd(start);
  } else if (first == '<') {
    size_t close = Content.find('>', start + 1);
    Pos = close == std::string_view::npos ? length : close + 1;
  } else if (first == '[' || first == ']' || (first == '\'' && Rules.QuoteIsToken)) {
    Pos = start + 1;
  } else {
    size_t i = start + 1;
    for (; i < length; ++i) {
      unsigned char c = static_cast<unsigned char>(Content[i]);
      if (IsContentBlank(c) || c == '(' || c == '<' || c == '[' || c == ']' || (c == '/' && Rules.SlashEndsToken))
        break;
    }
    Pos = i;
    if (Rules.SkipFinalDelimiter && i + 1 == length) Pos = length;
    return Content.substr(start, i - start);
  }
  return Content.substr(start, Pos - start);
}
