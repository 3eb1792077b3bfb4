#pragma once
// Message digests over byte strings, each answering its raw digest bytes.
#include <cstddef>
#include <string>

std::string MD5(const std::string& data);     // 16 bytes
std::string SHA256(const std::string& data);  // 32 bytes
std::string SHA384(const std::string& data);  // 48 bytes
std::string SHA512(const std::string& data);  // 64 bytes

// The message padded for a block digest: 0x80, zeros, then the bit length in
// `lengthBytes` bytes (big- or little-endian), to a multiple of `blockSize` bytes.
std::string PadDigestMessage(const std::string& data, size_t blockSize, size_t lengthBytes, bool bigEndian);
