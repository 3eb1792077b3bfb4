#pragma once
// Encoders that make data for the stream decoders' tests and benchmarks. Header-only so that
// the benchmarks, which do not link the test support library, can use them too.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// zlib data (header and Adler-32 trailer) through zlib's own compressor.
inline std::string ZlibCompress(const std::string& data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), level);
  out.resize(size);
  return out;
}

// zlib data whose blocks are all sound but whose Adler-32 checksum is wrong (its last byte flipped).
inline std::string ZlibWithBadChecksum(const std::string& data) {
  std::string out = ZlibCompress(data);
  out.back() = static_cast<char>(out.back() ^ 0x5A);
  return out;
}

// zlib data of `good`, flushed to a byte boundary, then a final block of the reserved type 3,
// which an inflater rejects after it has produced all of `good`.
inline std::string ZlibThenBadBlock(const std::string& good) {
  z_stream zs{};
  deflateInit(&zs, Z_DEFAULT_COMPRESSION);
  std::string out(compressBound(static_cast<uLong>(good.size())) + 16, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(good.data()));
  zs.avail_in = static_cast<uInt>(good.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_SYNC_FLUSH);
  out.resize(out.size() - zs.avail_out);
  deflateEnd(&zs);
  return out + '\x07';  // BFINAL 1, BTYPE 3
}

// Codes given as (code, width in bits), packed most or least significant bit first; the last
// byte is filled with zero bits.
inline std::string PackCodes(const std::vector<std::pair<uint32_t, uint32_t>>& codes, bool msbFirst = true) {
  std::string out;
  uint64_t acc = 0;
  uint32_t bits = 0;
  for (const auto& [code, width] : codes) {
    if (msbFirst) {
      acc = (acc << width) | code;
      bits += width;
      for (; bits >= 8; bits -= 8) out.push_back(static_cast<char>(acc >> (bits - 8)));
    } else {
      acc |= uint64_t(code) << bits;
      bits += width;
      for (; bits >= 8; bits -= 8, acc >>= 8) out.push_back(static_cast<char>(acc));
    }
  }
  if (bits > 0) out.push_back(static_cast<char>(msbFirst ? acc << (8 - bits) : acc));
  return out;
}

// LZW with a clear code first, an end-of-data code last and a clear code whenever the 12-bit
// table is full, most significant bit first.
inline std::string LzwEncode(const std::string& data, bool earlyChange = true) {
  constexpr uint32_t Clear = 256, End = 257, First = 258;
  const uint32_t early = earlyChange ? 1 : 0;
  std::vector<uint16_t> children(4096 * 256, 0);  // (prefix code, byte) -> code, 0 for none
  std::vector<std::pair<uint32_t, uint32_t>> codes;
  uint32_t next = First, width = 9;
  auto emit = [&](uint32_t code) {
    codes.emplace_back(code, width);
    if (code == Clear) {
      std::fill(children.begin(), children.end(), uint16_t(0));
      next = First;
      width = 9;
    }
  };
  emit(Clear);
  int64_t prefix = -1;
  for (unsigned char c : data) {
    if (prefix < 0) {
      prefix = c;
      continue;
    }
    const uint16_t child = children[size_t(prefix) * 256 + c];
    if (child != 0) {
      prefix = child;
      continue;
    }
    emit(uint32_t(prefix));
    children[size_t(prefix) * 256 + c] = static_cast<uint16_t>(next++);
    if (next + early > (1u << width) && width < 12) ++width;
    if (next + early >= 4096) emit(Clear);
    prefix = c;
  }
  if (prefix >= 0) emit(uint32_t(prefix));
  emit(End);
  return PackCodes(codes);
}

// ASCII85 with "z" for zero groups and the "~>" end marker.
inline std::string Ascii85Encode(const std::string& data) {
  std::string out;
  for (size_t i = 0; i < data.size(); i += 4) {
    const size_t n = std::min<size_t>(4, data.size() - i);
    uint32_t value = 0;
    for (size_t k = 0; k < 4; ++k) value = value << 8 | (k < n ? uint8_t(data[i + k]) : 0);
    if (n == 4 && value == 0) {
      out.push_back('z');
      continue;
    }
    char group[5];
    for (int k = 4; k >= 0; --k, value /= 85) group[k] = static_cast<char>('!' + value % 85);
    out.append(group, n + 1);
  }
  return out + "~>";
}

// Rows of `columns` bytes, each written as PNG type 2 (Up): a type byte, then the difference
// to the row above. A short last row is padded with zeros.
inline std::string PngUpRows(const std::string& data, size_t columns) {
  std::string out;
  for (size_t row = 0; row * columns < data.size(); ++row) {
    out += '\x02';
    for (size_t i = row * columns; i < (row + 1) * columns; ++i) {
      const uint8_t byte = i < data.size() ? uint8_t(data[i]) : 0;
      const uint8_t up = row > 0 ? uint8_t(data[i - columns]) : 0;
      out += static_cast<char>(uint8_t(byte - up));
    }
  }
  return out;
}
