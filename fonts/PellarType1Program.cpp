// The built-in encoding of a Type 1 program, read from the PostScript of its clear-text part.
#include <algorithm>
#include <charconv>
#include <optional>

#include "fonts/PellarFontPrograms.h"

namespace {

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0'; }
bool IsDelimiter(char c) { return std::string_view("()<>[]{}/%").find(c) != std::string_view::npos; }

// PostScript tokens as views into the text. Strings, hexadecimal and ASCII85 strings come
// back whole, so that what they hold is never taken for code; comments are skipped.
class TPostScriptTokens {
public:
  explicit TPostScriptTokens(std::string_view text) : Text(text) {}

  // The next token; empty at the end.
  std::string_view Next() {
    while (Pos < Text.size()) {
      const char c = Text[Pos];
      if (IsWhite(c)) {
        ++Pos;
      } else if (c == '%') {
        while (Pos < Text.size() && Text[Pos] != '\r' && Text[Pos] != '\n') ++Pos;
      } else {
        break;
      }
    }
    if (Pos >= Text.size()) return {};
    const size_t start = Pos;
    const char c = Text[Pos++];
    if (c == '(') {
      SkipString();
    } else if (c == '<' && Pos < Text.size() && (Text[Pos] == '<' || Text[Pos] == '~')) {
      if (Text[Pos++] == '~') SkipPast("~>");
    } else if (c == '<') {
      SkipPast(">");
    } else if (c == '>' && Pos < Text.size() && Text[Pos] == '>') {
      ++Pos;
    } else if (c == '/') {
      if (Pos < Text.size() && Text[Pos] == '/') ++Pos;
      SkipRegular();
    } else if (!IsDelimiter(c)) {
      SkipRegular();
    }
    return Text.substr(start, Pos - start);
  }

private:
  void SkipRegular() {
    while (Pos < Text.size() && !IsWhite(Text[Pos]) && !IsDelimiter(Text[Pos])) ++Pos;
  }
  void SkipPast(std::string_view end) {
    const size_t found = Text.find(end, Pos);
    Pos = found == std::string_view::npos ? Text.size() : found + end.size();
  }
  // Past the ")" that closes a string whose "(" was just read; parentheses nest.
  void SkipString() {
    for (int depth = 1; Pos < Text.size() && depth > 0; ++Pos) {
      if (Text[Pos] == '\\') ++Pos;
      else if (Text[Pos] == '(') ++depth;
      else if (Text[Pos] == ')') --depth;
    }
    Pos = std::min(Pos, Text.size());
  }

  std::string_view Text;
  size_t Pos = 0;
};

// A token that is a whole decimal integer.
std::optional<int> IntegerToken(std::string_view token) {
  int value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size()) return std::nullopt;
  return value;
}

// The "dup code /name put" entries up to the "def" that ends the array's definition.
void ReadEncodingEntries(TPostScriptTokens& tokens, TGlyphNames& names) {
  std::string_view last[3];  // the three tokens before the current one, oldest first
  for (std::string_view token = tokens.Next(); !token.empty() && token != "def"; token = tokens.Next()) {
    if (token == "put" && last[0] == "dup" && last[2].size() >= 1 && last[2][0] == '/') {
      const std::optional<int> code = IntegerToken(last[1]);
      if (code && *code >= 0 && *code <= 255) names[static_cast<size_t>(*code)] = std::string(last[2].substr(1));
    }
    last[0] = last[1];
    last[1] = last[2];
    last[2] = token;
  }
}

}  // namespace

TGlyphNames Type1BuiltInEncoding(std::string_view program, int64_t length1, int64_t length2) {
  TGlyphNames names = StandardEncodingNames();
  if (length1 <= 0 || length2 <= 0) return names;
  // A /Length1 beyond the data (a damaged or hostile dictionary) takes what there is.
  TPostScriptTokens tokens(program.substr(0, static_cast<size_t>(std::min<int64_t>(length1, int64_t(program.size())))));
  for (std::string_view token = tokens.Next(); !token.empty(); token = tokens.Next()) {
    if (token != "/Encoding") continue;
    // "/Encoding StandardEncoding def" keeps the names; "/Encoding 256 array" starts the
    // entries; anything else (a name under FontInfo, say) is not the font's encoding.
    const std::string_view value = tokens.Next();
    if (value == "StandardEncoding") break;
    if (!IntegerToken(value)) continue;
    // A new array holds no glyph but at the codes the program puts one: code 32 of a font
    // that names only its letters is no space.
    names.fill(".notdef");
    ReadEncodingEntries(tokens, names);
    break;
  }
  return names;
}
