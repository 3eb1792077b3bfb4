#include "app/PageText.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "app/WideStringList.h"
#include "engine/Pellar.h"
#include "pdf/PellarConvert.h"
#include "platform/Platform.h"

namespace {

constexpr int32_t OptionOriginal = 0;
constexpr int32_t OptionPosition = 3;
constexpr int32_t OptionSmart = 7;
constexpr int FieldX = 4, FieldY = 5, FieldText = 12;

std::u16string Decimal(int64_t n) { return AsciiToWide(std::to_string(n)); }

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

std::u16string PositionTextFromCsv(const std::u16string& csv) {
  TWideStringList lines, fields, entries;
  lines.SetText(csv);
  for (int i = 0; i < lines.Count(); ++i) {
    SplitDelimited(lines.Get(i), u",", fields, u'\0', u"\"");
    if (fields.Count() < FieldText) continue;
    double x = ReadDecimalField(fields.Get(FieldX - 1));
    double y = ReadDecimalField(fields.Get(FieldY - 1));
    const std::u16string& text = fields.Get(FieldText - 1);
    if (text.empty()) continue;
    entries.Add(u"@X=" + AsciiToWide(FormatFixed(2, x)) + u",Y=" + AsciiToWide(FormatFixed(2, y)) + u"@" + text +
                u"@ENDTEXT@");
  }
  return TrimBlanks(entries.Text());
}
