#include "security/PellarPassword.h"

#include <cstdint>

#include "pdf/PellarConvert.h"

const std::string PasswordPadding(
    "\x28\xBF\x4E\x5E\x4E\x75\x8A\x41\x64\x00\x4E\x56\xFF\xFA\x01\x08"
    "\x2E\x2E\x00\xB6\xD0\x68\x3E\x80\x2F\x0C\xA9\xFE\x64\x53\x69\x7A",
    32);

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five unassigned ones.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Windows1252Byte(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (Windows1252High[i] != 0 && Windows1252High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

}  // namespace

std::string PasswordToWindows1252(const std::u16string& password) {
  std::string out;
  out.reserve(password.size());
  for (size_t i = 0; i < password.size(); ++i) {
    // A surrogate pair is one character, and one "?".
    if (IsHighSurrogate(password[i]) && i + 1 < password.size() && IsLowSurrogate(password[i + 1])) ++i;
    out += Windows1252Byte(password[i]);
  }
  return out;
}

std::string PasswordToUTF8(const std::u16string& password) { return UTF16ToUTF8(password).substr(0, 127); }

std::string PadPassword(const std::string& password) { return (password + PasswordPadding).substr(0, 32); }

std::string UnpadPassword(const std::string& padded) {
  for (size_t start = 0; start < padded.size(); ++start) {
    size_t tail = padded.size() - start;
    if (tail <= PasswordPadding.size() && padded.compare(start, tail, PasswordPadding, 0, tail) == 0)
      return padded.substr(0, start);
  }
  return padded;
}
