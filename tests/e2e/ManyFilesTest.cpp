// Runs the manual page's recipes for a whole folder tree, as the page writes them, with
// the built binary first on the PATH.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

namespace {

// Roff escapes the examples use, and what the shell gets for them.
std::string Unescape(std::string text) {
  const std::pair<std::string, std::string> escapes[] = {{"\\-", "-"}, {"\\(aq", "'"}, {"\\e", "\\"}};
  for (const auto& [roff, plain] : escapes)
    for (size_t at = 0; (at = text.find(roff, at)) != std::string::npos; at += plain.size())
      text.replace(at, roff.size(), plain);
  return text;
}

// The example commands that start with "find . ", a line ending in "|" joined to the next.
std::vector<std::string> FolderRecipes(const std::string& page) {
  std::vector<std::string> commands;
  std::istringstream lines(page);
  std::string line, command;
  bool example = false;
  while (std::getline(lines, line)) {
    if (line == ".EX" || line == ".EE") {
      example = line == ".EX";
      continue;
    }
    if (!example) continue;
    command += Unescape(line.substr(line.find_first_not_of(' ')));
    if (command.back() == '|') {
      command += ' ';
      continue;
    }
    if (command.rfind("find . ", 0) == 0) commands.push_back(command);
    command.clear();
  }
  return commands;
}

}  // namespace

TEST(ManyFiles, EveryDocumentOfTheTreeGetsItsText) {
  const std::vector<std::string> recipes = FolderRecipes(ReadSourceFile("doc/vorbix.1"));
  ASSERT_EQ(recipes.size(), 3u);
  const std::string bin = std::filesystem::path(VORBIX_BINARY).parent_path().string();
  const std::string pdf = MakeTestPdf({"", ""});
  // Only which recipe it is decides what it reports about the one file that fails.
  struct {
    const char* Tool;
    int ExitCode;
    std::string Stdout;  // a part of it
  } results[] = {
      {"parallel", 1, "Can not load file: $DIR/bad.pdf. Error code is: 401"},
      {"sh -c", 0, "4: ./bad.pdf\n"},
      {"xargs", 123, "Can not load file: $DIR/bad.pdf. Error code is: 401"},
  };
  for (const std::string& recipe : recipes) {
    SCOPED_TRACE(recipe);
    TTempDir dir;
    std::filesystem::create_directories(dir.File("sub dir/deep"));
    for (const char* name : {"a.pdf", "sub dir/b.PDF", "sub dir/deep/-c.pdf"}) dir.Write(name, pdf);
    dir.Write("bad.pdf", "not a PDF");
    dir.Write("notes.txt", "left alone");
    TProcessResult r = RunProcess("/bin/sh", {"-c", "PATH=\"" + bin + ":$PATH\"; " + recipe}, dir.Path());
    for (const char* name : {"a.txt", "sub dir/b.txt", "sub dir/deep/-c.txt"}) EXPECT_TRUE(dir.Exists(name)) << name;
    EXPECT_FALSE(dir.Exists("bad.txt"));
    EXPECT_EQ(dir.Read("notes.txt"), "left alone");
    auto result = std::find_if(std::begin(results), std::end(results),
                               [&](const auto& c) { return recipe.find(c.Tool) != std::string::npos; });
    ASSERT_NE(result, std::end(results));
    EXPECT_EQ(r.ExitCode, result->ExitCode);
    std::string expected = result->Stdout;
    if (size_t at = expected.find("$DIR"); at != std::string::npos) expected.replace(at, 4, dir.Path());
    EXPECT_NE(r.Stdout.find(expected), std::string::npos) << r.Stdout;
    EXPECT_EQ(r.Stderr, "");
  }
}
