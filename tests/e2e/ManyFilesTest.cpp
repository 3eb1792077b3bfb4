// Runs the manual page's recipes for a whole folder tree, as the page writes them, with
// the built binary first on the PATH, and the README's recipe for many machines over SSH.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/PdfWriter.h"
#include "tests/support/PrivateSshd.h"
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

// The commands of example lines, a line ending in "|" or "\\" joined to the next.
std::vector<std::string> Commands(const std::vector<std::string>& lines) {
  std::vector<std::string> commands;
  std::string command;
  for (const std::string& line : lines) {
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    command += line.substr(line.find_first_not_of(' '));
    if (command.back() == '\\') command.pop_back();
    if (command.back() == '|') command += ' ';
    if (command.back() != ' ') commands.push_back(std::exchange(command, ""));
  }
  return commands;
}

// The example commands of the manual page, as the shell gets them.
std::vector<std::string> PageCommands(const std::string& page) {
  std::vector<std::string> lines;
  std::istringstream in(page);
  bool example = false;
  for (std::string line; std::getline(in, line);) {
    if (line == ".EX" || line == ".EE")
      example = line == ".EX";
    else if (example)
      lines.push_back(Unescape(line));
  }
  return Commands(lines);
}

// The commands of the code blocks (lines indented by four blanks) of a section of the README.
std::vector<std::string> ReadmeCommands(const std::string& heading) {
  std::vector<std::string> lines;
  std::istringstream in(ReadSourceFile("README.md"));
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("#", 0) == 0)
      inside = line == heading;
    else if (inside && line.rfind("    ", 0) == 0)
      lines.push_back(line);
  }
  return Commands(lines);
}

bool Remote(const std::string& command) { return command.find("--sshloginfile") != std::string::npos; }

}  // namespace

TEST(ManyFiles, EveryDocumentOfTheTreeGetsItsText) {
  std::vector<std::string> recipes;
  for (const std::string& command : PageCommands(ReadSourceFile("doc/vorbix.1")))
    if (command.rfind("find . ", 0) == 0 && !Remote(command)) recipes.push_back(command);
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

// Two "hosts" that are both a private sshd on this machine, the built binary standing in for the
// installed package there: the texts come back as a local run writes them, and the job log tells
// the file that failed, for the listing and the retry.
TEST(ManyFiles, TheReadmesRecipeRunsOverSshHostsAsOnOneMachine) {
  const std::vector<std::string> recipe = ReadmeCommands("### Many machines");
  ASSERT_EQ(recipe.size(), 3u);  // the run, the listing of the failures, the retry
  const std::vector<std::string> page = PageCommands(ReadSourceFile("doc/vorbix.1"));
  for (const std::string& command : recipe)
    EXPECT_NE(std::find(page.begin(), page.end(), command), page.end()) << command;
  ASSERT_TRUE(Remote(recipe[0]) && Remote(recipe[2]));

  TTempDir scratch;
  const std::filesystem::path tree = scratch.File("tree"), local = scratch.File("local"), home = scratch.File("home");
  std::filesystem::create_directories(home / ".parallel");
  std::filesystem::create_directories(scratch.File("remote"));
  std::ofstream(home / ".parallel/will-cite");
  std::ofstream(home / "vorbix-hosts") << "host-a\nhost-b\n";
  const std::string source = VORBIX_SOURCE_DIR;
  const std::pair<const char*, const char*> files[] = {
      {"examples/sample.pdf", "sample.pdf"},
      {"tests/fixtures/locked/aes-256-r6.pdf", "locked.pdf"},
      {"tests/fixtures/damaged/objstm-no-startxref.pdf", "scans 2024/damaged.PDF"},
      {"tests/fixtures/cairo_layout.pdf", "scans 2024/-cairo_layout.pdf"},
      {"tests/fixtures/gs_letters.pdf", "scans 2024/deep/gs_letters.pdf"},
      {"tests/fixtures/groff_notes.pdf", "notes/groff_notes.pdf"},
      {"tests/fixtures/reportlab_forms.pdf", "forms/reportlab_forms.pdf"},
  };
  for (const auto& [fixture, name] : files)
    for (const std::filesystem::path& root : {tree, local}) {
      std::filesystem::create_directories((root / name).parent_path());
      std::filesystem::copy_file(source + "/" + fixture, root / name);
    }
  for (const auto& [fixture, name] : files) RunVorbix({(local / name).string()});

  const std::string bin = std::filesystem::path(VORBIX_BINARY).parent_path().string();
  const TPrivateSshd sshd(scratch.File("sshd"), scratch.File("remote"), bin);
  const auto run = [&](const std::string& command) {
    // The local HOME holds the host list; parallel logs in to the hosts with the server's client command.
    const std::string env = "HOME='" + home.string() + "' PARALLEL_SSH='" + sshd.SshCommand() + "'; ";
    return RunProcess("/bin/sh", {"-c", env + "export HOME PARALLEL_SSH; " + command}, tree.string());
  };
  EXPECT_EQ(run(recipe[0]).ExitCode, 1);  // the number of files that failed
  for (const auto& [fixture, name] : files) {
    const std::filesystem::path text = std::filesystem::path(name).replace_extension(".txt");
    SCOPED_TRACE(text);
    const bool fails = std::string(name) == "locked.pdf";
    EXPECT_EQ(std::filesystem::exists(local / text), !fails);
    EXPECT_EQ(std::filesystem::exists(tree / text), !fails);
    EXPECT_EQ(scratch.Read("tree/" + text.string()), scratch.Read("local/" + text.string()));
  }
  EXPECT_EQ(run(recipe[1]).Stdout, "4: vorbix ./locked.pdf\n");
  // The retry runs the failed file alone, which fails again.
  EXPECT_EQ(run(recipe[2]).ExitCode, 1);
  EXPECT_EQ(run(recipe[1]).Stdout, "4: vorbix ./locked.pdf\n4: vorbix ./locked.pdf\n");
  // --cleanup left nothing on the hosts.
  EXPECT_TRUE(std::filesystem::is_empty(scratch.File("remote")));
}
