#include <gtest/gtest.h>

#include <string>

#include "security/PellarRC4.h"
#include "tests/support/TestBytes.h"

namespace {

TEST(PellarRC4, PublishedVectors) {
  struct TCase {
    std::string Key, Plain;
    const char* Cipher;
  };
  const TCase cases[] = {
      {"Key", "Plaintext", "bbf316e8d940af0ad3"},
      {"Wiki", "pedia", "1021bf0420"},
      {"Secret", "Attack at dawn", "45a01f645fc35b383552544b9bf5"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(BytesToHex(RC4(c.Key, c.Plain)), c.Cipher) << c.Key;
    EXPECT_EQ(RC4(c.Key, HexToBytes(c.Cipher)), c.Plain) << c.Key;
  }
}

// RFC 6229 key streams (the cipher of zero bytes) at several offsets.
TEST(PellarRC4, RFC6229KeyStreams) {
  struct TCase {
    const char* Key;
    size_t Offset;
    const char* Stream;
  };
  const TCase cases[] = {
      {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
      {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
      {"0102030405", 240, "28cb1132c96ce286421dcaadb8b69eae"},
      {"0102030405", 256, "1cfcf62b03eddb641d77dfcf7f8d8c93"},
      {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
  };
  for (const TCase& c : cases) {
    std::string stream = RC4(HexToBytes(c.Key), std::string(c.Offset + 16, '\0'));
    EXPECT_EQ(BytesToHex(stream.substr(c.Offset)), c.Stream) << c.Key << " at " << c.Offset;
  }
}

TEST(PellarRC4, EmptyInputs) {
  EXPECT_EQ(RC4("key", ""), "");
  EXPECT_EQ(RC4("", "data stays"), "data stays");
  EXPECT_EQ(RC4(std::string(1, '\0'), "x").size(), 1u);
}

}  // namespace
