#include "tests/support/TestBytes.h"

#include <cstdio>
#include <stdexcept>

namespace {

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw std::invalid_argument("not a hexadecimal digit");
}

}  // namespace

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  out.reserve(values.size());
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string HexToBytes(std::string_view hex) {
  std::string digits;
  for (char c : hex)
    if (c != ' ' && c != '\n' && c != '\t') digits += c;
  if (digits.size() % 2 != 0) throw std::invalid_argument("odd number of hexadecimal digits");
  std::string out;
  for (size_t i = 0; i < digits.size(); i += 2)
    out += static_cast<char>(Nibble(digits[i]) * 16 + Nibble(digits[i + 1]));
  return out;
}

std::string BytesToHex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string UnitsToHex(const std::u16string& text) {
  std::string out;
  char unit[8];
  for (char16_t c : text) {
    std::snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c));
    out += unit;
  }
  return out;
}
