#include "filters/PellarLZW.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>

#include "tests/support/FilterEncoders.h"
#include "tests/support/TestBytes.h"

namespace {

constexpr uint32_t Clear = 256, End = 257;

// The width a code is written with, from the number of codes since the last clear code: the
// decoder widens its codes once it has stored the entries of slot 510, 1022 and 2046 (one
// later without early change); the j-th code after a clear stores slot 256 + j.
uint32_t WidthAfter(uint32_t codesSinceClear, bool early) {
  uint32_t width = 9;
  for (uint32_t threshold : {510u, 1022u, 2046u})
    if (256 + codesSinceClear >= threshold + (early ? 0 : 1)) ++width;
  return width;
}

std::string PackLzw(const std::vector<uint32_t>& codes, bool early = true, bool msbFirst = true) {
  std::vector<std::pair<uint32_t, uint32_t>> packed;
  uint32_t sinceClear = 0;
  for (uint32_t code : codes) {
    packed.emplace_back(code, WidthAfter(sinceClear, early));
    sinceClear = code == Clear ? 0 : sinceClear + 1;
  }
  return PackCodes(packed, msbFirst);
}

std::string Decode(const std::string& data, bool early = true, bool msbFirst = true, TPDFLZWParms parms = {},
                   size_t limit = MaxDecodedStreamSize) {
  TPDFLZWDecompressor decoder;
  decoder.EarlyChange = early;
  decoder.MsbFirst = msbFirst;
  return decoder.Decode(data, parms, limit);
}

// 600 literal codes: enough to cross the change to 10-bit codes.
std::vector<uint32_t> LiteralCodes(std::string& text) {
  std::vector<uint32_t> codes{Clear};
  for (uint32_t i = 0; i < 600; ++i) {
    codes.push_back(i * 7 % 256);
    text.push_back(static_cast<char>(i * 7 % 256));
  }
  return codes;
}

// Fills the table with ever longer runs of "A" until the last slot, then writes that slot twice
// more, then starts afresh after a clear code.
std::vector<uint32_t> FullTableCodes() {
  std::vector<uint32_t> codes{Clear, 'A'};
  for (uint32_t code = 258; code <= 4095; ++code) codes.push_back(code);
  codes.insert(codes.end(), {4095, 4095, Clear, 'A', 'B', 258, End});
  return codes;
}

TEST(PellarLZW, CodeSequences) {
  std::string literals;
  const std::vector<uint32_t> literalCodes = LiteralCodes(literals);
  std::vector<uint32_t> clearInMiddle = literalCodes;
  clearInMiddle.insert(clearInMiddle.end(), {Clear, 'A', 'B', 258, End});
  struct TCase {
    const char* Label;
    std::vector<uint32_t> Codes;
    std::string Expected;
  } cases[] = {
      {"literals and a table entry", {Clear, 'A', 'B', 258, End}, "ABAB"},
      {"code equal to the next slot", {Clear, 'A', 258, 259, End}, "AAAAAA"},
      {"literals across the 10-bit change", literalCodes, literals},
      {"clear code resets width and slots", clearInMiddle, literals + "ABAB"},
      {"no end code: the zero bits after the last code are not a code", {Clear, 'A', 'B'}, "AB"},
      {"no leading clear code", {'A', 'B', 258, End}, "ABAB"},
      {"end code first", {End, 'A', 'B'}, ""},
      {"clear then end", {Clear, End, 'A'}, ""},
      {"first code names no entry", {Clear, 300, 'A', 'B', End}, "AB"},
      {"code beyond the table repeats the previous string", {Clear, 'A', 'B', 500, 'C', End}, "ABBBC"},
      // 259 ("BA") survives the clear; naming it beyond the table makes it the previous
      // string, so the next entry is "BAD".
      {"stale entry after a clear", {Clear, 'A', 'B', 258, Clear, 'C', 259, 'D', 259, End}, "ABABCCCDBAD"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(BytesToHex(Decode(PackLzw(c.Codes))), BytesToHex(c.Expected)) << c.Label;
    EXPECT_EQ(BytesToHex(Decode(PackLzw(c.Codes, true, false), true, false)), BytesToHex(c.Expected))
        << c.Label << " (LSB)";
  }
}

TEST(PellarLZW, EarlyChangeMovesTheWidthChange) {
  std::string literals;
  const std::vector<uint32_t> codes = LiteralCodes(literals);
  EXPECT_EQ(BytesToHex(Decode(PackLzw(codes, false), false)), BytesToHex(literals));
  EXPECT_EQ(BytesToHex(Decode(PackLzw(codes, true), true)), BytesToHex(literals));
  // Packed for one setting, read with the other: the first code after the change goes wrong.
  const std::string late = Decode(PackLzw(codes, false), true);
  const std::string early = Decode(PackLzw(codes, true), false);
  for (const std::string* out : {&late, &early}) {
    ASSERT_GE(out->size(), 254u);
    EXPECT_EQ(out->substr(0, 254), literals.substr(0, 254));
    EXPECT_NE(*out, literals);
  }
}

TEST(PellarLZW, FullTableOverwritesTheLastSlot) {
  // Code k (258 to 4095) writes k - 256 "A"s; the repeated last slot grows by one each time.
  const size_t runs = 1 + (3839 * 3840 / 2 - 1) + 3840 + 3841;
  const std::string out = Decode(PackLzw(FullTableCodes()));
  ASSERT_EQ(out.size(), runs + 4);
  EXPECT_EQ(out.find_first_not_of('A'), runs + 1);
  EXPECT_EQ(out.substr(runs), "ABAB");
}

TEST(PellarLZW, OutputStopsAtTheLimit) {
  const std::string packed = PackLzw(FullTableCodes());
  for (size_t limit : {size_t(0), size_t(1), size_t(1000), size_t(65536)})
    EXPECT_EQ(Decode(packed, true, true, {}, limit), std::string(limit, 'A')) << limit;
}

TEST(PellarLZW, RoundTrip) {
  std::string text;
  for (uint32_t i = 0; text.size() < 300000; ++i) text += "q 1 0 0 1 " + std::to_string(i % 977) + " 0 cm (x) Tj Q\n";
  std::string noise(70000, '\0');
  uint32_t seed = 1;
  for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
  for (const std::string* data : {&text, &noise}) {
    EXPECT_TRUE(Decode(LzwEncode(*data, true), true) == *data);
    EXPECT_TRUE(Decode(LzwEncode(*data, false), false) == *data);
  }
}

TEST(PellarLZW, InitialCodeSizeIsKeptInRange) {
  TPDFLZWDecompressor decoder;
  decoder.InitialCodeSize = 0;
  EXPECT_EQ(decoder.Decode(PackLzw({Clear, 'A', 'B', 258, End}), {}), "ABAB");
  decoder.InitialCodeSize = 99;
  EXPECT_EQ(decoder.Decode(PackCodes({{Clear, 12}, {'A', 12}, {'B', 12}, {258, 12}, {End, 12}}), {}), "ABAB");
}

TEST(PellarLZW, NextCodeOutsideDecodeFindsNoData) {
  TPDFLZWDecompressor decoder;
  EXPECT_EQ(decoder.NextCode(), int32_t(End));
  EXPECT_EQ(decoder.Decode(PackCodes({{Clear, 9}, {'A', 9}}), {}), "A");
  EXPECT_EQ(decoder.NextCode(), int32_t(End));
}

TEST(PellarLZW, Predictor) {
  std::vector<uint32_t> codes{Clear};
  for (uint32_t i = 1; i <= 12; ++i) codes.push_back(i);
  codes.push_back(End);
  const std::string packed = PackLzw(codes);
  const std::string raw = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  struct TCase {
    const char* Label;
    TPDFLZWParms Parms;  // Predictor, Colors, BitsPerComponent, Columns
    std::string Expected;
  } cases[] = {
      {"two rows of six, three apart", {2, 3, 8, 2}, Bytes({1, 2, 3, 5, 7, 9, 7, 8, 9, 17, 19, 21})},
      {"bits per component not used", {2, 3, 1, 2}, Bytes({1, 2, 3, 5, 7, 9, 7, 8, 9, 17, 19, 21})},
      {"bytes after the last row unchanged", {2, 5, 8, 2}, Bytes({1, 2, 3, 4, 5, 7, 9, 11, 13, 15, 11, 12})},
      {"PNG predictors keep the type bytes", {12, 1, 8, 3}, raw},
      {"zero Columns", {2, 1, 8, 0}, raw},
      {"negative Colors", {2, -3, 8, 2}, raw},
      {"huge rows", {2, INT32_MAX, 8, INT32_MAX}, raw},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(BytesToHex(Decode(packed, true, true, c.Parms)), BytesToHex(c.Expected)) << c.Label;
}

}  // namespace
