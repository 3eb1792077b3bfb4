#include "filters/PellarFilters.h"

#include <gtest/gtest.h>

#include "tests/support/FilterEncoders.h"
#include "tests/support/TestBytes.h"

namespace {

TPDFFilterEntry Entry(const std::string& name) { return {name}; }

TPDFFilterEntry WithParms(const std::string& name, int32_t predictor, int32_t columns, int32_t earlyChange = 1) {
  TPDFFilterEntry entry{name, true};
  entry.Predictor = predictor;
  entry.Columns = columns;
  entry.EarlyChange = earlyChange;
  return entry;
}

TEST(PellarFilters, RunFilterChain) {
  const std::string text = "BT /F1 12 Tf (Hello, world) Tj ET\n";
  const std::string packed = ZlibCompress(text);
  // Two PNG rows of four bytes (stride 5): None, then Up.
  const std::string pngRows = Bytes({0, 1, 2, 3, 4, 2, 1, 1, 1, 1});
  const std::string pngDecoded = Bytes({1, 2, 3, 4, 2, 3, 4, 5});
  const std::string lzwLate = LzwEncode(std::string(800, 'x') + text, false);

  struct TCase {
    const char* Label;
    std::string Input;
    std::vector<TPDFFilterEntry> Entries;
    std::string Expected;
  } cases[] = {
      {"no filter", packed, {}, packed},
      {"FlateDecode", packed, {Entry("FlateDecode")}, text},
      {"Fl", packed, {Entry("Fl")}, text},
      {"ASCII85 then Flate with PNG rows, parameters by position", Ascii85Encode(ZlibCompress(pngRows)),
       {Entry("ASCII85Decode"), WithParms("FlateDecode", 12, 4)}, pngDecoded},
      {"A85", Ascii85Encode(text), {Entry("A85")}, text},
      {"LZWDecode with default early change", LzwEncode(text), {Entry("LZWDecode")}, text},
      {"LZWDecode with EarlyChange 0", lzwLate, {WithParms("LZWDecode", 1, 1, 0)}, std::string(800, 'x') + text},
      {"LZWDecode with the TIFF predictor", LzwEncode(Bytes({1, 2, 3, 4})), {WithParms("LZWDecode", 2, 2)},
       Bytes({1, 3, 3, 7})},
      {"parameters only apply to an entry that has them", ZlibCompress(pngRows),
       {TPDFFilterEntry{"FlateDecode", false, 12, 1, 8, 4, 1}}, pngRows},
      {"Flate with Predictor 1 parameters", packed, {WithParms("FlateDecode", 1, 7)}, text},
      {"LZW is not a decoded name", packed, {Entry("LZW")}, packed},
      {"names are case-sensitive", packed, {Entry("flatedecode")}, packed},
      {"unknown names pass the data on", Ascii85Encode(packed),
       {Entry("ASCIIHexDecode"), Entry("A85"), Entry("Crypt"), Entry("Fl"), Entry("DCTDecode")}, text},
      {"rejected Flate data gives nothing to the next filter", "not zlib", {Entry("Fl"), Entry("A85")}, ""},
      {"Flate inside Flate", ZlibCompress(packed), {Entry("Fl"), Entry("FlateDecode")}, text},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(BytesToHex(RunFilterChain(c.Input, c.Entries)), BytesToHex(c.Expected)) << c.Label;
}

TEST(PellarFilters, ChainedBombStopsAtTheLimit) {
  // Each stage inflates about a thousand times; the limit holds for every stage.
  const std::string bomb = ZlibCompress(ZlibCompress(std::string(64 << 20, '\0'), 9), 9);
  const std::vector<TPDFFilterEntry> chain{Entry("Fl"), Entry("Fl")};
  EXPECT_EQ(RunFilterChain(bomb, chain, 1 << 20), std::string(1 << 20, '\0'));
  EXPECT_EQ(RunFilterChain(bomb, chain), std::string(64 << 20, '\0'));
}

}  // namespace
