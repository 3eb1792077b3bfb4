#include "text/PellarContentNumber.h"

#include <cstdint>
#include <string>

#include "pdf/PellarConvert.h"

namespace {

constexpr double PowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
// Digits kept from a fraction, and whole digits that surely fit 64 bits.
constexpr size_t FractionDigits = 9;
constexpr size_t SafeWholeDigits = 18;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<double> TextToRealIfNumber(std::string_view token) {
  const std::string text(token);
  if (!IsDecimalText(text)) return std::nullopt;
  return TextToReal(text);
}

}  // namespace

// Plain "-ddd.ddd" tokens are read here with the same arithmetic as TextToReal; anything
// else (blanks to trim, very long numbers) goes the general way.
std::optional<double> ContentNumber(std::string_view token) {
  size_t i = 0;
  const bool negative = !token.empty() && token[0] == '-';
  i += negative;
  int64_t whole = 0;
  const size_t wholeStart = i;
  for (; i < token.size() && IsDigit(token[i]); ++i) {
    if (i - wholeStart == SafeWholeDigits) return TextToRealIfNumber(token);
    whole = whole * 10 + (token[i] - '0');
  }
  if (i == token.size()) return static_cast<double>(negative ? -whole : whole);
  if (token[i] != '.') return TextToRealIfNumber(token);
  int64_t fraction = 0;
  size_t digits = 0;
  for (++i; i < token.size() && IsDigit(token[i]); ++i) {
    if (digits < FractionDigits) {
      fraction = fraction * 10 + (token[i] - '0');
      ++digits;
    }
  }
  if (i != token.size()) return TextToRealIfNumber(token);
  double value = static_cast<double>(whole);
  if (digits > 0) value += static_cast<double>(fraction) / PowersOfTen[digits];
  return negative ? -value : value;
}
