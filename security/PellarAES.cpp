#include "security/PellarAES.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr uint8_t Times2(uint8_t x) { return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1B : 0)); }

constexpr uint8_t Multiply(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  for (; b; b >>= 1, a = Times2(a))
    if (b & 1) product ^= a;
  return product;
}

// The substitution box: the multiplicative inverse in GF(2^8) followed by the
// affine map. Walking the powers of 3 (a generator) pairs each value with its inverse.
constexpr std::array<uint8_t, 256> MakeSBox() {
  std::array<uint8_t, 256> box{};
  uint8_t p = 1, q = 1;
  do {
    p = static_cast<uint8_t>(p ^ Times2(p));  // p * 3
    q ^= static_cast<uint8_t>(q << 1);        // q / 3
    q ^= static_cast<uint8_t>(q << 2);
    q ^= static_cast<uint8_t>(q << 4);
    if (q & 0x80) q ^= 0x09;
    uint8_t x = static_cast<uint8_t>(q ^ std::rotl(q, 1) ^ std::rotl(q, 2) ^ std::rotl(q, 3) ^ std::rotl(q, 4));
    box[p] = x ^ 0x63;
  } while (p != 1);
  box[0] = 0x63;
  return box;
}

constexpr std::array<uint8_t, 256> Invert(const std::array<uint8_t, 256>& box) {
  std::array<uint8_t, 256> inverse{};
  for (int i = 0; i < 256; ++i) inverse[box[i]] = static_cast<uint8_t>(i);
  return inverse;
}

constexpr auto SBox = MakeSBox();
constexpr auto InverseSBox = Invert(SBox);

constexpr uint32_t Column(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(c) << 8 | d;
}

// Round tables: substitution and column mix of one byte, for the row that byte
// lands in after the shift; the other three rows are rotations of it.
constexpr std::array<uint32_t, 256> MakeEncryptTable() {
  std::array<uint32_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t s = SBox[i];
    table[i] = Column(Multiply(s, 2), s, s, Multiply(s, 3));
  }
  return table;
}

constexpr std::array<uint32_t, 256> MakeDecryptTable() {
  std::array<uint32_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t s = InverseSBox[i];
    table[i] = Column(Multiply(s, 14), Multiply(s, 9), Multiply(s, 13), Multiply(s, 11));
  }
  return table;
}

constexpr auto EncryptTable = MakeEncryptTable();
constexpr auto DecryptTable = MakeDecryptTable();

uint8_t Byte(uint32_t word, int index) { return static_cast<uint8_t>(word >> (24 - 8 * index)); }

uint32_t SubWord(uint32_t w) { return Column(SBox[Byte(w, 0)], SBox[Byte(w, 1)], SBox[Byte(w, 2)], SBox[Byte(w, 3)]); }

// One full round on the state s: each output column j takes row r from input
// column (j + shift[r]) mod 4.
void Round(const std::array<uint32_t, 256>& table, const int (&shift)[4], const uint32_t s[4], uint32_t out[4],
           const uint32_t* roundKey) {
  for (int j = 0; j < 4; ++j) {
    uint32_t word = roundKey[j];
    for (int r = 0; r < 4; ++r) word ^= std::rotr(table[Byte(s[(j + shift[r]) % 4], r)], 8 * r);
    out[j] = word;
  }
}

void FinalRound(const std::array<uint8_t, 256>& box, const int (&shift)[4], const uint32_t s[4], uint32_t out[4],
                const uint32_t* roundKey) {
  for (int j = 0; j < 4; ++j) {
    uint32_t word = 0;
    for (int r = 0; r < 4; ++r) word |= uint32_t(box[Byte(s[(j + shift[r]) % 4], r)]) << (24 - 8 * r);
    out[j] = word ^ roundKey[j];
  }
}

constexpr int ForwardShift[4] = {0, 1, 2, 3};
constexpr int InverseShift[4] = {0, 3, 2, 1};

void Crypt(uint8_t block[16], const uint32_t* keys, int rounds, const std::array<uint32_t, 256>& table,
           const std::array<uint8_t, 256>& box, const int (&shift)[4]) {
  uint32_t s[4], t[4];
  for (int j = 0; j < 4; ++j)
    s[j] = Column(block[4 * j], block[4 * j + 1], block[4 * j + 2], block[4 * j + 3]) ^ keys[j];
  for (int round = 1; round < rounds; ++round) {
    Round(table, shift, s, t, keys + 4 * round);
    for (int j = 0; j < 4; ++j) s[j] = t[j];
  }
  FinalRound(box, shift, s, t, keys + 4 * rounds);
  for (int j = 0; j < 4; ++j)
    for (int r = 0; r < 4; ++r) block[4 * j + r] = Byte(t[j], r);
}

std::string FitTo(const std::string& bytes, size_t size) {
  std::string out = bytes.substr(0, size);
  out.resize(size, '\0');
  return out;
}

std::string CipherKey(const std::string& key) { return key.size() == 32 ? key : FitTo(key, 16); }

}  // namespace

TPellarAES::TPellarAES(const std::string& key) {
  std::string material = key.size() == 16 || key.size() == 24 || key.size() == 32 ? key : FitTo(key, 16);
  const int words = static_cast<int>(material.size() / 4);
  Rounds = words + 6;
  const int total = 4 * (Rounds + 1);
  for (int i = 0; i < words; ++i)
    EncryptKeys[i] = Column(material[4 * i], material[4 * i + 1], material[4 * i + 2], material[4 * i + 3]);
  uint8_t roundConstant = 1;
  for (int i = words; i < total; ++i) {
    uint32_t temp = EncryptKeys[i - 1];
    if (i % words == 0) {
      temp = SubWord(std::rotl(temp, 8)) ^ (uint32_t(roundConstant) << 24);
      roundConstant = Times2(roundConstant);
    } else if (words > 6 && i % words == 4) {
      temp = SubWord(temp);
    }
    EncryptKeys[i] = EncryptKeys[i - words] ^ temp;
  }
  // The equivalent inverse cipher: round keys in reverse order, the inner ones passed
  // through the inverse column mix (the decrypt table undoes the S-box first).
  for (int round = 0; round <= Rounds; ++round) {
    for (int j = 0; j < 4; ++j) {
      uint32_t w = EncryptKeys[4 * (Rounds - round) + j];
      if (round > 0 && round < Rounds) {
        uint32_t mixed = 0;
        for (int r = 0; r < 4; ++r) mixed ^= std::rotr(DecryptTable[SBox[Byte(w, r)]], 8 * r);
        w = mixed;
      }
      DecryptKeys[4 * round + j] = w;
    }
  }
}

void TPellarAES::EncryptBlock(uint8_t block[BlockSize]) const {
  Crypt(block, EncryptKeys, Rounds, EncryptTable, SBox, ForwardShift);
}

void TPellarAES::DecryptBlock(uint8_t block[BlockSize]) const {
  Crypt(block, DecryptKeys, Rounds, DecryptTable, InverseSBox, InverseShift);
}

std::string AESDecryptCBC(const std::string& key, const std::string& iv, const std::string& data) {
  TPellarAES cipher(CipherKey(key));
  std::string out = data.substr(0, data.size() / 16 * 16);
  uint8_t chain[16], saved[16];
  std::memcpy(chain, FitTo(iv, 16).data(), 16);
  for (size_t offset = 0; offset < out.size(); offset += 16) {
    auto* block = reinterpret_cast<uint8_t*>(out.data() + offset);
    std::memcpy(saved, block, 16);
    cipher.DecryptBlock(block);
    for (int i = 0; i < 16; ++i) block[i] ^= chain[i];
    std::memcpy(chain, saved, 16);
  }
  return out;
}

std::string AESEncryptCBC(const std::string& key, const std::string& iv, const std::string& data) {
  TPellarAES cipher(CipherKey(key));
  std::string out = data.substr(0, data.size() / 16 * 16);
  uint8_t chain[16];
  std::memcpy(chain, FitTo(iv, 16).data(), 16);
  for (size_t offset = 0; offset < out.size(); offset += 16) {
    auto* block = reinterpret_cast<uint8_t*>(out.data() + offset);
    for (int i = 0; i < 16; ++i) block[i] ^= chain[i];
    cipher.EncryptBlock(block);
    std::memcpy(chain, block, 16);
  }
  return out;
}

std::string DecryptAES(const std::string& key, const std::string& data) {
  if (data.size() <= 16) return {};
  std::string plain = AESDecryptCBC(key, data.substr(0, 16), data.substr(16));
  if (plain.empty()) return plain;
  size_t padding = static_cast<uint8_t>(plain.back());
  if (padding < 1 || padding > 16 || padding > plain.size()) return plain;
  for (size_t i = plain.size() - padding; i < plain.size(); ++i)
    if (static_cast<uint8_t>(plain[i]) != padding) return plain;
  plain.resize(plain.size() - padding);
  return plain;
}
