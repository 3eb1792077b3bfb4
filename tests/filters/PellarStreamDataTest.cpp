#include "filters/PellarStreamData.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"

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
