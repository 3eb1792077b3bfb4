#include "text/PellarTextCleanup.h"

#include "pdf/PellarConvert.h"

namespace {

bool EndsWith(const std::u16string& text, std::u16string_view tail) {
  return text.size() >= tail.size() && std::u16string_view(text).substr(text.size() - tail.size()) == tail;
}

// Copies the text through, and whenever what was copied ends with `pattern`, drops
// `removed` characters starting at the match. The drop cannot make an earlier match, so
// the copy never holds the pattern and checking its tail after each character suffices.
void DropRepeatedly(std::u16string& text, std::u16string_view pattern, size_t removed) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    out += c;
    if (c == pattern.back() && EndsWith(out, pattern)) {
      const size_t at = out.size() - pattern.size();
      out.erase(at, removed);
    }
  }
  text.swap(out);
}

}  // namespace

void CleanExtractedText(std::u16string& text) {
  DropRepeatedly(text, u"\r\n \r\n", 3);
  DropRepeatedly(text, u"\r\n\r\n\r\n", 4);
  for (char16_t& c : text)
    if (c == 0) c = u' ';
  text = TrimSpaces(text);
}
