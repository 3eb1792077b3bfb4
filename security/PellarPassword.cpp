#include "security/PellarPassword.h"

#include <cstdint>

#include "pdf/PellarConvert.h"

const std::string PasswordPadding(
    "\x28\xBF\x4E\x5E\x4E\x75\x8A\x41\x64\x00\x4E\x56\xFF\xFA\x01\x08"
    "\x2E\x2E\x00\xB6\xD0\x68\x3E\x80\x2F\x0C\xA9\xFE\x64\x53\x69\x7A",
    32);

namespace {

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
