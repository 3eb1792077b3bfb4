#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pdf/PellarStreamData.h"
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

namespace {

// A stream whose dictionary is parsed from `dict`; "9 0 R" resolves to `referred`.
struct TStreamFixture {
  TStreamFixture(const std::string& dict, const std::string& referred = "null") {
    Referred = pool.Parse(referred);
    pool.OnLookupIndirect = [this](TPDFIndRef&, int32_t number, int32_t) {
      return number == 9 ? Referred : nullptr;
    };
    Stream = pool.NewStream("", false);
    Stream->SetDictionary(static_cast<TPDFDictionary*>(pool.Parse(dict)));
  }
  TPDFStructure pool;
  TPDFObject* Referred;
  TPDFStream* Stream;
};

std::string Names(const std::vector<TPDFFilterEntry>& entries) {
  std::string out;
  for (const auto& e : entries) {
    out += e.Name + (e.HasParms ? "(" + std::to_string(e.Predictor) + "," + std::to_string(e.Columns) + "," +
                                      std::to_string(e.EarlyChange) + ")"
                                : "") +
           ";";
  }
  return out;
}

}  // namespace

TEST(StreamData, FilterEntriesFromTheDictionary) {
  struct {
    const char* Dict;
    const char* Referred;
    const char* Expected;
  } cases[] = {
      {"<< >>", "null", ""},
      {"<< /Filter /FlateDecode >>", "null", "FlateDecode;"},
      {"<< /Filter [/A85 9 0 R (x) /Fl] >>", "/LZWDecode", "A85;Fl;"},  // references in the array are skipped
      {"<< /Filter 9 0 R >>", "[/Fl /A85]", "Fl;A85;"},                   // one level of indirection
      {"<< /Filter 9 0 R >>", "9 0 R", ""},
      {"<< /Filter (Fl) >>", "null", ""},
      {"<< /Filter /Fl /DecodeParms << /Predictor 12 /Columns 5 >> >>", "null", "Fl(12,5,1);"},
      {"<< /Filter [/A85 /Fl] /DecodeParms << /Predictor 2 >> >>", "null", "A85(2,1,1);Fl;"},
      {"<< /Filter [/A85 /Fl] /DecodeParms [null << /Predictor 11 /Columns 9 0 R >>] >>", "3.5",
       "A85;Fl(11,4,1);"},
      {"<< /Filter [/Fl /Fl] /DecodeParms [9 0 R << /EarlyChange 0 >> << /Predictor 15 >>] >>",
       "<< /Predictor 12 >>", "Fl;Fl(1,1,0);"},
      {"<< /Filter /Fl /DP << /Predictor 10 >> >>", "null", "Fl(10,1,1);"},
      {"<< /Filter /Fl /DecodeParms 9 0 R /DP << /Predictor 10 >> >>", "<< /Columns 3 >>", "Fl(1,3,1);"},
      {"<< /Filter /Fl /DecodeParms null /DP << /Predictor 10 >> >>", "null", "Fl;"},
      {"<< /Filter /Fl /DecodeParms << /Predictor (x) /Columns 1e99 >> >>", "null", "Fl(1,1,1);"},
  };
  for (const auto& c : cases) {
    TStreamFixture f(c.Dict, c.Referred);
    EXPECT_EQ(Names(FilterEntries(*f.Stream->Dictionary())), c.Expected) << c.Dict;
  }
}

TEST(StreamData, DecodedDataRunsTheChain) {
  const std::string text = "BT (Hello) Tj ET";
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
           static_cast<uLong>(text.size()));
  packed.resize(size);

  TStreamFixture plain("<< /Filter /Unknown >>");
  plain.Stream->Data = packed;
  EXPECT_EQ(DecodedData(*plain.Stream), packed);

  TStreamFixture flate("<< /Filter /FlateDecode >>");
  flate.Stream->Data = packed;
  EXPECT_EQ(DecodedData(*flate.Stream), text);
  EXPECT_EQ(flate.Stream->Data, packed);  // nothing is cached or replaced on the stream
}
