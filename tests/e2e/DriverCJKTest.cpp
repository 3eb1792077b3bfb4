// Chinese, Korean and vertical Japanese pages in non-embedded CID fonts through predefined
// CMaps, without ToUnicode maps: the readers read them as pdftoppm renders them
// (tests/fixtures/README.md).
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

TEST(DriverEndToEnd, ChineseAndKoreanPredefinedCMaps) {
  struct Case {
    const char* Pdf;
    const char* Type;
    const char* Expected;
  };
  const Case cases[] = {
      {"cjk/gbk-euc.pdf", "ORIGINAL", "cjk/gbk-euc.original.txt"},
      {"cjk/gbk-euc.pdf", "SMART", "cjk/gbk-euc.smart.txt"},
      {"cjk/uhc.pdf", "ORIGINAL", "cjk/uhc.original.txt"},
      {"cjk/uhc.pdf", "SMART", "cjk/uhc.smart.txt"},
      // Three columns down through Identity-V under a title across through Identity-H.
      {"cjk/vertical.pdf", "ORIGINAL", "cjk/vertical.original.txt"},
      {"cjk/vertical.pdf", "SMART", "cjk/vertical.smart.txt"},
      {"cjk/vertical.pdf", "POSITION", "cjk/vertical.position.txt"},
  };
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

}  // namespace
