#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "filters/PellarStreamData.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "tests/support/FilterEncoders.h"

namespace {

// Rows of `columns` bytes written for TIFF predictor 2 with one colour: the difference to
// the byte on the left.
std::string TiffRows(const std::string& data, size_t columns) {
  std::string out = data;
  for (size_t i = 0; i < data.size(); ++i)
    if (i % columns) out[i] = static_cast<char>(static_cast<uint8_t>(data[i]) - static_cast<uint8_t>(data[i - 1]));
  return out;
}

std::string Noise(size_t size) {
  std::string out;
  uint32_t state = 12345;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    out += static_cast<char>(state >> 24);
  }
  return out;
}

std::string Pattern(size_t size) {
  std::string out;
  for (size_t i = 0; out.size() < size; ++i) out += "line " + std::to_string(i) + "\n";
  return out.substr(0, size);
}

// A limited read gives exactly the first bytes of the whole data: stages before the last are
// never cut short, and a stage with a predictor produces the whole rows the limit needs.
TEST(PellarStreamData, LimitedReadIsAPrefixOfTheWholeData) {
  struct TCase {
    const char* Name;
    std::string Dictionary;
    std::string Stored;
    std::string Plain;  // the whole decoded data
    std::vector<size_t> Limits;
  };
  const std::string text = Pattern(3000);
  const std::string noise = Noise(3000);
  const std::string rows = text.substr(0, 40);
  const std::vector<TCase> cases = {
      {"no filter", "<< >>", text, text, {0, 1, 2999, 3000, 5000}},
      {"Flate", "<< /Filter /FlateDecode >>", ZlibCompress(text), text, {0, 1, 100, 2999, 3000, 5000}},
      {"Flate with PNG rows of 4", "<< /Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 4 >> >>",
       ZlibCompress(PngUpRows(rows, 4)), rows, {1, 3, 4, 5, 8, 9, 39, 40, 41}},
      {"Flate with PNG rows of 1000", "<< /Filter /FlateDecode /DecodeParms << /Predictor 15 /Columns 1000 >> >>",
       ZlibCompress(PngUpRows(text, 1000)), text, {1, 10, 999, 1000, 1001, 2999, 3000}},
      {"LZW with TIFF rows of 5", "<< /Filter /LZWDecode /DecodeParms << /Predictor 2 /Columns 5 >> >>",
       LzwEncode(TiffRows(rows, 5)), rows, {1, 5, 6, 40}},
      {"ASCII85 then Flate", "<< /Filter [/ASCII85Decode /FlateDecode] >>", Ascii85Encode(ZlibCompress(noise)),
       noise, {1, 10, 2000, 3000}},
      {"Flate then ASCII85", "<< /Filter [/FlateDecode /ASCII85Decode] >>", ZlibCompress(Ascii85Encode(noise)),
       noise, {1, 10, 2000, 3000}},
      {"unknown filter", "<< /Filter /Unknown >>", text, text, {0, 7, 3000}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFStructure pool;
    TPDFStream* stream = pool.NewStream("", false);
    TPDFObject* dictionary = pool.Parse(c.Dictionary);
    ASSERT_EQ(dictionary->Kind, TPDFObject::KindDictionary);
    stream->SetDictionary(static_cast<TPDFDictionary*>(dictionary));
    stream->Data = c.Stored;
    EXPECT_EQ(DecodedData(*stream), c.Plain);
    for (size_t limit : c.Limits) EXPECT_EQ(DecodedData(*stream, limit), c.Plain.substr(0, limit)) << limit;
  }
}

}  // namespace
