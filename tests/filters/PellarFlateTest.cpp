#include "filters/PellarFlate.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/support/FilterEncoders.h"
#include "tests/support/TestBytes.h"

namespace {

std::string SampleText(size_t size) {
  std::string text;
  for (size_t i = 0; text.size() < size; ++i)
    text += "BT /F1 12 Tf 72 " + std::to_string(700 - i % 500) + " Td (Line) Tj ET\n";
  text.resize(size);
  return text;
}

// zlib's stored blocks copy the data verbatim after a 2-byte header and a 5-byte block header,
// which lets a test cut the stream at a known data position.
constexpr size_t StoredPrefix = 2 + 5;

TEST(PellarFlate, InflateData) {
  const std::string text = SampleText(100000);
  const std::string packed = ZlibCompress(text);
  std::string badHeader = packed;
  badHeader[0] = 0x79;
  std::string gzipHeader = Bytes({0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3}) + packed.substr(2);
  // The output buffer grows by what the ratio so far predicts; a ratio that changes on the way
  // must still give every byte.
  std::string mixed = std::string(2 << 20, '\0') + SampleText(300000) + std::string(3 << 20, 'x');
  for (size_t i = 2 << 20; i < (2 << 20) + 300000; i += 7) mixed[i] = static_cast<char>(i * 2654435761u >> 24);

  struct TCase {
    const char* Label;
    std::string Input;
    std::string Expected;
  } cases[] = {
      {"round trip", packed, text},
      {"empty input", "", ""},
      {"empty data", ZlibCompress(""), ""},
      {"bytes after the end are ignored", packed + "endstream\r\ngarbage", text},
      {"a second zlib stream is ignored", packed + ZlibCompress("more"), text},
      {"corrupt Adler-32 keeps every byte", ZlibWithBadChecksum(text), text},
      {"bad block after good ones keeps the good ones", ZlibThenBadBlock(text.substr(0, 7000)), text.substr(0, 7000)},
      {"bad first block gives nothing", ZlibThenBadBlock(""), ""},
      {"bad header gives nothing", badHeader, ""},
      {"raw deflate is not accepted", packed.substr(2), ""},
      {"gzip is not accepted", gzipHeader, ""},
      {"cut stored stream gives the bytes so far", ZlibCompress(text.substr(0, 500), 0).substr(0, StoredPrefix + 123),
       text.substr(0, 123)},
      {"header only", packed.substr(0, 2), ""},
      {"long run of zeros", ZlibCompress(std::string(3 << 20, '\0'), 9), std::string(3 << 20, '\0')},
      {"ratio that changes", ZlibCompress(mixed), mixed},
      {"output of exactly two grow steps", ZlibCompress(std::string(512, 'a')), std::string(512, 'a')},
  };
  for (const TCase& c : cases) {
    const std::string out = InflateData(c.Input);
    EXPECT_EQ(out.size(), c.Expected.size()) << c.Label;
    EXPECT_TRUE(out == c.Expected) << c.Label;
  }
}

TEST(PellarFlate, TruncatedCompressedStreamYieldsAPrefix) {
  const std::string text = SampleText(200000);
  const std::string packed = ZlibCompress(text);
  for (size_t cut : {packed.size() / 4, packed.size() / 2, packed.size() * 3 / 4}) {
    const std::string out = InflateData(packed.substr(0, cut));
    EXPECT_GT(out.size(), 0u) << cut;
    EXPECT_LT(out.size(), text.size()) << cut;
    EXPECT_TRUE(text.compare(0, out.size(), out) == 0) << cut;
  }
}

TEST(PellarFlate, PresetDictionaryStreamGivesNothing) {
  // Header with FDICT set (0x78 0xBB is a valid check value) and a dictionary id: the
  // dictionary is never supplied, so the stream cannot be inflated.
  EXPECT_EQ(InflateData(Bytes({0x78, 0xBB, 0, 0, 0, 1, 0x4B, 0x04, 0x00})), "");
}

TEST(PellarFlate, OutputStopsAtTheLimit) {
  const std::string text = SampleText(300000);
  const std::string packed = ZlibCompress(text);
  for (size_t limit : {size_t(0), size_t(1), size_t(4096), size_t(123457), text.size(), text.size() + 1}) {
    const std::string out = InflateData(packed, limit);
    EXPECT_EQ(out.size(), std::min(limit, text.size())) << limit;
    EXPECT_TRUE(text.compare(0, out.size(), out) == 0) << limit;
  }
  const TPDFFlateParms png{12, 1, 8, 4};
  EXPECT_EQ(InflateWithPredictor(ZlibCompress(std::string(100, '\0')), png, 12), std::string(8, '\0'));
}

TEST(PellarFlate, PaethPredictor) {
  struct TCase {
    int Left, Up, UpLeft, Expected;
  } cases[] = {
      {0, 0, 0, 0},      {10, 20, 15, 15},  {20, 10, 15, 15}, {100, 50, 200, 50}, {50, 100, 0, 100},
      {255, 0, 128, 128}, {0, 255, 128, 128}, {6, 3, 5, 3},    {1, 4, 3, 1},       {0, 100, 0, 100},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PaethPredictor(uint8_t(c.Left), uint8_t(c.Up), uint8_t(c.UpLeft)), c.Expected)
        << c.Left << " " << c.Up << " " << c.UpLeft;
}

TEST(PellarFlate, Predictors) {
  const std::string pngBpp1 = Bytes({0, 100, 100, 50, 200,  4, 5, 250, 7, 9,  1, 1, 2, 255, 4,  2, 10, 20, 30, 240,
                                     3, 1, 2, 3, 4,  7, 9, 8, 7, 6,  4, 0, 0, 0, 0});
  const std::string pngBpp3 = Bytes({1, 10, 20, 30, 1, 2, 3,  3, 4, 5, 6, 7, 8, 9,  4, 1, 1, 1, 200, 100, 50,
                                     2, 255, 255, 255, 1, 1, 1});
  const std::string twelve = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  struct TCase {
    const char* Label;
    TPDFFlateParms Parms;  // Predictor, Colors, BitsPerComponent, Columns
    std::string Inflated;
    std::string Expected;
  } cases[] = {
      {"PNG rows of every type, hand-computed", {12, 1, 8, 4}, pngBpp1,
       Bytes({100, 100, 50, 200, 105, 99, 57, 209, 1, 3, 2, 6, 11, 23,
              32, 246, 6, 16, 27, 140, 9, 8, 7, 6, 9, 8, 7, 6})},
      {"PNG rows with three bytes per pixel", {15, 3, 8, 2}, pngBpp3,
       Bytes({10, 20, 30, 11, 22, 33, 9, 15, 21, 17, 26, 36, 10, 16, 22, 217, 126, 86, 9, 15, 21, 218, 127, 87})},
      {"PNG Up in the first row adds nothing", {10, 1, 8, 3}, Bytes({2, 7, 8, 9}), Bytes({7, 8, 9})},
      {"PNG Sub leaves the first pixel", {11, 1, 8, 3}, Bytes({1, 7, 8, 9}), Bytes({7, 15, 24})},
      {"PNG trailing partial row is dropped", {12, 1, 8, 2}, Bytes({0, 1, 2, 1, 3, 4, 2, 9}), Bytes({1, 2, 3, 7})},
      {"PNG type 7 row is copied", {12, 1, 8, 2}, Bytes({0, 1, 2, 7, 3, 4}), Bytes({1, 2, 3, 4})},
      {"PNG 4-bit RGB reaches two bytes left", {11, 3, 4, 2}, Bytes({1, 1, 2, 3}), Bytes({1, 2, 4})},
      {"TIFF 4-bit RGB reaches one byte left", {2, 3, 4, 2}, Bytes({1, 2, 3}), Bytes({1, 3, 6})},
      {"TIFF RGB adds the byte three places before", {2, 3, 8, 2}, twelve,
       Bytes({1, 2, 3, 5, 7, 9, 7, 8, 9, 17, 19, 21})},
      {"TIFF 16-bit grey works on bytes two apart", {2, 1, 16, 2}, Bytes({1, 2, 3, 4, 5}), Bytes({1, 2, 4, 6})},
      {"TIFF 1-bit rows round up to whole bytes", {2, 1, 1, 10}, Bytes({1, 2, 3, 4, 5}), Bytes({1, 3, 3, 7})},
      {"TIFF sums wrap", {2, 1, 8, 3}, Bytes({200, 100, 1}), Bytes({200, 44, 45})},
      {"Predictor 5 cuts to whole rows", {5, 1, 8, 3}, twelve.substr(0, 8), twelve.substr(0, 6)},
      {"Predictor 1 changes nothing", {1, 1, 8, 5}, twelve, twelve},
      {"zero Columns leaves the data", {12, 1, 8, 0}, twelve, twelve},
      {"negative Colors leave the data", {2, -3, 8, 4}, twelve, twelve},
      {"two negative factors leave the data", {12, -1, -8, 4}, twelve, twelve},
      {"zero BitsPerComponent leaves the data", {12, 1, 0, 4}, twelve, twelve},
      {"row longer than the data gives nothing", {12, 1, 8, 12}, twelve, ""},
      {"huge factors give nothing", {12, INT32_MAX, INT32_MAX, INT32_MAX}, twelve, ""},
      {"huge TIFF pixel gives nothing", {2, 1 << 30, 16, 1}, twelve, ""},
      {"empty inflated data", {12, 1, 8, 4}, "", ""},
  };
  for (const TCase& c : cases) {
    const std::string out = InflateWithPredictor(ZlibCompress(c.Inflated), c.Parms);
    EXPECT_EQ(BytesToHex(out), BytesToHex(c.Expected)) << c.Label;
  }
}

}  // namespace
