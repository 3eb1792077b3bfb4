#include "filters/PellarAscii85.h"

#include <gtest/gtest.h>

#include "tests/support/FilterEncoders.h"
#include "tests/support/TestBytes.h"

namespace {

TEST(PellarAscii85, Decode) {
  struct TCase {
    const char* Label;
    std::string Input;
    std::string Expected;
  } cases[] = {
      {"full group", "FCfN8~>", "test"},
      {"four characters left", "G^4T~>", "xyz"},
      {"z", "z~>", std::string(4, '\0')},
      {"two characters left", "!!~>", std::string(1, '\0')},
      {"one character left gives nothing", "!~>", ""},
      {"white space anywhere", " F C\tf\r\nN8 ~\n> ", "test"},
      {"largest group", "s8W-!~>", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
      {"group above 2^32 - 1", "uuuuu~>", std::string(4, '\0')},
      {"last group at 2^32 - 1 or more", "s8W-~>", std::string(3, '\0')},
      {"bytes outside the alphabet are skipped", "\x80" "F\x01" "CfN8vwxy{|}\xFF~>", "test"},
      {"z inside a group is five digits", "Fz~>", Bytes({115, 31, 45, 149})},
      {"start marker is decoded", "<~FCfN8~>", Bytes({87, 109, 154, 144, 140})},
      {"earlier end markers are digits", "FCfN8~>G^4T~>", std::string("test") + std::string(4, '\0')},
      {"text after the last end marker is dropped", "FCfN8~>\x00garbage", "test"},
      {"no end marker: all of it", "FCfN8G^4T", "testxyz"},
      {"empty", "", ""},
      {"end marker only", "~>", ""},
      {"tilde pair before the marker", "~~>", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(BytesToHex(Ascii85Decode(c.Input)), BytesToHex(c.Expected)) << c.Label;
}

TEST(PellarAscii85, RoundTripAndLimit) {
  std::string data;
  for (uint32_t i = 0, seed = 7; i < 5003; ++i) {
    seed = seed * 1103515245 + 12345;
    data.push_back(i % 97 < 12 ? '\0' : static_cast<char>(seed >> 16));
  }
  for (size_t size : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(4), size_t(5), data.size()}) {
    const std::string part = data.substr(0, size);
    EXPECT_EQ(BytesToHex(Ascii85Decode(Ascii85Encode(part))), BytesToHex(part)) << size;
  }
  const std::string encoded = Ascii85Encode(data);
  for (size_t limit : {size_t(0), size_t(6), size_t(4999)})
    EXPECT_TRUE(Ascii85Decode(encoded, limit) == data.substr(0, limit)) << limit;
}

}  // namespace
