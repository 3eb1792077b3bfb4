// The ToUnicode CMap parser: the first codespace range, then bfrange and bfchar sections.
// Hex strings are found by their brackets, so text between them is ignored. The parser
// keeps one position and remembers where each searched-for text was last found, so a
// large or broken map costs one pass.
#include "fonts/PellarCMap.h"

#include <string>

namespace {

constexpr size_t npos = std::string_view::npos;

// The first occurrence of a text at or after a position that only moves forward.
class TFinder {
public:
  TFinder(std::string_view text, std::string_view pattern) : Text(text), Pattern(pattern) {}

  size_t Find(size_t from) {
    if (!Searched || from < From || (Found != npos && Found < from)) {
      Found = Text.find(Pattern, from);
      Searched = true;
    }
    From = from;
    return Found;
  }

private:
  std::string_view Text;
  std::string_view Pattern;
  size_t Found = npos;
  size_t From = 0;
  bool Searched = false;
};

enum class TTokenKind { Value, Invalid, Array, ArrayEnd, End };

struct TToken {
  TTokenKind Kind = TTokenKind::End;
  std::string Digits;  // the hex digits of a Value, blanks removed
};

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == '\0'; }

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// Hex digits to a value; nothing for more than 8 digits, none, or the top bit set.
int32_t HexValue(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return -1;
  uint32_t value = 0;
  for (char ch : digits) value = value << 4 | uint32_t(HexDigit(ch));
  return value > 0x7FFFFFFF ? -1 : static_cast<int32_t>(value);
}

// Destination units of hex digits: up to 4 digits make one unit, longer strings one unit per whole
// group of 4 (leftover digits are dropped).
std::vector<int32_t> HexUnits(std::string_view digits) {
  if (digits.size() <= 4) return {HexValue(digits)};
  std::vector<int32_t> units;
  for (size_t i = 0; i + 4 <= digits.size(); i += 4) units.push_back(HexValue(digits.substr(i, 4)));
  return units;
}

// Hex strings, arrays and array ends between two positions of the map text.
class TScanner {
public:
  explicit TScanner(std::string_view text)
      : Text(text), Open(text, "<"), Close(text, ">"), ArrayOpen(text, "["), ArrayClose(text, "]") {}

  void SetSection(size_t begin, size_t end) {
    Pos = begin;
    End = end;
  }

  // The next hex string or array start; inside an array also its end ("]").
  TToken Next(bool inArray) {
    if (Pos >= End) return {};
    const size_t open = Within(Open.Find(Pos));
    const size_t arrayOpen = Within(ArrayOpen.Find(Pos));
    if (inArray) {
      const size_t arrayClose = Within(ArrayClose.Find(Pos));
      if (arrayClose != npos && (open == npos || arrayClose < open) && arrayClose < arrayOpen) {
        Pos = arrayClose + 1;
        return {TTokenKind::ArrayEnd, {}};
      }
    }
    if (arrayOpen != npos && (open == npos || arrayOpen < open)) {
      Pos = arrayOpen + 1;
      return {TTokenKind::Array, {}};
    }
    const size_t close = Within(Close.Find(Pos));
    if (open == npos || close == npos || close < open) {
      Pos = End;
      return {};
    }
    TToken token{TTokenKind::Value, {}};
    for (size_t i = open + 1; i < close; ++i) {
      if (IsBlank(Text[i])) continue;
      if (HexDigit(Text[i]) < 0) token.Kind = TTokenKind::Invalid;
      token.Digits.push_back(Text[i]);
    }
    if (token.Digits.empty()) token.Kind = TTokenKind::Invalid;
    Pos = close + 1;
    return token;
  }

  // A source code: its value, or -1 for anything else.
  int32_t NextHex(size_t* digitCount = nullptr) {
    const TToken token = Next(false);
    if (digitCount) *digitCount = token.Digits.size();
    return token.Kind == TTokenKind::Value ? HexValue(token.Digits) : -1;
  }

  // Skips to the end of the array the scanner is in.
  void SkipArray() {
    for (TToken token = Next(true); token.Kind != TTokenKind::ArrayEnd && token.Kind != TTokenKind::End;)
      token = Next(true);
  }

private:
  size_t Within(size_t found) const { return found < End ? found : npos; }

  std::string_view Text;
  TFinder Open, Close, ArrayOpen, ArrayClose;
  size_t Pos = 0;
  size_t End = 0;
};

// A hex string, well-formed or not: it holds an entry's place, so a malformed one can be skipped
// without losing step with the entries after it.
bool IsEntryPart(const TToken& token) { return token.Kind == TTokenKind::Value || token.Kind == TTokenKind::Invalid; }

// The code of a hex string, or -1 when it is malformed or too long.
int32_t CodeOf(const TToken& token) { return token.Kind == TTokenKind::Value ? HexValue(token.Digits) : -1; }

void Append(TPDFCMap& ranges, int32_t low, int32_t high, std::vector<int32_t> units) {
  ranges.push_back({static_cast<uint16_t>(low), static_cast<uint16_t>(high), std::move(units)});
}

// Entries "<low> <high> <destination>" or "<low> <high> [<destination> ...]". An array
// gives one entry per code and ends at its "]": codes past its last element get none.
void ParseRanges(TScanner& scanner, TPDFCMap& ranges) {
  while (true) {
    const TToken lowToken = scanner.Next(false), highToken = scanner.Next(false);
    if (!IsEntryPart(lowToken) || !IsEntryPart(highToken)) return;
    const int32_t low = CodeOf(lowToken), high = CodeOf(highToken);
    const TToken destination = scanner.Next(false);
    if (low < 0 || high < 0) {
      // A code that does not parse maps nothing; skip its destination array, if any.
      if (destination.Kind == TTokenKind::Array) scanner.SkipArray();
      if (!IsEntryPart(destination) && destination.Kind != TTokenKind::Array) return;
      continue;
    }
    if (destination.Kind == TTokenKind::Array) {
      int64_t code = low;
      for (; code <= high; ++code) {
        const TToken element = scanner.Next(true);
        if (element.Kind == TTokenKind::ArrayEnd || element.Kind == TTokenKind::End) break;
        if (element.Kind != TTokenKind::Value || code > 0xFFFF) continue;
        std::vector<int32_t> units = HexUnits(element.Digits);
        if (units[0] < 0xFFFF) Append(ranges, static_cast<int32_t>(code), static_cast<int32_t>(code), std::move(units));
      }
      if (code > high) scanner.SkipArray();
      continue;
    }
    if (!IsEntryPart(destination)) return;
    // A destination that does not parse (empty, not hex) maps nothing, rather than U+FFFF;
    // the entries after it still count.
    if (destination.Kind != TTokenKind::Value) continue;
    if (low <= 0xFFFF && high <= 0xFFFF) Append(ranges, low, high, HexUnits(destination.Digits));
  }
}

// Entries "<code> <destination>". An entry with an empty or malformed hex string ("<0041> <>")
// maps nothing and the section goes on; an array or the section's end stops it.
void ParseChars(TScanner& scanner, TPDFCMap& ranges) {
  while (true) {
    const TToken source = scanner.Next(false);
    const TToken destination = scanner.Next(false);
    if (!IsEntryPart(source) || !IsEntryPart(destination)) return;
    const int32_t code = CodeOf(source);
    if (code < 0 || code > 0xFFFF || destination.Kind != TTokenKind::Value) continue;
    Append(ranges, code, code, HexUnits(destination.Digits));
  }
}

}  // namespace

TToUnicodeMap ParseToUnicode(std::string_view text) {
  TToUnicodeMap map;
  const std::string_view codespaceBegin = "begincodespacerange", codespaceEnd = "endcodespacerange";
  const size_t begin = text.find(codespaceBegin);
  const size_t end = text.find(codespaceEnd);
  if (begin == npos || end == npos || end < begin) return map;

  TScanner scanner(text);
  scanner.SetSection(begin + codespaceBegin.size(), end);
  size_t lowDigits = 0;
  const int32_t low = scanner.NextHex(&lowDigits);
  const int32_t high = scanner.NextHex();
  // Bounds that do not parse leave the map as if it had no codespace.
  if (low < 0 || high < 0) return map;
  map.OneByte = lowDigits == 2;

  TFinder rangeBegin(text, "beginbfrange"), rangeEnd(text, "endbfrange");
  TFinder charBegin(text, "beginbfchar"), charEnd(text, "endbfchar"), cmapEnd(text, "endcmap");
  size_t pos = end + codespaceEnd.size();
  while (true) {
    const size_t range = rangeBegin.Find(pos);
    const size_t chars = charBegin.Find(pos);
    if (range == npos && chars == npos) break;
    if (range < chars) {
      const size_t start = range + std::string_view("beginbfrange").size();
      const size_t stop = rangeEnd.Find(start);
      if (stop == npos) break;
      scanner.SetSection(start, stop);
      ParseRanges(scanner, map.Ranges);
      pos = stop + std::string_view("endbfrange").size();
    } else {
      const size_t start = chars + std::string_view("beginbfchar").size();
      size_t stop = charEnd.Find(start);
      size_t keyword = std::string_view("endbfchar").size();
      if (stop == npos) {
        stop = cmapEnd.Find(start);
        keyword = std::string_view("endcmap").size();
      }
      if (stop == npos) break;
      scanner.SetSection(start, stop);
      ParseChars(scanner, map.Ranges);
      pos = stop + keyword;
    }
  }
  return map;
}

std::u16string CMapEntryText(const TPDFCMapEntry& entry, int32_t code) {
  std::u16string text;
  for (size_t i = 0; i < entry.Codes.size(); ++i) {
    int64_t unit = entry.Codes[i];
    if (i + 1 == entry.Codes.size()) unit += int64_t(code) - entry.Low;
    text.push_back(static_cast<char16_t>(static_cast<uint16_t>(unit)));
  }
  return text;
}
