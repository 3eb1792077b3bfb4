#include "platform/FontBytes.h"

#include <gtest/gtest.h>

#include <functional>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"
#include "tests/support/TestBytes.h"

using namespace Platform;

TEST(FontBytes, ReaderFailsForGood) {
  const std::string data = Bytes({0x12, 0x34, 0x56, 0x78, 0x9A});
  TFontReader in(data);
  EXPECT_EQ(in.U16(), 0x1234u);
  EXPECT_EQ(in.Card(3), 0x56789Au);
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(in.U8(), 0u);
  EXPECT_FALSE(in.Ok());
  in.Seek(0);  // a failed reader stays failed
  EXPECT_EQ(in.Pos(), 0u);
  EXPECT_FALSE(in.Ok());

  struct TCase {
    const char* Label;
    size_t Start;
    std::function<void(TFontReader&)> Read;
  } cases[] = {
      {"a number past the end", 3, [](TFontReader& r) { r.U32(); }},
      {"zero bytes", 0, [](TFontReader& r) { r.Card(0); }},
      {"five bytes", 0, [](TFontReader& r) { r.Card(5); }},
      {"bytes past the end", 1, [](TFontReader& r) { r.Bytes(5); }},
      {"a skip past the end", 0, [](TFontReader& r) { r.Skip(6); }},
      {"a start past the end", 6, [](TFontReader&) {}},
  };
  for (const TCase& c : cases) {
    TFontReader r(data, c.Start);
    c.Read(r);
    EXPECT_FALSE(r.Ok()) << c.Label;
    EXPECT_EQ(r.Pos(), data.size()) << c.Label;
    EXPECT_EQ(r.U8(), 0u) << c.Label;
  }
  TFontReader end(data, 5);
  EXPECT_EQ(end.Bytes(0), "");
  EXPECT_TRUE(end.Ok());
}

TEST(FontBytes, TableDirectory) {
  const std::string font = Sfnt({{"aaaa", "first"}, {"bbbb", "second"}, {"aaaa", "again"}});
  std::string longTable = font;
  longTable[12 + 16 + 15] = char(200);  // "bbbb" claims 200 bytes
  std::string farTable = font;
  farTable[12 + 16 + 8] = char(1);  // "bbbb" starts at 16 MB
  struct TCase {
    const char* Label;
    std::string Font, Tag;
    std::optional<std::string> Expected;
  } cases[] = {
      {"a table", font, "bbbb", "second"},
      {"the first of a tag", font, "aaaa", "first"},
      {"no such table", font, "cccc", std::nullopt},
      {"a table past the end is cut", longTable, "bbbb", longTable.substr(12 + 48 + 8)},
      {"a table starting past the end", farTable, "bbbb", std::nullopt},
      {"OpenType", Sfnt({{"CFF ", "x"}}, "OTTO"), "CFF ", "x"},
      {"Apple TrueType", Sfnt({{"post", "x"}}, "true"), "post", "x"},
      {"not a font", Sfnt({{"post", "x"}}, "wOFF"), "post", std::nullopt},
      {"records cut short", font.substr(0, 12 + 16 + 10), "aaaa", std::nullopt},
  };
  for (const TCase& c : cases) {
    const std::optional<std::string_view> table = FindSfntTable(c.Font, c.Tag);
    EXPECT_EQ(table ? std::optional<std::string>(*table) : std::nullopt, c.Expected) << c.Label;
  }
}

TEST(FontBytes, CollectionFaces) {
  const std::string sans = FontFixture("post2.ttf"), symbols = FontFixture("post1.ttf");
  const std::string collection = Collection({sans, symbols});
  const std::string second = CollectionFace(collection, 1);
  // Each table comes over whole, behind a directory of its own.
  for (const std::string tag : {"head", "hhea", "hmtx", "post", "glyf", "name"})
    EXPECT_EQ(FindSfntTable(second, tag), FindSfntTable(symbols, tag)) << tag;
  EXPECT_EQ(TTrueTypeProgram(second).GlyphAdvance("exclam"), 333);
  EXPECT_EQ(TTrueTypeProgram(CollectionFace(collection, 0)).GlyphAdvance("A"), 666);

  const std::string three = CollectionFace(Collection({Sfnt({{"aaaa", "1"}, {"bbbb", "22"}, {"cccc", "333"}})}), 0);
  EXPECT_EQ(BytesToHex(three),
            BytesToHex(Bytes({0, 1, 0, 0, 0, 3, 0, 0x20, 0, 1, 0, 0x10}) +     //
                       "aaaa" + Bytes({0, 0, 0, 0, 0, 0, 0, 60, 0, 0, 0, 1}) +  //
                       "bbbb" + Bytes({0, 0, 0, 0, 0, 0, 0, 64, 0, 0, 0, 2}) +  //
                       "cccc" + Bytes({0, 0, 0, 0, 0, 0, 0, 68, 0, 0, 0, 3}) + std::string("1\0\0\0" "22\0\0" "333\0", 12)));

  // One table named three times would make a face larger than the whole collection.
  std::string repeated = Bytes({0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0});
  for (const char* tag : {"aaaa", "bbbb", "cccc"}) repeated += tag + Bytes({0, 0, 0, 0, 0, 0, 0, 60, 0, 0, 4, 0});
  repeated += std::string(1024, 'x');
  struct TCase {
    const char* Label;
    std::string Data;
    uint32_t Index;
  } empty[] = {
      {"an index past the faces", collection, 2},
      {"a huge face count", collection.substr(0, 8) + Bytes({0xff, 0xff, 0xff, 0xff}), 70000},
      {"a face offset past the end", collection.substr(0, 12) + Bytes({0x7f, 0, 0, 0}), 0},
      {"a face that is no font", collection.substr(0, 16) + "garbage", 0},
      {"a table repeated", Collection({repeated}), 0},
  };
  for (const TCase& c : empty) EXPECT_EQ(CollectionFace(c.Data, c.Index), "") << c.Label;
  EXPECT_EQ(CollectionFace(sans, 5), sans);
}
