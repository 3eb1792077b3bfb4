#include <bit>
#include <cstdint>

#include "security/PellarHash.h"

namespace {

// Round constants of SHA-384/512 (fractions of the cube roots of the first 80
// primes). SHA-256 uses the upper halves of the first 64.
constexpr uint64_t Constants512[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc, 0x3956c25bf348b538,
    0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118, 0xd807aa98a3030242, 0x12835b0145706fbe,
    0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2, 0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235,
    0xc19bf174cf692694, 0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5, 0x983e5152ee66dfab,
    0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4, 0xc6e00bf33da88fc2, 0xd5a79147930aa725,
    0x06ca6351e003826f, 0x142929670a0e6e70, 0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed,
    0x53380d139d95b3df, 0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30, 0xd192e819d6ef5218,
    0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8, 0x19a4c116b8d2d0c8, 0x1e376c085141ab53,
    0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8, 0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373,
    0x682e6ff3d6b2b8a3, 0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b, 0xca273eceea26619c,
    0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178, 0x06f067aa72176fba, 0x0a637dc5a2c898a6,
    0x113f9804bef90dae, 0x1b710b35131c471b, 0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc,
    0x431d67c49c100d4c, 0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817};

// Initial values of SHA-512 (fractions of the square roots of the first 8 primes);
// SHA-256 uses their upper halves.
constexpr uint64_t Initial512[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                    0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                    0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};
constexpr uint64_t Initial384[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
                                    0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511,
                                    0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};

// The two word sizes of the family differ only in these parameters.
struct TSHA256Traits {
  using Word = uint32_t;
  static constexpr int Rounds = 64;
  static constexpr int Sum0[3] = {2, 13, 22}, Sum1[3] = {6, 11, 25};
  static constexpr int Sigma0[3] = {7, 18, 3}, Sigma1[3] = {17, 19, 10};  // two rotations, one shift
  static Word Constant(int i) { return static_cast<Word>(Constants512[i] >> 32); }
};

struct TSHA512Traits {
  using Word = uint64_t;
  static constexpr int Rounds = 80;
  static constexpr int Sum0[3] = {28, 34, 39}, Sum1[3] = {14, 18, 41};
  static constexpr int Sigma0[3] = {1, 8, 7}, Sigma1[3] = {19, 61, 6};
  static Word Constant(int i) { return Constants512[i]; }
};

template <typename Traits>
class TSHA2 {
public:
  using Word = typename Traits::Word;
  static constexpr size_t WordBytes = sizeof(Word);
  static constexpr size_t BlockBytes = 16 * WordBytes;

  // The digest of `data` from the initial state, cut to `digestBytes`.
  static std::string Digest(const std::string& data, const Word (&initial)[8], size_t digestBytes) {
    Word state[8];
    for (int i = 0; i < 8; ++i) state[i] = initial[i];
    std::string message = PadDigestMessage(data, BlockBytes, 2 * WordBytes, true);
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    for (size_t offset = 0; offset < message.size(); offset += BlockBytes) Compress(state, bytes + offset);
    std::string digest(digestBytes, '\0');
    for (size_t i = 0; i < digestBytes; ++i) {
      size_t shift = 8 * (WordBytes - 1 - i % WordBytes);
      digest[i] = static_cast<char>((state[i / WordBytes] >> shift) & 0xFF);
    }
    return digest;
  }

private:
  static Word Rotations(Word x, const int (&r)[3]) {
    return std::rotr(x, r[0]) ^ std::rotr(x, r[1]) ^ std::rotr(x, r[2]);
  }
  static Word Sigma(Word x, const int (&r)[3]) { return std::rotr(x, r[0]) ^ std::rotr(x, r[1]) ^ (x >> r[2]); }

  static void Compress(Word state[8], const unsigned char* block) {
    Word w[Traits::Rounds];
    for (int i = 0; i < 16; ++i) {
      Word x = 0;
      for (size_t b = 0; b < WordBytes; ++b) x = (x << 8) | block[i * WordBytes + b];
      w[i] = x;
    }
    for (int i = 16; i < Traits::Rounds; ++i)
      w[i] = Sigma(w[i - 2], Traits::Sigma1) + w[i - 7] + Sigma(w[i - 15], Traits::Sigma0) + w[i - 16];
    Word v[8];
    for (int i = 0; i < 8; ++i) v[i] = state[i];
    for (int i = 0; i < Traits::Rounds; ++i) {
      Word choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
      Word majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      Word t1 = v[7] + Rotations(v[4], Traits::Sum1) + choose + Traits::Constant(i) + w[i];
      Word t2 = Rotations(v[0], Traits::Sum0) + majority;
      for (int k = 7; k > 0; --k) v[k] = v[k - 1];
      v[4] += t1;
      v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i) state[i] += v[i];
  }
};

}  // namespace

std::string SHA256(const std::string& data) {
  uint32_t initial[8];
  for (int i = 0; i < 8; ++i) initial[i] = static_cast<uint32_t>(Initial512[i] >> 32);
  return TSHA2<TSHA256Traits>::Digest(data, initial, 32);
}

std::string SHA384(const std::string& data) { return TSHA2<TSHA512Traits>::Digest(data, Initial384, 48); }

std::string SHA512(const std::string& data) { return TSHA2<TSHA512Traits>::Digest(data, Initial512, 64); }
