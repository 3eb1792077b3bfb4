#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "security/PellarAES.h"
#include "tests/support/TestBytes.h"

namespace {

std::string EncryptOneBlock(const std::string& key, const std::string& plain) {
  std::string block = plain;
  TPellarAES(key).EncryptBlock(reinterpret_cast<uint8_t*>(block.data()));
  return block;
}

std::string DecryptOneBlock(const std::string& key, const std::string& cipher) {
  std::string block = cipher;
  TPellarAES(key).DecryptBlock(reinterpret_cast<uint8_t*>(block.data()));
  return block;
}

TEST(PellarAES, FIPS197Blocks) {
  struct TCase {
    const char *Key, *Plain, *Cipher;
  };
  const TCase cases[] = {
      // Appendix B and appendix C.1 to C.3.
      {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32"},
      {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
       "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
       "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const TCase& c : cases) {
    std::string key = HexToBytes(c.Key);
    EXPECT_EQ(BytesToHex(EncryptOneBlock(key, HexToBytes(c.Plain))), c.Cipher) << c.Key;
    EXPECT_EQ(BytesToHex(DecryptOneBlock(key, HexToBytes(c.Cipher))), c.Plain) << c.Key;
  }
}

// SP 800-38A, F.2.1 to F.2.6.
TEST(PellarAES, SP80038ACbc) {
  const std::string iv = HexToBytes("000102030405060708090a0b0c0d0e0f");
  const std::string plain = HexToBytes(
      "6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51"
      "30c81c46a35ce411e5fbc1191a0a52ef f69f2445df4f9b17ad2b417be66c3710");
  struct TCase {
    const char *Key, *Cipher;
  };
  const TCase cases[] = {
      {"2b7e151628aed2a6abf7158809cf4f3c",
       "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
       "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
      {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
       "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
       "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
  };
  for (const TCase& c : cases) {
    std::string key = HexToBytes(c.Key);
    EXPECT_EQ(BytesToHex(AESEncryptCBC(key, iv, plain)), c.Cipher);
    EXPECT_EQ(BytesToHex(AESDecryptCBC(key, iv, HexToBytes(c.Cipher))), BytesToHex(plain));
  }
}

TEST(PellarAES, CbcDropsPartialBlocksAndFitsShortInputs) {
  const std::string key128 = HexToBytes("2b7e151628aed2a6abf7158809cf4f3c");
  const std::string iv(16, '\0');
  const std::string plain(32, 'p');
  std::string cipher = AESEncryptCBC(key128, iv, plain);
  EXPECT_EQ(AESEncryptCBC(key128, iv, plain + "tail"), cipher);
  EXPECT_EQ(AESDecryptCBC(key128, iv, cipher + "tail"), plain);
  EXPECT_EQ(AESDecryptCBC(key128, iv, "short"), "");
  EXPECT_EQ(AESDecryptCBC(key128, "", cipher), plain);  // a missing vector reads as zeros
  // Keys other than 32 bytes are AES-128 with the key cut or zero-filled to 16 bytes.
  EXPECT_EQ(AESEncryptCBC(key128 + "extra", iv, plain), cipher);
  EXPECT_EQ(AESEncryptCBC("", iv, plain), AESEncryptCBC(std::string(16, '\0'), iv, plain));
  EXPECT_EQ(AESEncryptCBC("ab", iv, plain), AESEncryptCBC(std::string("ab") + std::string(14, '\0'), iv, plain));
}

// Encrypted PDF data as a writer makes it: vector, then CBC of the padded plaintext.
std::string WriterData(const std::string& key, const std::string& padded) {
  const std::string iv = HexToBytes("0f0e0d0c0b0a09080706050403020100");
  return iv + AESEncryptCBC(key, iv, padded);
}

TEST(PellarAES, DecryptAESVectorAndPadding) {
  for (const std::string& key : {std::string(16, 'k'), std::string(32, 'K')}) {
    const std::string text = "Hello, world!";  // 13 bytes
    struct TCase {
      const char* Name;
      std::string Data;
      std::string Expected;
    };
    const TCase cases[] = {
        {"three padding bytes", WriterData(key, text + "\x03\x03\x03"), text},
        {"a whole padding block", WriterData(key, std::string(16, 'a') + std::string(16, '\x10')),
         std::string(16, 'a')},
        {"only padding", WriterData(key, std::string(16, '\x10')), ""},
        {"one padding byte", WriterData(key, std::string(15, 'b') + "\x01"), std::string(15, 'b')},
        // Unpadded data from careless writers keep every byte rather than losing up to 255.
        {"last byte above 16", WriterData(key, std::string(15, 'c') + "\x11"), std::string(15, 'c') + "\x11"},
        {"inconsistent padding", WriterData(key, std::string(13, 'd') + "\x01\x02\x03"),
         std::string(13, 'd') + "\x01\x02\x03"},
        {"zero last byte", WriterData(key, std::string(15, 'e') + '\0'), std::string(15, 'e') + '\0'},
        // A trailing partial block is ignored.
        {"partial block after the vector", WriterData(key, text + "\x03\x03\x03") + "12345678", text},
        {"vector only", std::string(16, 'v'), ""},
        {"shorter than the vector", "abc", ""},
        {"empty", "", ""},
        {"vector and a partial block", std::string(30, 'v'), ""},
    };
    for (const TCase& c : cases) EXPECT_EQ(DecryptAES(key, c.Data), c.Expected) << c.Name << ", key " << key.size();
  }
}

TEST(PellarAES, DecryptAESWithWrongKeyStaysInBounds) {
  const std::string data = WriterData(std::string(16, 'k'), std::string(40, 'x') + std::string(8, '\x08'));
  for (const std::string& key : {std::string(16, 'w'), std::string(32, 'w'), std::string(), std::string(7, 'w')}) {
    std::string plain = DecryptAES(key, data);
    EXPECT_LE(plain.size(), 48u);
    EXPECT_GE(plain.size(), 32u);  // at most one block of padding can go
  }
}

}  // namespace
