#include "security/PellarHash.h"

#include <cstdint>

std::string PadDigestMessage(const std::string& data, size_t blockSize, size_t lengthBytes, bool bigEndian) {
  std::string out = data;
  out += '\x80';
  size_t padded = (out.size() + lengthBytes + blockSize - 1) / blockSize * blockSize;
  out.resize(padded - lengthBytes, '\0');
  // A std::string cannot exceed 2^61 bytes, so the bit count fits 64 bits; wider
  // length fields get leading zeros.
  uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
  std::string length(lengthBytes, '\0');
  for (size_t i = 0; i < 8 && i < lengthBytes; ++i) {
    char byte = static_cast<char>((bits >> (8 * i)) & 0xFF);
    length[bigEndian ? lengthBytes - 1 - i : i] = byte;
  }
  return out + length;
}
