#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fonts/PellarFontDictionary.h"
#include "pdf/PellarObjects.h"
#include "tests/support/FontTestSupport.h"

namespace {

// Object 1 is the font; further bodies follow as objects 2, 3, ...
TFontDictionary ReadFont(const std::vector<std::string>& bodies, bool programs = false) {
  TTestPdfWriter writer;
  for (const std::string& body : bodies) writer.Add(body);
  TFontTestDocument file(writer);
  EXPECT_TRUE(file.Loaded);
  return ReadFontDictionary(file.Ref(1), {programs});
}

std::string Numbers(int first, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += std::to_string(first + i) + " ";
  return out;
}

// Only elements that land on codes 0 to 255 are read, whatever /FirstChar, /LastChar and
// the length of /Widths claim.
TEST(PellarFontDictionary, WidthsLandOnCodes0To255) {
  struct TCase {
    const char* Name;
    std::string Entries;
    std::map<int, double> Expected;  // every code given a width
  };
  std::map<int, double> upTo255;
  for (int c = 32; c <= 255; ++c) upTo255[c] = 1000 + c - 32;
  const std::vector<TCase> cases = {
      {"FirstChar 32 LastChar 300", "/FirstChar 32 /LastChar 300 /Widths [" + Numbers(1000, 269) + "]", upTo255},
      {"first below 0", "/FirstChar -2 /LastChar 1 /Widths [10 20 30 40]", {{0, 30}, {1, 40}}},
      {"first far below 0", "/FirstChar -2000000000 /LastChar 5 /Widths [1 2 3]", {}},
      {"first above last", "/FirstChar 5 /LastChar 3 /Widths [1 2 3]", {}},
      {"short array", "/FirstChar 0 /LastChar 9 /Widths [1 2.5]", {{0, 1}, {1, 2.5}}},
      {"non-numbers and references are 0", "/FirstChar 7 /LastChar 9 /Widths [100 2 0 R /x]",
       {{7, 100}, {8, 0}, {9, 0}}},
      {"array by reference", "/FirstChar 65 /LastChar 65 /Widths 2 0 R", {{65, 333}}},
      {"no LastChar", "/FirstChar 65 /Widths [1]", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFontDictionary font = ReadFont({"<< /Type /Font /Subtype /Type1 " + c.Entries + " >>", "[333]"});
    EXPECT_EQ(font.WidthGiven.count(), c.Expected.size());
    for (const auto& [code, width] : c.Expected) {
      EXPECT_TRUE(font.WidthGiven[code]) << code;
      EXPECT_EQ(font.Widths[code], width) << code;
    }
  }
}

TEST(PellarFontDictionary, EncodingForms) {
  struct TCase {
    const char* Name;
    std::string Encoding;
    TEncodingForm Form;
    std::optional<std::string> BaseName;
    std::map<int, std::string> Differences;  // empty: no /Differences
  };
  const std::vector<TCase> cases = {
      {"name", "/WinAnsiEncoding", TEncodingForm::Name, "WinAnsiEncoding", {}},
      {"dictionary", "<< /BaseEncoding /MacRomanEncoding /Differences [32 /space /a 300 /x -1 /y 255 /last /over] >>",
       TEncodingForm::Dictionary, "MacRomanEncoding", {{32, "space"}, {33, "a"}, {255, "last"}}},
      {"later entries win", "<< /Differences [65 /B 65 /C 2 0 R /D] >>", TEncodingForm::Dictionary, {},
       {{65, "C"}, {66, "D"}}},
      {"dictionary by reference", "2 0 R", TEncodingForm::Dictionary, "StandardEncoding", {{1, "one"}}},
      {"the font itself", "1 0 R", TEncodingForm::Dictionary, {}, {}},
      {"number", "5", TEncodingForm::None, {}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFontDictionary font = ReadFont({"<< /Subtype /Type1 /Encoding " + c.Encoding + " >>",
                                     "<< /BaseEncoding /StandardEncoding /Differences [1 /one] >>"});
    EXPECT_EQ(font.EncodingForm, c.Form);
    EXPECT_EQ(font.EncodingName, c.BaseName);
    ASSERT_EQ(font.Differences.has_value(), !c.Differences.empty());
    if (!font.Differences) continue;
    EXPECT_EQ(font.Differences->Assigned.count(), c.Differences.size());
    for (const auto& [code, name] : c.Differences) EXPECT_EQ(font.Differences->Names[code], name) << code;
  }
}

TEST(PellarFontDictionary, CIDFontEntries) {
  struct TCase {
    std::string Entries;
    std::string SystemInfo;
    std::optional<int32_t> DW;
  };
  const std::vector<TCase> cases = {
      {"/CIDSystemInfo << /Registry (Adobe) /Ordering (Japan1) /Supplement 4 >> /DW 500", "Adobe-Japan1-4", 500},
      {"/CIDSystemInfo 2 0 R /DW 499.5", "Adobe-Identity-0", 500},
      {"/CIDSystemInfo << /Registry (Adobe) /Supplement 2 >>", "Adobe--2", {}},
      {"/CIDSystemInfo << /Registry /Adobe /Ordering (GB1) /Supplement (x) >>", "-GB1-", {}},
      {"/CIDSystemInfo [(Adobe) (Japan1) 4]", "", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Entries);
    TFontDictionary font =
        ReadFont({"<< /Subtype /CIDFontType2 " + c.Entries + " /W [1 [600]] >>",
                  "<< /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"});
    EXPECT_EQ(font.Subtype, TFontSubtype::CIDFontType2);
    EXPECT_EQ(font.CIDSystemInfo, c.SystemInfo);
    EXPECT_EQ(font.DW, c.DW);
    EXPECT_EQ(font.W.Width(1), 600);
  }
}

// A Type0 font's single descendant is read, but not the descendants of that one, so a
// font that names itself (or another Type0 font) as its descendant ends there.
TEST(PellarFontDictionary, DescendantsAreReadOneLevelDeep) {
  struct TCase {
    const char* Descendants;
    int32_t Count;
    bool Read;
  };
  const std::vector<TCase> cases = {
      {"[2 0 R]", 1, true}, {"[1 0 R]", 1, true}, {"[]", 0, false}, {"[2 0 R 2 0 R]", 2, false},
      {"2 0 R", -1, false}, {"[<< /Subtype /CIDFontType0 >>]", 1, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Descendants);
    TFontDictionary font = ReadFont({std::string("<< /Subtype /Type0 /Encoding /Identity-H /DescendantFonts ") +
                                         c.Descendants + " >>",
                                     "<< /Subtype /CIDFontType2 /BaseFont /Inner /DescendantFonts [1 0 R] >>"});
    EXPECT_EQ(font.DescendantCount, c.Count);
    ASSERT_EQ(font.Descendant != nullptr, c.Read);
    if (font.Descendant) {
      EXPECT_EQ(font.Descendant->DescendantCount, -1);
    }
  }
}

TEST(PellarFontDictionary, DescriptorAndPrograms) {
  const std::vector<std::string> bodies = {
      "<< /Subtype /Type1 /FontDescriptor 2 0 R >>",
      "<< /MissingWidth 3 0 R /Ascent 0.9 /Descent (x) /Flags 34 /FontFile 4 0 R /FontFile3 5 0 R /FontDescriptor 2 0 R >>",
      "250",
      "<< /Length 10 /Length1 6 0 R /Length2 -5 /Length3 0 >>\nstream\nclear text\nendstream",
      "<< /Length 7 /Subtype /Type1C >>\nstream\ncompact\nendstream",
      "4"};
  for (bool programs : {false, true}) {
    SCOPED_TRACE(programs);
    TFontDictionary font = ReadFont(bodies, programs);
    EXPECT_TRUE(font.HasDescriptor);
    EXPECT_EQ(font.MissingWidth, 250);
    EXPECT_EQ(font.Ascent, 0.9);
    EXPECT_EQ(font.Descent, 0);
    EXPECT_EQ(font.Flags, 34);
    EXPECT_EQ(font.FontFile.Present, programs);
    EXPECT_EQ(font.FontFile.Length1, programs ? 4 : 0);
    EXPECT_EQ(font.FontFile.Length2, programs ? -5 : 0);
    EXPECT_EQ(font.FontFile.Data, programs ? "clear text" : "");
    EXPECT_TRUE(font.FontFile3.Present);
    EXPECT_EQ(font.FontFile3.Data, "compact");
  }
}

}  // namespace
