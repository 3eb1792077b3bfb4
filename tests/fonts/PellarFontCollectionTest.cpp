#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fonts/PellarFontCache.h"
#include "fonts/PellarFontCollection.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "tests/support/FontTestSupport.h"

namespace {

// Descendants that are not exactly one font give a composite record of the Type0 font's
// own; the records loaded before keep their Ids and flags.
TEST(PellarFontCollection, Type0WithoutOneDescendantGetsARecordOfItsOwn) {
  const std::vector<std::string> descendants = {"", "/DescendantFonts []", "/DescendantFonts [3 0 R 3 0 R]",
                                                "/DescendantFonts 3 0 R", "/DescendantFonts [1 0 R]"};
  for (const std::string& entry : descendants) {
    SCOPED_TRACE(entry);
    TTestPdfWriter writer;
    writer.Add("<< /Subtype /Type0 /BaseFont /Outer /Encoding /Identity-H " + entry + " >>");
    writer.Add("<< /Subtype /Type1 /BaseFont /Before >>");
    writer.Add("<< /Subtype /CIDFontType2 /BaseFont /Inner /DW 500 >>");
    TFontTestDocument file(writer);
    ASSERT_TRUE(file.Loaded);
    TPDFFontCollection fonts;
    fonts.SelectFont(file.Ref(2));
    fonts.SelectFont(file.Ref(1));
    ASSERT_EQ(fonts.RecordCount(), 2);
    EXPECT_EQ(fonts.Record(0).Id, 2);
    EXPECT_EQ(fonts.Record(0).FontName, "Before");
    EXPECT_FALSE(fonts.Record(0).Composite);
    const TPDFFontCollectionData* font = fonts.Current();
    ASSERT_EQ(font, &fonts.Record(1));
    EXPECT_EQ(font->Id, 1);
    EXPECT_TRUE(font->Composite);
    EXPECT_EQ(font->EncodingName, "Identity-H");
    // A Type0 font named as its own descendant is read once more, without descendants.
    EXPECT_EQ(font->FontName, "Outer");
    EXPECT_FALSE(fonts.CompositeWidth(5).has_value());
  }
}

TEST(PellarFontCollection, SelectionByReferenceAndById) {
  TTestPdfWriter writer;
  writer.Add("<< /Subtype /Type1 /BaseFont /First >>");
  writer.Add("<< /Subtype /Type1 /BaseFont /Second >>");
  TFontTestDocument file(writer);
  ASSERT_TRUE(file.Loaded);
  TPDFFontCollection fonts;
  fonts.SelectFont(nullptr);
  EXPECT_EQ(fonts.Current(), nullptr);
  EXPECT_TRUE(fonts.SplitCodes("ab").empty());
  EXPECT_EQ(fonts.CodeToUnicode(65), u"");
  fonts.SelectFont(file.Ref(2));
  fonts.SelectFont(file.Ref(1));
  fonts.SelectFont(file.Ref(2));
  EXPECT_EQ(fonts.RecordCount(), 2);
  EXPECT_EQ(fonts.Current()->FontName, "Second");
  fonts.SelectFontById(1);
  EXPECT_EQ(fonts.Current()->FontName, "First");
  fonts.SelectFontById(7);
  EXPECT_EQ(fonts.Current()->FontName, "First");
  fonts.LoadDirectFont(As<TPDFDictionary>(file.Document.Pool().Parse("<< /Subtype /Type1 /BaseFont /Direct >>")));
  EXPECT_EQ(fonts.RecordCount(), 3);
  EXPECT_EQ(fonts.Current()->FontName, "Direct");
  EXPECT_EQ(fonts.Current()->Id, 0);
  // An object that is no font dictionary still gives a record, with no widths.
  TPDFFontCollection other;
  other.SelectFont(file.Ref(99));
  ASSERT_NE(other.Current(), nullptr);
  EXPECT_EQ(other.Current()->FontName, "Arial");
  EXPECT_EQ(other.Current()->Widths[65], 0);
}

// A collection given the document's cache takes the records an earlier collection built.
TEST(PellarFontCollection, CacheHandsOnRecordsPerDocument) {
  TTestPdfWriter writer;
  writer.Add("<< /Subtype /Type1 /BaseFont /First /FirstChar 65 /LastChar 65 /Widths [321] >>");
  writer.Add("<< /Subtype /Type0 /BaseFont /Second /Encoding /Identity-H /DescendantFonts [3 0 R] >>");
  writer.Add("<< /Subtype /CIDFontType0 /BaseFont /Second /W [1 [600]] >>");
  TFontTestDocument file(writer);
  ASSERT_TRUE(file.Loaded);
  TFakeFontCatalogue noFonts;
  TScopedFontCatalogue installed(noFonts);
  TPDFFontCache cache;
  const TPDFFontCollectionData* first = nullptr;
  for (int page = 0; page < 3; ++page) {
    TPDFFontCollection fonts(&cache);
    fonts.LoadFontPrograms = true;
    fonts.SelectFont(file.Ref(2));
    fonts.SelectFont(file.Ref(1));
    EXPECT_EQ(fonts.Current()->Widths[65], 321);
    if (!first) first = fonts.Current();
    EXPECT_EQ(fonts.Current(), first);
    fonts.SelectFontById(2);
    EXPECT_EQ(fonts.CompositeWidth(1), 600);
    EXPECT_EQ(fonts.Current()->Id, 2);
  }
  EXPECT_EQ(cache.Count(), 2u);
  // Another setting of LoadFontPrograms builds its own record.
  TPDFFontCollection plain(&cache);
  plain.SelectFont(file.Ref(1));
  EXPECT_NE(plain.Current(), first);
  EXPECT_EQ(cache.Count(), 3u);
}

}  // namespace
