#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "security/PellarHash.h"
#include "tests/support/TestBytes.h"

namespace {

const std::string Message448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
const std::string Message896 =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";

struct TDigestCase {
  std::string (*Digest)(const std::string&);
  const char* Name;
  std::string Message;
  const char* Expected;
};

TEST(PellarHash, PublishedVectors) {
  const std::string millionA(1000000, 'a');
  const TDigestCase cases[] = {
      // RFC 1321 test suite.
      {MD5, "MD5", "", "d41d8cd98f00b204e9800998ecf8427e"},
      {MD5, "MD5", "a", "0cc175b9c0f1b6a831c399e269772661"},
      {MD5, "MD5", "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {MD5, "MD5", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {MD5, "MD5", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {MD5, "MD5", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {MD5, "MD5", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      // FIPS 180-4 examples.
      {SHA256, "SHA256", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {SHA256, "SHA256", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {SHA256, "SHA256", Message448, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {SHA256, "SHA256", Message896, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {SHA256, "SHA256", millionA, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {SHA384, "SHA384", "",
       "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f14898b95b"},
      {SHA384, "SHA384", "abc",
       "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
      {SHA384, "SHA384", Message448,
       "3391fdddfc8dc7393707a65b1b4709397cf8b1d162af05abfe8f450de5f36bc6b0455a8520bc4e6f5fe95b1fe3c8452b"},
      {SHA384, "SHA384", Message896,
       "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039"},
      {SHA384, "SHA384", millionA,
       "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd87f3d8985"},
      {SHA512, "SHA512", "",
       "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
       "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
      {SHA512, "SHA512", "abc",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
       "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {SHA512, "SHA512", Message448,
       "204a8fc6dda82f0a0ced7beb8e08a41657c16ef468b228a8279be331a703c335"
       "96fd15c13b1b07f9aa1d3bea57789ca031ad85c7a71dd70354ec631238ca3445"},
      {SHA512, "SHA512", Message896,
       "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
       "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
      {SHA512, "SHA512", millionA,
       "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
       "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
  };
  for (const TDigestCase& c : cases)
    EXPECT_EQ(BytesToHex(c.Digest(c.Message)), c.Expected) << c.Name << " of " << c.Message.size() << " bytes";
}

// The padding must spill into a second block exactly when the length field no
// longer fits; a mistake there shows only at these lengths.
TEST(PellarHash, PaddingAtBlockBoundaries) {
  struct TBoundary {
    size_t BlockSize, LengthBytes, Length, PaddedSize;
  };
  const TBoundary cases[] = {
      {64, 8, 0, 64},    {64, 8, 55, 64},    {64, 8, 56, 128},   {64, 8, 63, 128},   {64, 8, 64, 128},
      {128, 16, 111, 128}, {128, 16, 112, 256}, {128, 16, 128, 256},
  };
  for (const TBoundary& c : cases) {
    std::string padded = PadDigestMessage(std::string(c.Length, 'x'), c.BlockSize, c.LengthBytes, true);
    ASSERT_EQ(padded.size(), c.PaddedSize) << c.Length;
    EXPECT_EQ(padded.compare(0, c.Length, std::string(c.Length, 'x')), 0);
    EXPECT_EQ(padded[c.Length], '\x80');
    size_t zeros = c.PaddedSize - c.Length - 1 - 8;
    EXPECT_EQ(padded.substr(c.Length + 1, zeros), std::string(zeros, '\0')) << c.Length;
    uint64_t bits = 0;
    for (size_t i = 0; i < 8; ++i) bits = (bits << 8) | static_cast<unsigned char>(padded[padded.size() - 8 + i]);
    EXPECT_EQ(bits, 8 * c.Length);
  }
  // MD5 stores the length little-endian.
  std::string md5Style = PadDigestMessage("abc", 64, 8, false);
  EXPECT_EQ(BytesToHex(md5Style.substr(56)), "1800000000000000");
}

}  // namespace
