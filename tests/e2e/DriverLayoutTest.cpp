// SMART, POSITION and ORIGINAL output of files from real producers, byte for byte. The expected
// layouts were compared with the pages rendered by pdftoppm, and every POSITION corner
// with the word boxes of pdftotext -bbox (tests/fixtures/README.md).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/RunProcess.h"

namespace {

std::string FixturePath(const std::string& name) { return std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/" + name; }

std::string ReadFixture(const std::string& name) {
  std::ifstream in(FixturePath(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(DriverEndToEnd, SmartAndPositionOfProducedFiles) {
  struct Case {
    const char* Pdf;
    const char* Type;
    const char* Expected;
  };
  const Case cases[] = {
      // Unembedded standard fonts measured by the built-in metrics.
      {"gs_layout.pdf", "SMART", "layout/gs_layout.smart.txt"},
      {"gs_layout.pdf", "POSITION", "layout/gs_layout.position.txt"},
      // Embedded Type 1C subsets with ToUnicode maps.
      {"cairo_layout.pdf", "SMART", "layout/cairo_layout.smart.txt"},
      {"cairo_layout.pdf", "POSITION", "layout/cairo_layout.position.txt"},
      // Tables turned on pages rotated by 90 and 270 degrees: SMART as seen, POSITION unrotated.
      {"pdflatex_rotated.pdf", "SMART", "layout/pdflatex_rotated.smart.txt"},
      {"pdflatex_rotated.pdf", "POSITION", "layout/pdflatex_rotated.position.txt"},
      // Indices, exponents, a footnote mark and logos on the lines they belong to.
      {"pdflatex_indices.pdf", "SMART", "layout/pdflatex_indices.smart.txt"},
      // Non-embedded CID fonts through predefined CMaps without ToUnicode maps; three columns
      // down through Identity-V under a title across.
      {"cjk/gbk-euc.pdf", "ORIGINAL", "cjk/gbk-euc.original.txt"},
      {"cjk/uhc.pdf", "ORIGINAL", "cjk/uhc.original.txt"},
      {"cjk/vertical.pdf", "ORIGINAL", "cjk/vertical.original.txt"},
      {"cjk/vertical.pdf", "SMART", "cjk/vertical.smart.txt"},
      {"cjk/vertical.pdf", "POSITION", "cjk/vertical.position.txt"},
  };
  // Console mode still creates a missing output file: it is named in a scratch folder, so that
  // no empty text file lands beside the fixtures.
  const TTempDir scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Pdf) + " " + c.Type);
    const std::string expected = ReadFixture(c.Expected);
    ASSERT_FALSE(expected.empty());
    const TProcessResult r =
        RunVorbix({FixturePath(c.Pdf), scratch.File("out.txt"), "-T", std::string("-O") + c.Type});
    EXPECT_EQ(r.Stdout, expected);
    EXPECT_EQ(r.ExitCode, 0);
  }
}
