// Pins the generated tables: a regenerated table that changes fails here.
#include "data/PellarFontData.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "filters/PellarFlate.h"
#include "fonts/PellarCJKCMaps.h"
#include "fonts/PellarCMapTable.h"

namespace {

class TChecksum {
public:
  void Add(std::string_view bytes) {
    for (unsigned char ch : bytes) Value = (Value ^ ch) * 0x100000001B3ull;
  }
  void Add(int64_t number) { Add(std::to_string(number) + ";"); }
  uint64_t Value = 0xCBF29CE484222325ull;
};

template <class Row>
bool SortedByName(std::span<const Row> rows) {
  for (size_t i = 1; i < rows.size(); ++i)
    if (!(std::string_view(rows[i - 1].Name) < std::string_view(rows[i].Name))) return false;
  return true;
}

TEST(PellarFontData, GlyphTables) {
  EXPECT_EQ(LatinGlyphs().size(), 229u);
  EXPECT_EQ(SymbolGlyphs().size(), 189u);
  EXPECT_EQ(ExpertGlyphs().size(), 165u);
  EXPECT_EQ(GlyphList().size(), 4482u);
  EXPECT_EQ(HeiseiWidths().size(), 354u);
  EXPECT_TRUE(SortedByName(LatinGlyphs()));
  EXPECT_TRUE(SortedByName(SymbolGlyphs()));
  EXPECT_TRUE(SortedByName(ExpertGlyphs()));
  EXPECT_TRUE(SortedByName(GlyphList()));
  EXPECT_STREQ(LatinGlyphs().front().Name, "A");
  EXPECT_STREQ(LatinGlyphs().back().Name, "zero");

  std::set<std::string> withoutWinAnsi;
  TChecksum sum;
  for (const TLatinGlyph& row : LatinGlyphs()) {
    if (row.Codes[2] < 0) withoutWinAnsi.insert(row.Name);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(row.Widths[i], 600) << row.Name;
    sum.Add(row.Name);
    sum.Add(row.Unicode);
    for (int16_t code : row.Codes) sum.Add(code);
    for (uint16_t width : row.Widths) sum.Add(width);
  }
  EXPECT_EQ(withoutWinAnsi, (std::set<std::string>{"Lslash", "breve", "caron", "dotaccent", "dotlessi", "fi", "fl",
                                                    "fraction", "hungarumlaut", "lslash", "minus", "ogonek", "ring"}));
  const TLatinGlyph* euro = FindGlyphRow(LatinGlyphs(), "Euro");
  ASSERT_TRUE(euro);
  EXPECT_EQ(euro->Codes[2], 128);
  EXPECT_EQ(euro->Codes[3], 160);
  EXPECT_EQ(FindGlyphRow(LatinGlyphs(), "minus")->Unicode, 0x2D);
  const TSymbolGlyph* symbolEuro = FindGlyphRow(SymbolGlyphs(), "Euro");
  ASSERT_TRUE(symbolEuro);
  EXPECT_EQ(symbolEuro->Code, 160);
  EXPECT_EQ(symbolEuro->Unicode, 0x20AC);
  EXPECT_EQ(symbolEuro->Width, 750);
  EXPECT_EQ(FindGlyphRow(SymbolGlyphs(), "Omega")->Unicode, 0x2126);
  EXPECT_EQ(FindGlyphRow(SymbolGlyphs(), "arrowboth")->Width, 1042);
  EXPECT_EQ(FindGlyphRow(SymbolGlyphs(), "copyrightserif")->Unicode, 0xF6D9);
  EXPECT_EQ(FindGlyphRow(LatinGlyphs(), "Space"), nullptr);
  for (const TSymbolGlyph& row : SymbolGlyphs()) sum.Add(std::string(row.Name) + std::to_string(row.Code * 100000 + row.Unicode) + "/" + std::to_string(row.Width));
  for (const TExpertGlyph& row : ExpertGlyphs()) sum.Add(std::string(row.Name) + std::to_string(row.Code));
  for (const TGlyphListEntry& row : GlyphList()) {
    sum.Add(row.Name);
    for (const char16_t* unit = row.Text; *unit; ++unit) sum.Add(*unit);
  }
  for (const THeiseiWidth& row : HeiseiWidths()) sum.Add(row.Code * 10000 + row.Width);
  EXPECT_EQ(sum.Value, 9255232172949882203u);
}

TEST(PellarFontData, JapanMaps) {
  struct TCase {
    TJapanCMap Map;
    size_t Sections;
    uint64_t Checksum;
  } cases[] = {
      {TJapanCMap::CIDToUnicode, 8, 700154711529841670u},
      {TJapanCMap::MspRKSJ, 2, 14421622971276625003u},
      {TJapanCMap::MsRKSJ, 2, 15427607277163388268u},
  };
  for (const TCase& c : cases) {
    const std::string data = InflateData(std::string(JapanCMapData(c.Map)));
    TChecksum sum;
    sum.Add(data);
    EXPECT_EQ(sum.Value, c.Checksum) << static_cast<int>(c.Map);
    TPellarCMap map;
    map.LoadSections(data);
    EXPECT_EQ(map.SectionCount(), c.Sections);
  }
}

TEST(PellarFontData, ChineseAndKoreanMaps) {
  const std::span<const TCJKCMapName> names = CJKCMapNames();
  EXPECT_EQ(names.size(), 32u);
  EXPECT_TRUE(SortedByName(names));
  struct TCase {
    TCJKCollection Collection;
    size_t Maps;
    size_t TextSections;
    uint64_t Checksum;  // of both inflated blobs
  } cases[] = {
      {TCJKCollection::GB1, 12, 2, 4239387480193938153u},
      {TCJKCollection::CNS1, 10, 2, 16884361559448450921u},
      {TCJKCollection::Korea1, 10, 4, 6863227002720520633u},
  };
  for (const TCase& c : cases) {
    const std::string maps = InflateData(std::string(CJKCMapData(c.Collection, false)));
    const std::string text = InflateData(std::string(CJKCMapData(c.Collection, true)));
    TChecksum sum;
    sum.Add(maps);
    sum.Add(text);
    EXPECT_EQ(sum.Value, c.Checksum) << static_cast<int>(c.Collection);
    TPellarCMap textMap;
    textMap.LoadSections(text);
    EXPECT_EQ(textMap.SectionCount(), c.TextSections);
    TPellarCJKMaps loaded;
    loaded.Load(maps, text);
    EXPECT_EQ(loaded.MapCount(), c.Maps);
  }
}

}  // namespace
