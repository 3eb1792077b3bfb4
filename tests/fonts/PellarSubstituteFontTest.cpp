#include <gtest/gtest.h>

#include "fonts/PellarFontPrograms.h"
#include "tests/support/FontTestSupport.h"

namespace {

std::string Describe(const TSubstituteFace& face) {
  return face.Family + (face.Bold ? ",Bold" : "") + (face.Italic ? ",Italic" : "");
}

// These names do not reach the standard fonts' patterns, or reach a pattern whose substitute
// is the name itself, so the rules are seen alone.
TEST(PellarSubstituteFont, NamingRules) {
  struct TCase {
    const char* Name;
    int32_t Flags;
    std::vector<std::string> Families;
    const char* Expected;
  } cases[] = {
      {"ABCDEF+Arial-BoldMT", 0, {}, "Arial,Bold"},
      {"MyFont", 34, {}, "Times New Roman"},
      {"MyFont", 1, {}, "Courier"},
      {"MyFont", 3, {}, "Times New Roman"},
      {"MyFont", 64, {}, "Arial,Italic"},
      {"MyFont-Bold", 65, {}, "Courier,Bold,Italic"},
      {"MyFont", 0, {"MyFont"}, "MyFont"},
      {"MyFont-Italic", 0, {"MyFont"}, "MyFont,Italic"},
      {"MyFont-Oblique", 0, {"MyFont"}, "MyFont,Italic"},
      {"MyFont-BoldItalic", 0, {"MyFont"}, "MyFont,Bold,Italic"},
      {"MyFont-BoldOblique", 0, {"MyFont"}, "MyFont,Bold,Italic"},
      {"MyFont,Bold-Bold", 0, {"MyFont"}, "MyFont,Bold"},
      {"MyFontMT", 0, {"MyFont"}, "MyFont"},
      {"MT-MyFont", 0, {"MyFont"}, "MyFont"},
      {"MyFontItalic", 0, {"MyFont"}, "MyFont,Italic"},
      {"MyFontItalic", 0, {"MyFont", "MyFontItalic"}, "MyFont,Italic"},  // the first family in order
      {"TimesNewRoman,Bold", 0, {"Liberation Serif", "Times New Roman"}, "Times New Roman,Bold"},
      {"FooBar", 0, {"Foo Bar", "FooBar"}, "Foo Bar"},
      {"ABCDE+MyFont", 0, {"ABCDE", "MyFont"}, "ABCDE"},            // five letters: no tag; cut at "+"
      {"abcdef+MyFont", 0, {"MyFont", "abcdef"}, "abcdef"},
      {"ABCDEF+MyFont+Extra", 0, {"MyFont"}, "MyFont"},
      {"ABCDEF+", 0, {"ABCDEF"}, "ABCDEF"},                         // seven characters: no tag
      {"myfont", 0, {"MyFont"}, "Arial"},                            // case counts
  };
  for (const TCase& c : cases)
    EXPECT_EQ(Describe(SubstituteFont(c.Name, c.Flags, c.Families)), c.Expected) << c.Name << " " << c.Flags;
}

TEST(PellarSubstituteFont, ProgramThroughTheCatalogue) {
  const std::string trueType = FontFixture("post2.ttf"), compact = FontFixture("enc0.otf");
  // The size limit is lowered to the TrueType font's size: one byte more is too large.
  const size_t limit = trueType.size();
  const std::string big = trueType + '\0';
  struct TCase {
    const char* Label;
    std::vector<std::tuple<std::string, bool, std::string>> Faces;  // family, bold, data
    std::string Name;
    std::vector<std::string> Requests;
    bool Program;
    std::optional<int32_t> AdvanceOfA;
  } cases[] = {
      {"an installed family", {{"MyFont", true, trueType}}, "MyFont-Bold", {"MyFont,Bold"}, true, 666},
      {"the default family", {{"Arial", false, trueType}}, "Unknown", {"Arial"}, true, 666},
      {"a compact face gives no widths", {{"MyFont", false, compact}}, "MyFont", {"MyFont"}, false, {}},
      {"no face", {}, "MyFont", {"Arial"}, false, {}},
      {"past the limit: Arial in the same style", {{"Big", true, big}, {"Arial", true, trueType}}, "Big,Bold",
       {"Big,Bold", "Arial,Bold"}, true, 666},
      {"Arial past the limit as well", {{"Big", false, big}, {"Arial", false, big}}, "Big", {"Big", "Arial"}, false, {}},
      {"exactly the limit is read", {{"Big", false, trueType}}, "Big", {"Big"}, true, 666},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    TFakeFontCatalogue catalogue;
    for (const auto& [family, bold, data] : c.Faces) catalogue.Add(family, bold, false, data);
    const std::unique_ptr<TTrueTypeProgram> program = SubstituteProgram(c.Name, 0, catalogue, limit);
    EXPECT_EQ(catalogue.Requests, c.Requests);
    ASSERT_EQ(program != nullptr, c.Program);
    if (program) {
      EXPECT_EQ(program->GlyphAdvance("A"), c.AdvanceOfA);
    }
  }
}

TEST(PellarSubstituteFont, CatalogueInPlaceOfTheSystems) {
  TFakeFontCatalogue first, second;
  Platform::TFontCatalogue& system = Platform::FontCatalogue();
  {
    TScopedFontCatalogue one(first);
    EXPECT_EQ(&Platform::FontCatalogue(), &first);
    EXPECT_EQ(Platform::SetFontCatalogue(&second), &first);
    EXPECT_EQ(&Platform::FontCatalogue(), &second);
    EXPECT_EQ(Platform::SetFontCatalogue(&first), &second);
  }
  EXPECT_EQ(&Platform::FontCatalogue(), &system);
  EXPECT_EQ(Platform::SetFontCatalogue(nullptr), nullptr);
}

}  // namespace
