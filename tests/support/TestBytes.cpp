#include "tests/support/TestBytes.h"

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  out.reserve(values.size());
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string HexOf(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}
