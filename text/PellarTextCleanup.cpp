#include "text/PellarTextCleanup.h"

namespace {

// Copies the text onto itself, and whenever what was copied ends with `pattern`, drops
// `removed` characters starting at the match. The drop cannot make an earlier match, so
// the copy never holds the pattern and checking its tail after each character suffices.
// The copy never runs ahead of the reading, so it can share the text's storage.
void DropRepeatedly(std::u16string& text, std::u16string_view pattern, size_t removed) {
  const size_t n = pattern.size();
  size_t kept = 0;
  for (size_t read = 0; read < text.size(); ++read) {
    text[kept++] = text[read];
    if (kept >= n && std::u16string_view(text).substr(kept - n, n) == pattern) {
      const size_t at = kept - n;
      for (size_t i = at + removed; i < kept; ++i) text[i - removed] = text[i];
      kept -= removed;
    }
  }
  text.resize(kept);
}

}  // namespace

void CleanExtractedText(std::u16string& text) {
  DropRepeatedly(text, u"\r\n \r\n", 3);
  DropRepeatedly(text, u"\r\n\r\n\r\n", 4);
  for (char16_t& c : text)
    if (c == 0) c = u' ';
  const size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string::npos) {
    text.clear();
    return;
  }
  text.resize(text.find_last_not_of(u' ') + 1);
  text.erase(0, first);
}
