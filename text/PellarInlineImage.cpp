#include "text/PellarInlineImage.h"

#include <cstdint>
#include <optional>

#include "pdf/PellarConvert.h"
#include "pdf/PellarParser.h"

namespace {

bool EndsToken(std::string_view data, size_t at) {
  return at >= data.size() || IsPdfWhitespace(static_cast<unsigned char>(data[at])) ||
         IsPdfDelimiter(static_cast<unsigned char>(data[at]));
}

// The offset after an "EI" at `at`, or nothing.
std::optional<size_t> EndMarkAt(std::string_view data, size_t at) {
  if (data.substr(at, 2) != "EI" || !EndsToken(data, at + 2)) return std::nullopt;
  return at + 2;
}

std::optional<size_t> SearchEndMark(std::string_view data, size_t from) {
  for (size_t at = data.find("EI", from); at != std::string_view::npos; at = data.find("EI", at + 1)) {
    const bool blankBefore = at == from || IsPdfWhitespace(static_cast<unsigned char>(data[at - 1]));
    if (blankBefore && EndMarkAt(data, at)) return at + 2;
  }
  return std::nullopt;
}

}  // namespace

bool SkipInlineImage(TPDFContentScanner& scanner) {
  std::optional<int64_t> length;
  bool lengthNext = false;
  std::string_view token;
  for (token = scanner.Next(); !token.empty() && token != "ID"; token = scanner.Next()) {
    if (lengthNext && IsDecimalText(token) && token.find('.') == std::string_view::npos)
      length = static_cast<int64_t>(TextToReal(token));
    lengthNext = token == "/L" || token == "/Length";
  }
  if (token.empty()) return false;
  const std::string_view data = scanner.Data();
  // One blank separates "ID" from the data.
  const size_t start = std::min(scanner.Offset() + 1, data.size());
  scanner.SetOffset(start);
  std::optional<size_t> end;
  if (length && *length >= 0 && static_cast<uint64_t>(*length) <= data.size() - start) {
    size_t at = start + static_cast<size_t>(*length);
    while (at < data.size() && IsPdfWhitespace(static_cast<unsigned char>(data[at]))) ++at;
    end = EndMarkAt(data, at);
  }
  if (!end) end = SearchEndMark(data, start);
  if (!end) return false;
  scanner.SetOffset(*end);
  return true;
}
