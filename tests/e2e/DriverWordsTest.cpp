// Words as a reader sees them in SMART output of files from real producers: words set one by
// one, word gaps made by character spacing, table cells padded with clipped blanks, word spaces
// in a font of their own and glyphs placed one by one (tests/fixtures/README.md).
#include <gtest/gtest.h>

#include "tests/support/RunProcess.h"

namespace {

std::string FixturePath(const std::string& name) { return std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/" + name; }

}  // namespace

TEST(DriverEndToEnd, WordsOfProducedFiles) {
  struct Case {
    const char* Pdf;
    std::vector<std::string> Lines;  // each ends a line of the output
  };
  const Case cases[] = {
      {"words/times_words.pdf",
       {"TEST TEST set word by word at the word space of Times\r\n", "62 Mississippi River Blvd N\r\n",
        "Kerned pairs stay whole: AVAVA WAVE\r\n"}},
      // Word gaps inside strings by character spacing ("2.5 Tc (wh) Tj"), brackets in another font.
      {"groff_man.pdf",
       {"sample - show how a manual page reads back\r\n", "sample  [-v] [-o  file]  input...\r\n",
        "so that groff stretches the spaces between the words and the PostScript output places each\r\n"}},
      {"words/clipped_cells.pdf",
       {"Blvd N          03/25/2016            12.50\r\n", "River Rd        04/01/2017            12.50\r\n",
        "Main St         12/31/2019            12.50\r\n"}},
      {"words/nbsp_font.pdf", {"Numbers between fonts read apart\r\n"}},
      {"words/ocr_glyphs.pdf", {"Hangzhou West Lake\r\n", "scanned pages read back as words\r\n"}},
  };
  const TTempDir scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Pdf);
    const TProcessResult r = RunVorbix({FixturePath(c.Pdf), scratch.File("out.txt"), "-T", "-OSMART"});
    EXPECT_EQ(r.ExitCode, 0);
    for (const std::string& line : c.Lines) EXPECT_NE(r.Stdout.find(" " + line), std::string::npos) << line;
  }
}
