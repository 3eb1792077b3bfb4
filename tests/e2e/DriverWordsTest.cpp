// Words as a reader sees them in SMART output of files from real producers (made as
// tests/fixtures/README.md tells): each expected text must end an output line.
#include <gtest/gtest.h>

#include "tests/support/RunProcess.h"

TEST(DriverEndToEnd, WordsOfProducedFiles) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"words/times_words.pdf",
       {"TEST TEST set word by word at the word space of Times", "62 Mississippi River Blvd N",
        "Kerned pairs stay whole: AVAVA WAVE"}},
      // Word gaps inside strings by character spacing ("2.5 Tc (wh) Tj"), brackets in another font.
      {"groff_man.pdf", {"sample - show how a manual page reads back", "sample  [-v] [-o  file]  input..."}},
      {"words/clipped_cells.pdf", {"Blvd N          03/25/2016            12.50", "Main St         12/31/2019            12.50"}},
      {"words/nbsp_font.pdf", {"Numbers between fonts read apart"}},
      {"words/ocr_glyphs.pdf", {"Hangzhou West Lake", "scanned pages read back as words"}},
  };
  const TTempDir scratch;
  for (const auto& [pdf, lines] : cases) {
    const std::string path = std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/" + pdf;
    const TProcessResult r = RunVorbix({path, scratch.File("out.txt"), "-T", "-OSMART"});
    EXPECT_EQ(r.ExitCode, 0) << pdf;
    for (const std::string& line : lines) EXPECT_NE(r.Stdout.find(" " + line + "\r\n"), std::string::npos) << line;
  }
}
