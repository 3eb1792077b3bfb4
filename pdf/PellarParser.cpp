// The object parser: one recursive-descent pass over the bytes, creating the objects in
// the pool as it goes. It never raises: what it cannot read ends the container being
// read, and a text whose first object cannot be read gives a TPDFNull.
#include "pdf/PellarParser.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "pdf/PellarConvert.h"
#include "pdf/PellarStructure.h"

namespace {

enum : unsigned char { White = 1, Delimiter = 2, Digit = 4, HexDigit = 8 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> classes{};
  for (unsigned char c : {0, 9, 10, 12, 13, 32}) classes[c] |= White;
  for (unsigned char c : std::string_view("()<>[]/%{")) classes[c] |= Delimiter;
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<size_t>(c)] |= Digit | HexDigit;
  for (int c = 'a'; c <= 'f'; ++c) classes[static_cast<size_t>(c)] |= HexDigit;
  for (int c = 'A'; c <= 'F'; ++c) classes[static_cast<size_t>(c)] |= HexDigit;
  return classes;
}

constexpr std::array<unsigned char, 256> Classes = MakeClasses();

bool Is(char c, unsigned char cls) { return Classes[static_cast<unsigned char>(c)] & cls; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int32_t TruncateToInt32(double value) {
  if (!(value > -2147483649.0)) return INT32_MIN;  // NaN cannot arise from a token
  if (value >= 2147483648.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

// Containers nested deeper than this make the whole text read as nothing, so that
// hostile input cannot exhaust the stack.
constexpr int MaxDepth = 256;
// Sizing an array of references looks this far ahead at most and reserves at most this
// many slots: the sizing is an optimisation and must not cost more than the input is worth.
constexpr size_t ReserveScanLimit = 64 * 1024;
constexpr int ReserveLimit = 16384;
// Dictionaries with more entries than this find repeated keys through a hash index.
constexpr size_t IndexedDictionarySize = 16;

// Raised when the nesting limit is passed; caught at the top of the parse.
struct TParseAbort {};

class TPDFParser {
public:
  TPDFParser(TPDFStructure& pool, std::string_view text) : Pool(pool), Text(text) {}

  // One object after leading whitespace and comments; nothing when none could be read.
  TPDFObject* ReadTop() {
    Skip();
    return ReadObject();
  }
  size_t Position() const { return Pos; }

private:
  size_t Rest() const { return Text.size() - Pos; }

  void Skip();
  TPDFObject* ReadObject();
  TPDFObject* ReadKeyword();
  TPDFObject* ReadNumberOrReference();
  double ScanNumber(bool& hasPoint);
  TPDFArray* ReadArray();
  int CountReferences() const;
  TPDFDictionary* ReadDictionary();
  TPDFString* ReadLiteral();
  TPDFString* ReadHex();
  TPDFName* ReadName();

  TPDFStructure& Pool;
  std::string_view Text;
  size_t Pos = 0;
  int Depth = 0;
  // Where a literal string was found unterminated: the containers around it retry the
  // same position on their way out, and must not scan the rest of the text again.
  size_t Unterminated = std::string_view::npos;
};

// Whitespace is skipped up to, never over, the last byte of the text. A comment runs to
// the next line end; a comment that reaches the end of the text is skipped entirely, so
// that its last byte is never read as data.
void TPDFParser::Skip() {
  const size_t n = Text.size();
  while (Pos < n) {
    if (Pos + 1 < n && Is(Text[Pos], White)) {
      ++Pos;
    } else if (Text[Pos] == '%') {
      size_t end = Text.find_first_of("\r\n", Pos);
      Pos = end == std::string_view::npos ? n : end;
    } else {
      break;
    }
  }
}

TPDFObject* TPDFParser::ReadObject() {
  if (Pos >= Text.size()) return nullptr;
  const size_t r = Rest();
  const char c = Text[Pos];
  if (r >= 4 && c == '<' && Text[Pos + 1] == '<') return ReadDictionary();
  if (r >= 2 && c == '[') return ReadArray();
  if (c == 't' || c == 'f' || c == 'n') return ReadKeyword();
  if (c == '-' || c == '.' || Is(c, Digit)) return ReadNumberOrReference();
  if (r >= 2 && c == '(') return ReadLiteral();
  if (r >= 2 && c == '<') return ReadHex();
  if (r >= 2 && c == '/') return ReadName();
  return nullptr;
}

// "true", "false" and "null", when the word ends the text or whitespace or a delimiter follows.
TPDFObject* TPDFParser::ReadKeyword() {
  static constexpr std::string_view Words[] = {"true", "false", "null"};
  for (std::string_view word : Words) {
    if (Text.compare(Pos, word.size(), word) != 0) continue;
    size_t end = Pos + word.size();
    if (end < Text.size() && !Is(Text[end], White | Delimiter)) return nullptr;
    Pos = end;
    if (word == "null") return Pool.NewNull();
    return Pool.NewBoolean(word == "true");
  }
  return nullptr;
}

// A token of the current byte and the digits that follow, with at most one point.
double TPDFParser::ScanNumber(bool& hasPoint) {
  const size_t start = Pos;
  hasPoint = Text[Pos] == '.';
  ++Pos;
  while (Pos < Text.size()) {
    char c = Text[Pos];
    if (Is(c, Digit)) {
      ++Pos;
    } else if (c == '.' && !hasPoint) {
      hasPoint = true;
      ++Pos;
    } else {
      break;
    }
  }
  std::string_view token = Text.substr(start, Pos - start);
  if (!hasPoint && token.size() < 9) {
    // At most eight bytes: an optional "-" and digits, always within 32 bits.
    bool negative = token[0] == '-';
    int32_t value = 0;
    for (size_t i = negative ? 1 : 0; i < token.size(); ++i) value = value * 10 + (token[i] - '0');
    return negative ? -value : value;
  }
  std::string text(token);
  if (text.front() == '.') text.insert(text.begin(), '0');
  if (text.back() == '.') text.push_back('0');
  return TextToReal(text);
}

// A number, or "n g R" when an integer is followed by another number and "R".
TPDFObject* TPDFParser::ReadNumberOrReference() {
  bool hasPoint;
  double value = ScanNumber(hasPoint);
  if (!hasPoint) {
    const size_t afterFirst = Pos;
    double generation = 0;
    Skip();
    if (Pos < Text.size() && Is(Text[Pos], Digit)) {
      bool ignored;
      generation = ScanNumber(ignored);
      Skip();
    }
    if (Pos < Text.size() && Text[Pos] == 'R') {
      ++Pos;
      return Pool.NewIndRef(TruncateToInt32(value), TruncateToInt32(generation));
    }
    Pos = afterFirst;
  }
  return Pool.NewNumeric(value);
}

// The "R" bytes between the current byte and the next "]", as a size for an array of references.
int TPDFParser::CountReferences() const {
  const size_t end = std::min(Text.size(), Pos + 1 + ReserveScanLimit);
  int count = 0;
  for (size_t i = Pos + 1; i < end && Text[i] != ']'; ++i) count += Text[i] == 'R';
  return std::min(count, ReserveLimit);
}

TPDFArray* TPDFParser::ReadArray() {
  if (++Depth > MaxDepth) throw TParseAbort{};
  ++Pos;
  TPDFArray* array = Pool.NewArray();
  while (true) {
    Skip();
    TPDFObject* item = ReadObject();
    if (!item) break;
    array->Add(item);
    if (array->Count() == 1 && item->Kind == TPDFObject::KindIndRef && Pos < Text.size() && Text[Pos] != ']')
      array->Reserve(CountReferences());
  }
  if (Pos < Text.size() && Text[Pos] == ']') ++Pos;
  --Depth;
  return array;
}

TPDFDictionary* TPDFParser::ReadDictionary() {
  if (++Depth > MaxDepth) throw TParseAbort{};
  Pos += 2;
  TPDFDictionary* dictionary = Pool.NewDictionary();
  // Repeated keys replace the earlier value in place. Small dictionaries look the key
  // up directly; large ones through an index, so that reading stays linear.
  std::unordered_map<std::string_view, int> index;
  while (true) {
    Skip();
    TPDFObject* key = ReadObject();
    Skip();
    TPDFObject* value = ReadObject();
    if (!key || key->Kind != TPDFObject::KindName || !value) break;
    auto* name = static_cast<TPDFName*>(key);
    if (static_cast<size_t>(dictionary->Count()) < IndexedDictionarySize) {
      dictionary->SetEntry(name, value);
      continue;
    }
    if (index.empty())
      for (int i = 0; i < dictionary->Count(); ++i) index.emplace(dictionary->Entry(i).Key->Value, i);
    auto [it, added] = index.emplace(name->Value, dictionary->Count());
    if (added)
      dictionary->AppendEntry(name, value);
    else
      dictionary->ReplaceEntry(it->second, name, value);
  }
  if (Rest() >= 2 && Text[Pos] == '>' && Text[Pos + 1] == '>') Pos += 2;
  --Depth;
  return dictionary;
}

// Unescapes the body of a literal string read by the parser.
std::string UnescapeBody(std::string_view body) {
  std::string out;
  out.reserve(body.size());
  const size_t n = body.size();
  size_t i = 0;
  while (i < n) {
    char c = body[i];
    if (c == '\r') {  // an unescaped CR, or CR LF, is one line feed
      out += '\n';
      i += i + 1 < n && body[i + 1] == '\n' ? 2 : 1;
      continue;
    }
    if (c != '\\' || i + 1 == n) {
      out += c;
      ++i;
      continue;
    }
    char e = body[i + 1];
    i += 2;
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case '(': case ')': case '\\': out += e; break;
      case '\n': break;
      case '\r':
        if (i < n && body[i] == '\n') ++i;
        break;
      default:
        if (Is(e, Digit)) {
          // Up to three digits ("8" and "9" included), read as octal places, modulo 256.
          int value = e - '0';
          for (int k = 0; k < 2 && i < n && Is(body[i], Digit); ++k, ++i) value = value * 8 + (body[i] - '0');
          out += static_cast<char>(value & 0xFF);
        } else {
          out += '\\';
          out += e;
        }
    }
  }
  return out;
}

TPDFString* TPDFParser::ReadLiteral() {
  if (Pos == Unterminated) return nullptr;
  const size_t n = Text.size();
  size_t i = Pos + 1;
  size_t depth = 1;
  for (; i < n; ++i) {
    char c = Text[i];
    if (c == '\\') {
      if (i + 2 < n && (Text[i + 1] == '(' || Text[i + 1] == ')' || Text[i + 1] == '\\')) ++i;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      break;
    }
  }
  if (depth != 0) {
    Unterminated = Pos;
    return nullptr;
  }
  std::string_view body = Text.substr(Pos + 1, i - Pos - 1);
  Pos = i + 1;
  return Pool.NewString(UnescapeBody(body), false);
}

// Keeps the hexadecimal digits of the body, pads an odd count with "0" and pairs them up.
std::string DecodeHexDigits(std::string_view body, bool letters) {
  std::string digits;
  digits.reserve(body.size() + 1);
  for (char c : body) {
    bool keep = letters ? ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || Is(c, Digit)) : Is(c, HexDigit);
    if (keep) digits += c;
  }
  if (digits.size() % 2) digits += '0';
  std::string out(digits.size() / 2, '\0');
  for (size_t i = 0; i < out.size(); ++i) {
    int hi = HexValue(digits[2 * i]), lo = HexValue(digits[2 * i + 1]);
    out[i] = hi < 0 || lo < 0 ? '\0' : static_cast<char>(hi * 16 + lo);
  }
  return out;
}

// The body runs to the first ">"; an unterminated hex string takes every byte up to the end.
TPDFString* TPDFParser::ReadHex() {
  size_t close = Text.find('>', Pos + 1);
  size_t end = close == std::string_view::npos ? Text.size() : close;
  std::string_view body = Text.substr(Pos + 1, end - Pos - 1);
  Pos = close == std::string_view::npos ? Text.size() : close + 1;
  return Pool.NewString(DecodeHexDigits(body, false), true);
}

TPDFName* TPDFParser::ReadName() {
  const size_t start = ++Pos;
  while (Pos < Text.size() && !Is(Text[Pos], White | Delimiter)) ++Pos;
  return Pool.NewName(DecodeName(Text.substr(start, Pos - start)));
}

}  // namespace

bool IsPdfWhitespace(unsigned char c) { return Classes[c] & White; }
bool IsPdfDelimiter(unsigned char c) { return Classes[c] & Delimiter; }

size_t StreamDataStart(std::string_view text, size_t afterKeyword) {
  size_t p = afterKeyword;
  while (p < text.size() && Is(text[p], White) && text[p] != '\r' && text[p] != '\n') ++p;
  if (p >= text.size()) return std::string_view::npos;
  if (text[p] == '\r') return p + 1 < text.size() && text[p + 1] == '\n' ? p + 2 : p + 1;
  return text[p] == '\n' ? p + 1 : std::string_view::npos;
}

TPDFObject* TPDFStructure::Parse(std::string_view text) {
  size_t consumed;
  return ParseAt(text, consumed);
}

TPDFObject* TPDFStructure::ParseAt(std::string_view text, size_t& consumed) {
  consumed = 0;
  TPDFObject* object = nullptr;
  if (!text.empty()) {
    TPDFParser parser(*this, text);
    try {
      object = parser.ReadTop();
      consumed = parser.Position();
    } catch (const TParseAbort&) {
      object = nullptr;
    }
  }
  return object ? object : NewNull();
}

// Content-stream literal: escapes as in object syntax, but a numeric escape is only taken
// as far as its digits read as an octal-looking number (at most 777, 77 or 7), unescaped
// line ends are kept, and an unknown escape drops the backslash.
std::string UnescapeLiteral(std::string_view token) {
  if (token.size() < 2) return {};
  std::string_view body = token.substr(1, token.size() - 2);
  std::string out;
  out.reserve(body.size());
  const size_t n = body.size();
  size_t i = 0;
  while (i < n) {
    char c = body[i];
    if (c != '\\') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 == n) break;  // a trailing backslash is dropped
    char e = body[i + 1];
    switch (e) {
      case 'b': out += '\b'; i += 2; continue;
      case 't': out += '\t'; i += 2; continue;
      case 'n': out += '\n'; i += 2; continue;
      case 'f': out += '\f'; i += 2; continue;
      case 'r': out += '\r'; i += 2; continue;
      case '(': case ')': case '\\': out += e; i += 2; continue;
      case '\r':
        i += 2;
        if (i < n && body[i] == '\n') ++i;
        continue;
      case '\n': i += 2; continue;
      default: break;
    }
    static constexpr int Limits[] = {0, 7, 77, 777};
    bool taken = false;
    for (size_t k = std::min<size_t>(3, n - i - 1); k >= 1 && !taken; --k) {
      std::string_view digits = body.substr(i + 1, k);
      if (!std::all_of(digits.begin(), digits.end(), [](char d) { return Is(d, Digit); })) continue;
      int decimal = 0, octal = 0;
      for (char d : digits) {
        decimal = decimal * 10 + (d - '0');
        octal = octal * 8 + (d - '0');
      }
      if (decimal > Limits[k]) continue;
      out += static_cast<char>(octal & 0xFF);
      i += 1 + k;
      taken = true;
    }
    if (!taken) ++i;  // drop the backslash; the next byte is copied as it is
  }
  return out;
}

std::string DecodeName(std::string_view raw) {
  std::string value;
  value.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    int hi, lo;
    if (raw[i] == '#' && i + 2 < raw.size() && (hi = HexValue(raw[i + 1])) >= 0 &&
        (lo = HexValue(raw[i + 2])) >= 0) {
      value += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      value += raw[i];
    }
  }
  return value;
}

std::string DecodeHexToken(std::string_view token) {
  if (token.size() < 2 || token.front() != '<' || token.back() != '>') return {};
  return DecodeHexDigits(token.substr(1, token.size() - 2), true);
}
