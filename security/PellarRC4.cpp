#include "security/PellarRC4.h"

#include <cstdint>
#include <utility>

std::string RC4(const std::string& key, const std::string& data) {
  if (key.empty()) return data;
  uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<uint8_t>(j + s[i] + static_cast<uint8_t>(key[i % key.size()]));
    std::swap(s[i], s[j]);
  }
  std::string out = data;
  uint8_t i = 0;
  j = 0;
  for (char& c : out) {
    ++i;
    j = static_cast<uint8_t>(j + s[i]);
    std::swap(s[i], s[j]);
    c = static_cast<char>(static_cast<uint8_t>(c) ^ s[static_cast<uint8_t>(s[i] + s[j])]);
  }
  return out;
}
