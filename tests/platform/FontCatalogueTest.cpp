// The system's catalogue: the one test that reads installed fonts (tools/install-deps.sh
// installs fonts-liberation2, which fontconfig offers for "Arial").
#include "platform/FontCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/PellarFontPrograms.h"

TEST(FontCatalogue, SystemCatalogueGivesArial) {
  Platform::TFontCatalogue& system = Platform::FontCatalogue();
  const std::vector<std::string> families = system.Families();
  EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
  EXPECT_EQ(std::adjacent_find(families.begin(), families.end()), families.end());
  // Arial's metrics: "A" is 1366 of 2048 units (666 of 1000), in Arial and in its metric-compatible faces.
  const TTrueTypeProgram arial(system.FontData("Arial", false, false));
  EXPECT_EQ(arial.GlyphAdvance("A"), 666);
  EXPECT_EQ(arial.GlyphAdvance("space"), 277);
  EXPECT_EQ(TTrueTypeProgram(system.FontData("Arial", true, false)).GlyphAdvance("A"), 722);
}
