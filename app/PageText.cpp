#include "app/PageText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "engine/Pellar.h"
#include "pdf/PellarConvert.h"
#include "platform/Platform.h"

namespace {

constexpr int32_t OptionOriginal = 0;
constexpr int32_t OptionPosition = 3;
constexpr int32_t OptionSmart = 7;
constexpr int FieldX = 4, FieldY = 5, FieldText = 12;

std::u16string Decimal(int64_t n) { return AsciiToWide(std::to_string(n)); }
bool IsLineBreak(char16_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x2028 || c == 0x2029; }

}  // namespace

std::u16string TPageAssembler::PageEntry(int32_t page) const {
  std::u16string entry;
  if (!Options.Header.empty()) entry = ExpandPageVariables(Options.Header, page) + PageSeparator;
  entry += TextByOutputType();
  if (!Options.Footer.empty()) entry += PageSeparator + ExpandPageVariables(Options.Footer, page);
  return entry;
}

std::u16string TPageAssembler::ExpandPageVariables(const std::u16string& text, int32_t page) const {
  // The template passes through the narrow code page first, as all output does.
  std::u16string out = Platform::FromNarrow(Platform::ToNarrow(text));
  const int flags = ReplaceAll | ReplaceIgnoreCase;
  out = WideReplace(out, u"&p", Decimal(page), flags);
  out = WideReplace(out, u"&a", Decimal(Options.PageTotal), flags);
  out = WideReplace(out, u"&f", Options.SourceFile, flags);
  out = WideReplace(out, u"&n", ExtractFileName(Options.SourceFile), flags);
  out = WideReplace(out, u"&d", Platform::ShortDate(), flags);
  return out;
}

std::u16string TPageAssembler::TextByOutputType() const {
  std::u16string text;
  switch (Options.OutputType) {
    case TOutputType::Original:
      Engine.PageText(OptionOriginal, text);
      return text;
    case TOutputType::Smart:
      Engine.PageText(OptionSmart, text);
      return text;
    case TOutputType::Position:
      Engine.PageText(OptionPosition, text);
      return PositionTextFromCsv(text);
  }
  return text;
}

double ReadDecimalField(const std::u16string& field) {
  std::u16string trimmed = TrimBlanks(field);
  std::string ascii;
  bool valid = !trimmed.empty();
  for (char16_t c : trimmed) {
    if (c >= 0x80) valid = false;
    ascii += static_cast<char>(c);
  }
  const char* begin = ascii.data();
  const char* end = begin + ascii.size();
  if (begin != end && *begin == '+') ++begin;
  double value = 0;
  auto res = std::from_chars(begin, end, value, std::chars_format::general);
  if (!valid || res.ec != std::errc() || res.ptr != end || !std::isfinite(value))
    throw std::runtime_error("'" + UTF16ToUTF8(field) + "' is not a valid floating point value");
  return value;
}

// One pass over the text, reading only fields 4, 5 and 12 of each line: the lines and fields
// are those that splitting the text into list items and each item at its commas gives (quotes
// toggle and are dropped; U+0000 ends the text), without a string for every field.
std::u16string PositionTextFromCsv(const std::u16string& csv) {
  const size_t end = std::min(csv.find(u'\0'), csv.size());
  std::u16string out, x, y, text;
  size_t i = 0;
  while (i < end) {
    int field = 1;
    bool quoted = false;
    x.clear();
    y.clear();
    text.clear();
    // Runs of plain characters go to their field at once: at a quote, a comma or the line's end.
    size_t run = i;
    auto flush = [&] {
      std::u16string* target = field == FieldX ? &x : field == FieldY ? &y : field == FieldText ? &text : nullptr;
      if (target) target->append(csv, run, i - run);
    };
    for (; i < end; ++i) {
      const char16_t c = csv[i];
      if (c > u'"' && c != u',' && c < 0x2028) continue;
      if (IsLineBreak(c)) break;
      if (c == u'"' || (c == u',' && !quoted)) {
        flush();
        run = i + 1;
        if (c == u'"')
          quoted = !quoted;
        else
          ++field;
      }
    }
    flush();
    if (i < end) i += csv[i] == u'\r' && i + 1 < end && csv[i + 1] == u'\n' ? 2 : 1;
    if (field < FieldText) continue;
    const double px = ReadDecimalField(x);
    const double py = ReadDecimalField(y);
    if (text.empty()) continue;
    out += u"@X=";
    out += AsciiToWide(FormatFixed(2, px));
    out += u",Y=";
    out += AsciiToWide(FormatFixed(2, py));
    out += u'@';
    out += text;
    out += u"@ENDTEXT@\r\n";
  }
  return TrimBlanks(out);
}
