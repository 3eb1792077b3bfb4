#include "pdf/PellarConvert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Platform.h"

namespace {

template <typename Char>
bool IsBlank(Char c) {
  return static_cast<uint32_t>(c) <= 32;
}

template <typename Str>
Str TrimIf(const Str& text, bool (*drop)(typename Str::value_type)) {
  size_t begin = 0, end = text.size();
  while (begin < end && drop(text[begin])) ++begin;
  while (end > begin && drop(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

int HexValue(uint32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// The integer syntax shared by the command line and the engine's readers.
template <typename Int, typename Str>
std::optional<Int> ParseInteger(const Str& text) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= n) return std::nullopt;
  // Accumulate the magnitude as unsigned so that the minimum value fits.
  using U = std::make_unsigned_t<Int>;
  const U limit = negative ? U(std::numeric_limits<Int>::max()) + 1 : U(std::numeric_limits<Int>::max());
  U value = 0;
  for (; i < n; ++i) {
    int digit = base == 16 ? HexValue(static_cast<uint32_t>(text[i]))
                           : (text[i] >= '0' && text[i] <= '9' ? static_cast<int>(text[i] - '0') : -1);
    if (digit < 0) return std::nullopt;
    if (value > (limit - U(digit)) / U(base)) return std::nullopt;
    value = value * U(base) + U(digit);
  }
  if (negative) return static_cast<Int>(U(0) - value);
  return static_cast<Int>(value);
}

// x rounded to `decimals` places, halves away from zero, after reading it to 18
// significant digits: the sign, the integer digits and exactly `decimals` fraction digits.
// Built in fixed buffers, as the text writers format every coordinate through it.
constexpr int SignificantDigits = 18;
constexpr int MaxIntegerDigits = 310;  // DBL_MAX has 309, a carry adds one
constexpr int MaxFractionDigits = 64;  // more than a double holds; callers ask for 2 to 15

struct TDecimal {
  bool Negative = false;
  int IntegerLength = 0;
  char Integer[MaxIntegerDigits];
  int FractionLength = 0;
  char Fraction[MaxFractionDigits];
};

void RoundDecimal(double x, int decimals, TDecimal& out) {
  decimals = std::clamp(decimals, 0, MaxFractionDigits);
  out.Negative = false;
  out.IntegerLength = 1;
  out.Integer[0] = '0';
  out.FractionLength = decimals;
  std::fill_n(out.Fraction, decimals, '0');
  if (!std::isfinite(x) || x == 0) return;
  char text[64];
  const auto res = std::to_chars(text, text + sizeof text, std::fabs(x), std::chars_format::scientific, 17);
  // "d.ddddddddddddddddde[+-]xx": one digit, a point, 17 digits, the exponent.
  char digits[SignificantDigits + 1];
  digits[0] = text[0];
  std::copy_n(text + 2, SignificantDigits - 1, digits + 1);
  int exponent = 0;
  std::from_chars(text + SignificantDigits + 2 + (text[SignificantDigits + 2] == '+' ? 1 : 0), res.ptr, exponent);
  int count = SignificantDigits;
  const int keep = exponent + 1 + decimals;  // digits left of the rounding place
  if (keep < 0) return;
  if (keep < count) {
    const bool up = digits[keep] >= '5';
    count = keep;
    if (up) {
      int i = count - 1;
      while (i >= 0 && digits[i] == '9') digits[i--] = '0';
      if (i >= 0) {
        ++digits[i];
      } else {
        std::copy_backward(digits, digits + count, digits + count + 1);
        digits[0] = '1';
        ++count;
        ++exponent;
      }
    }
  }
  // The digits stand at places exponent, exponent - 1, ...; every other place is a zero.
  const int intDigits = exponent + 1;
  auto digitAt = [&](int place) {  // place 0 is the first digit left of the point
    const int index = exponent - place;
    return index >= 0 && index < count ? digits[index] : '0';
  };
  bool zero = true;
  if (intDigits > 0) {
    out.IntegerLength = intDigits;
    for (int i = 0; i < intDigits; ++i) zero = (out.Integer[i] = digitAt(intDigits - 1 - i)) == '0' && zero;
  }
  for (int i = 0; i < decimals; ++i) zero = (out.Fraction[i] = digitAt(-1 - i)) == '0' && zero;
  out.Negative = x < 0 && !zero;
}

uint32_t ToUpperAscii(uint32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

}  // namespace

bool IsDecimalText(std::string_view text) {
  const std::string_view t = TrimIf(text, IsBlank<char>);
  bool point = false;
  for (size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (c == '-') {
      if (i != 0) return false;
    } else if (c == '.') {
      if (point) return false;
      point = true;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

// Works on views: the content interpreter reads every operand through it.
double TextToReal(std::string_view text) {
  if (!IsDecimalText(text)) return 0;
  const std::string_view t = TrimIf(text, IsBlank<char>);
  size_t point = t.find('.');
  if (point == std::string_view::npos) return static_cast<double>(ParseInteger<int64_t>(t).value_or(0));
  bool negative = t.find('-') != std::string_view::npos;
  int64_t whole = ParseInteger<int64_t>(t.substr(0, point)).value_or(0);
  double value = whole == std::numeric_limits<int64_t>::min() ? 9223372036854775808.0
                                                              : static_cast<double>(whole < 0 ? -whole : whole);
  // At most nine fraction digits are read; the powers are exact.
  static constexpr double Powers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  const std::string_view fraction = t.substr(point + 1, 9);
  if (!fraction.empty())
    value += static_cast<double>(ParseInteger<int64_t>(fraction).value_or(0)) / Powers[fraction.size()];
  return negative ? -value : value;
}

std::optional<int32_t> ParseInt32(const std::u16string& text) { return ParseInteger<int32_t>(text); }
std::optional<int64_t> ParseInt64(const std::u16string& text) { return ParseInteger<int64_t>(text); }

int32_t TextToIntDef(const std::string& text, int32_t fallback) {
  return ParseInteger<int32_t>(text).value_or(fallback);
}

int64_t TextToInt64Def(const std::string& text, int64_t fallback) {
  return ParseInteger<int64_t>(text).value_or(fallback);
}

std::string FormatReal(int decimals, double x) {
  TDecimal d;
  RoundDecimal(x, decimals, d);
  int fraction = d.FractionLength;
  while (fraction > 0 && d.Fraction[fraction - 1] == '0') --fraction;
  std::string out;
  if (d.Negative) out += '-';
  out.append(d.Integer, static_cast<size_t>(d.IntegerLength));
  if (fraction > 0) {
    out += '.';
    out.append(d.Fraction, static_cast<size_t>(fraction));
  }
  return out;
}

std::string FormatFixed(int decimals, double x) {
  TDecimal d;
  RoundDecimal(x, decimals, d);
  std::string out;
  if (d.Negative) out += '-';
  out.append(d.Integer, static_cast<size_t>(d.IntegerLength));
  if (d.FractionLength > 0) {
    out += '.';
    out.append(d.Fraction, static_cast<size_t>(d.FractionLength));
  }
  return out;
}

std::string ZeroPadded(int64_t n, int width) {
  if (n < 0) return std::string(static_cast<size_t>(width < 0 ? 0 : width), '0');
  std::string digits = std::to_string(n);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

std::string PdfDate(int year, int month, int day, int hour, int minute, int second, long offsetSeconds) {
  std::string out = "D:" + ZeroPadded(year, 4) + ZeroPadded(month, 2) + ZeroPadded(day, 2) + ZeroPadded(hour, 2) +
                    ZeroPadded(minute, 2) + ZeroPadded(second, 2);
  if (offsetSeconds == 0) return out + "Z";
  long minutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
  return out + (offsetSeconds > 0 ? "+" : "-") + ZeroPadded(minutes / 60, 2) + "'" + ZeroPadded(minutes % 60, 2) + "'";
}

std::string PdfDateNow() {
  Platform::LocalTime t = Platform::Now();
  return PdfDate(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.OffsetSeconds);
}

std::u16string TrimSpaces(const std::u16string& text) {
  return TrimIf<std::u16string>(text, [](char16_t c) { return c == u' '; });
}

std::string TrimBlanks(const std::string& text) {
  return TrimIf<std::string>(text, [](char c) { return IsBlank(static_cast<unsigned char>(c)); });
}

std::u16string TrimBlanks(const std::u16string& text) {
  return TrimIf<std::u16string>(text, [](char16_t c) { return IsBlank(c); });
}

std::string UpperAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(ToUpperAscii(static_cast<unsigned char>(c)));
  return text;
}

std::u16string UpperAscii(std::u16string text) {
  for (char16_t& c : text) c = static_cast<char16_t>(ToUpperAscii(c));
  return text;
}

std::u16string LowerAscii(std::u16string text) {
  for (char16_t& c : text)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return text;
}

size_t WidePos(const std::u16string& sub, const std::u16string& text) {
  size_t at = text.find(sub);
  return at == std::u16string::npos ? 0 : at + 1;
}

std::u16string WideReplace(const std::u16string& text, const std::u16string& oldText,
                           const std::u16string& newText, int flags) {
  if (oldText.empty()) return text;
  const bool ignoreCase = flags & ReplaceIgnoreCase;
  const std::u16string hay = ignoreCase ? UpperAscii(text) : text;
  const std::u16string needle = ignoreCase ? UpperAscii(oldText) : oldText;
  std::u16string out;
  size_t from = 0;
  while (true) {
    size_t at = hay.find(needle, from);
    if (at == std::u16string::npos) break;
    out.append(text, from, at - from);
    out += newText;
    from = at + needle.size();
    if (!(flags & ReplaceAll)) break;
  }
  out.append(text, from, std::u16string::npos);
  return out;
}

std::u16string UnwrapMarkedText(const std::u16string& text) {
  if (text.size() < 2 || (text[0] >> 8) != 0xE7 || (text[1] >> 8) != 0xF8) return text;
  size_t length = (static_cast<size_t>(text[1] & 0xFF) << 8) | (text[0] & 0xFF);
  return text.substr(2, length);
}

std::u16string UTF8ToUTF16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size(), i = 0;
  while (i < n) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    int extra = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : -1;
    if (extra < 0) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    uint32_t cp = b & (0x3F >> extra);
    // Second-byte ranges that exclude overlong forms, surrogates and values past U+10FFFF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
    size_t j = i + 1;
    int got = 0;
    for (; got < extra && j < n; ++got, ++j) {
      unsigned char c = s[j];
      if (got == 0 ? (c < lo || c > hi) : (c < 0x80 || c > 0xBF)) break;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (got < extra) {
      out += u'\uFFFD';  // the maximal bad subpart counts as one character
      i = j;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 | (cp >> 10));
      out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i = j;
  }
  return out;
}

std::string UTF16ToUTF8(const std::u16string& input) {
  std::u16string text = UnwrapMarkedText(input);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::u16string AsciiToWide(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char c : text) out += static_cast<char16_t>(c);
  return out;
}

namespace {
// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five unassigned ones.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

char Windows1252Byte(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (Windows1252High[i] != 0 && Windows1252High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

std::u16string ExtractFileName(const std::u16string& path) {
  size_t slash = path.rfind(u'/');
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string ExtractFilePath(const std::u16string& path) {
  size_t slash = path.rfind(u'/');
  return slash == std::u16string::npos ? u"" : path.substr(0, slash + 1);
}
