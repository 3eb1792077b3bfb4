#include "pdf/PellarXRefReader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <tuple>
#include <vector>

#include "tests/support/TestBytes.h"

using namespace std::string_literals;

namespace {

using TEntry = std::tuple<int32_t, int32_t, char, int32_t>;

struct TRecorder {
  explicit TRecorder(TPDFXRefReader& reader) {
    reader.OnEntry = [this](int32_t n, int32_t f2, char type, int32_t f3) { Entries.emplace_back(n, f2, type, f3); };
    reader.OnTrailer = [this](const std::string& text) { Trailers.push_back(text); };
    reader.OnSection = [this](int32_t offset) { Sections.push_back(offset); };
  }
  std::vector<TEntry> Entries;
  std::vector<std::string> Trailers;
  std::vector<int32_t> Sections;
};

std::string Deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
           static_cast<uLong>(data.size()));
  out.resize(size);
  return out;
}

}  // namespace

TEST(XRefReader, FindStartXref) {
  const std::string body(300, 'x');
  struct {
    const char* Name;
    std::string Text;
    int32_t Expected;
  } cases[] = {
      {"line breaks", body + "startxref\n1234\n%%EOF\n", 1234},
      {"one line", body + "startxref 1234 %%EOF", 1234},
      {"number against the marker", body + "startxref\n1234%%EOF", 1234},
      {"marker far from the end", body + "startxref\r\n1234\r\n%%EOF\n" + std::string(2000, ' '), 1234},
      {"last startxref wins", "startxref\n99\n%%EOF\n" + body + "startxref\n77\n%%EOF", 77},
      {"comment after the number", body + "startxref\n55 % old\n%%EOF", 55},
      {"damaged marker at the end", body + "startxref\n321\n%%E", 321},
      {"no marker", body + "startxref\n1234\n", 0},
      {"no keyword", body + "1234\n%%EOF", 0},
      {"zero is no offset", body + "startxref\n0\n%%EOF", 0},
      {"last positive line wins", body + "startxref\n12\n0\n%%EOF", 12},
      {"empty file", "", 0},
  };
  for (const auto& c : cases) {
    TPDFXRefReader reader(c.Text);
    EXPECT_EQ(reader.FindStartXref(), c.Expected) << c.Name;
  }
}

TEST(XRefReader, ClassicTableNearTheGivenOffset) {
  const std::string table =
      "xref\n0 3\n0000000000 65535 f\r\n0000000017 00000 n\r\n0000000081 00002 n\r\n"
      "trailer\n<< /Size 3 /Root 1 0 R >>\n";
  const std::string file = std::string(100, ' ') + table;
  for (int32_t offset : {100, 105, 80, 90}) {
    TPDFXRefReader reader(file);
    TRecorder rec(reader);
    ASSERT_TRUE(reader.ReadSection(offset)) << offset;
    EXPECT_EQ(rec.Entries, (std::vector<TEntry>{{0, 0, 'f', 65535}, {1, 17, 'n', 0}, {2, 81, 'n', 2}}));
    ASSERT_EQ(rec.Trailers.size(), 1u);
    EXPECT_NE(rec.Trailers[0].find("/Root 1 0 R"), std::string::npos);
    EXPECT_EQ(rec.Sections, std::vector<int32_t>{offset});
  }
  TPDFXRefReader reader(file);
  TRecorder rec(reader);
  EXPECT_FALSE(reader.ReadSection(40));  // the keyword is out of reach
  EXPECT_EQ(rec.Sections, (std::vector<int32_t>{40, -40}));
}

TEST(XRefReader, NineteenByteEntriesAndSubsections) {
  const std::string file =
      "xref\n0 2\n0000000000 65535 f\n0000000017 00000 n\n5 1\n0000000099 00000 n\n"
      "trailer\n<< /Size 6 >>\n";
  TPDFXRefReader reader(file);
  TRecorder rec(reader);
  ASSERT_TRUE(reader.ReadSection(0));
  EXPECT_EQ(rec.Entries, (std::vector<TEntry>{{0, 0, 'f', 65535}, {1, 17, 'n', 0}, {5, 99, 'n', 0}}));
}

TEST(XRefReader, PrevChainsAndLoops) {
  // Two tables: the newer one at 60 chains to the older one at 0, which chains back.
  std::string older = "xref\n0 1\n0000000007 00000 n\r\ntrailer\n<< /Size 1 /Prev 60 >>\n";
  older.resize(60, ' ');
  const std::string newer = "xref\n0 1\n0000000009 00000 n\r\ntrailer\n<< /Size 1 /Prev 0 >>\n";
  const std::string file = older + newer;
  TPDFXRefReader reader(file);
  TRecorder rec(reader);
  EXPECT_TRUE(reader.ReadSection(60));  // the loop back to 60 ends the chain
  EXPECT_EQ(rec.Entries, (std::vector<TEntry>{{0, 9, 'n', 0}, {0, 7, 'n', 0}}));
  EXPECT_EQ(rec.Sections, (std::vector<int32_t>{60, 0}));

  // A bad /Prev fails the whole chain, and every section of it is withdrawn.
  const std::string broken = "xref\n0 1\n0000000009 00000 n\r\ntrailer\n<< /Size 1 /Prev 500 >>\n";
  TPDFXRefReader bad(broken);
  TRecorder badRec(bad);
  EXPECT_FALSE(bad.ReadSection(0));
  EXPECT_EQ(badRec.Sections, (std::vector<int32_t>{0, 500, -500, 0}));
}

TEST(XRefReader, StreamSectionWithOtherTypesAndSubsections) {
  // /W [1 2 1]: type 1 at 300, a type 3 entry whose three bytes are skipped, type 2, type 0.
  const std::string data = std::string("\x01\x01\x2c\x00", 4) + std::string("\x03\xff\xff\xff", 4) +
                           std::string("\x02\x00\x07\x03", 4) + std::string("\x00\x00\x00\x01", 4);
  const std::string packed = Deflate(data);
  const std::string file = "9 0 obj\n<< /Type /XRef /Size 20 /W [1 2 1] /Index [10 2 15 2] /Filter /FlateDecode "
                           "/Length " + std::to_string(packed.size()) + " >>\nstream\r\n" + packed +
                           "\nendstream\nendobj\n";
  TPDFXRefReader reader(file);
  TRecorder rec(reader);
  ASSERT_TRUE(reader.ReadSection(0));
  EXPECT_EQ(rec.Entries,
            (std::vector<TEntry>{{10, 300, 'n', 0}, {11, 0, ' ', 0}, {15, 7, 'c', 3}, {16, 0, 'f', 1}}));
  ASSERT_EQ(rec.Trailers.size(), 1u);
  EXPECT_NE(rec.Trailers[0].find("/Type /XRef"), std::string::npos);
}

TEST(XRefReader, StreamSectionEdgeCases) {
  struct {
    const char* Name;
    std::string File;
    bool Ok;
    size_t Entries;
  } cases[] = {
      {"indirect /Length reads no entries",
       "1 0 obj\n<< /Type /XRef /Size 2 /W [1 1 1] /Length 5 0 R >>\nstream\n\x01\x05\x00\x01\x06\x00\nendstream"s, true,
       0},
      {"missing /W reads no entries", "1 0 obj\n<< /Type /XRef /Size 2 /Length 3 >>\nstream\n\x01\x05\x00\nendstream"s,
       true, 0},
      {"data shorter than /Size stops at its end",
       "1 0 obj\n<< /Type /XRef /Size 1000000 /W [1 1 1] /Length 6 >>\nstream\n\x01\x05\x00\x01\x06\x00\nendstream"s,
       true, 2},
      {"zero widths say nothing",
       "1 0 obj\n<< /Type /XRef /Size 2000000000 /W [0 0 0] /Length 1 >>\nstream\nx\nendstream", true, 0},
      {"not an XRef stream", "1 0 obj\n<< /Type /ObjStm /Size 2 /W [1 1 1] /Length 0 >>\nstream\n\nendstream", false,
       0},
      {"/Size must be direct", "1 0 obj\n<< /Type /XRef /Size 3 0 R /W [1 1 1] >>\nstream\n\nendstream", false, 0},
  };
  for (const auto& c : cases) {
    TPDFXRefReader reader(c.File);
    TRecorder rec(reader);
    EXPECT_EQ(reader.ReadSection(0), c.Ok) << c.Name;
    EXPECT_EQ(rec.Entries.size(), c.Entries) << c.Name;
  }
}

TEST(XRefReader, EmptySubsections) {
  const std::string entry = "0000000017 00000 n\r\n";
  struct {
    const char* Name;
    std::string File;
    std::vector<TEntry> Entries;
  } cases[] = {
      {"only an empty subsection", "xref\n0 0\ntrailer\n<< /Size 1 >>\n", {}},
      {"line ends and blanks before the trailer",
       "xref\r\n0 0 \r\n" + std::string(30, ' ') + "\r\ntrailer\n<< /Size 1 >>\n",
       {}},
      {"empty subsection before a full one",
       "xref\n0 0\n4 1\n" + entry + "trailer\n<< /Size 5 >>\n",
       {{4, 17, 'n', 0}}},
      {"empty subsection after a full one", "xref\n4 1\n" + entry + "9 0\ntrailer\n<< /Size 5 >>\n", {{4, 17, 'n', 0}}},
  };
  for (const auto& c : cases) {
    TPDFXRefReader reader(c.File);
    TRecorder rec(reader);
    EXPECT_TRUE(reader.ReadSection(0)) << c.Name;
    EXPECT_EQ(rec.Entries, c.Entries) << c.Name;
    EXPECT_EQ(rec.Trailers.size(), 1u) << c.Name;
  }
}

TEST(XRefReader, FieldsWiderThanFourBytes) {
  struct {
    const char* Name;
    std::string W;
    std::string Data;
    std::vector<TEntry> Entries;
  } cases[] = {
      {"wide generation", "1 4 6", "01 0000012c 000000000002  02 00000007 000000000003",
       {{0, 300, 'n', 2}, {1, 7, 'c', 3}}},
      {"wide offset", "1 8 2", "01 000000000000012c 0000  01 0000000000000190 0001",
       {{0, 300, 'n', 0}, {1, 400, 'n', 1}}},
      {"a value beyond the low four bytes reads as free", "1 8 2", "01 000000010000012c 0000  01 0000000000000190 0000",
       {{0, 0, 'f', 0}, {1, 400, 'n', 0}}},
      {"a wide type field", "5 4 1", "0000000001 0000012c 00  0100000001 00000190 00",
       {{0, 300, 'n', 0}, {1, 0, 'f', 0}}},
  };
  for (const auto& c : cases) {
    const std::string data = HexToBytes(c.Data);
    const std::string file = "1 0 obj\n<< /Type /XRef /Size 2 /W [" + c.W + "] /Length " +
                             std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
    TPDFXRefReader reader(file);
    TRecorder rec(reader);
    EXPECT_TRUE(reader.ReadSection(0)) << c.Name;
    EXPECT_EQ(rec.Entries, c.Entries) << c.Name;
  }
}
