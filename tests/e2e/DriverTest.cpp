// Runs the built binary and checks its exact output and exit code.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/RunProcess.h"

namespace {

struct TCase {
  const char* Name;
  std::vector<std::string> Args;
  std::string Expected;  // "$DIR" stands for the test's directory
  int ExitCode;
};

std::string Expand(std::string text, const std::string& dir) {
  for (size_t at; (at = text.find("$DIR")) != std::string::npos;) text.replace(at, 4, dir);
  return text;
}

}  // namespace

TEST(DriverEndToEnd, UsageText) {
  const std::string usage = ReadSourceFile("tests/fixtures/usage.txt");
  ASSERT_FALSE(usage.empty());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"-?"}, {"a?b.pdf"}, {"?", "-Tx"}, {"", "-?"}}) {
    TProcessResult r = RunVorbix(args);
    EXPECT_EQ(r.Stdout, usage);
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Stderr, "");
  }
}

// Everything decided before or by loading: the source check, the option parsing
// and the load failure of a file that is not a PDF.
TEST(DriverEndToEnd, MessagesBeforeThePagesRun) {
  TTempDir dir;
  dir.Write("notes.pdf", "This is plain text, not a PDF.\n");
  dir.Write("empty.pdf", "");
  const std::string notLoaded = "Can not load file: $DIR/notes.pdf. Error code is: 401\r\n";
  const TCase cases[] = {
      {"missing source wins over bad options", {"missing.pdf", "-Q", "-Ofoo"}, "File not found: $DIR/missing.pdf\r\n", 3},
      {"first argument is always the source", {"-T", "notes.pdf"}, "File not found: $DIR/-T\r\n", 3},
      {"directory is not a file", {"."}, "File not found: $DIR\r\n", 3},
      {"relative path normalised", {"./sub/../missing.pdf"}, "File not found: $DIR/missing.pdf\r\n", 3},
      {"not a pdf", {"notes.pdf"}, notLoaded, 4},
      {"empty file", {"empty.pdf"}, "Can not load file: $DIR/empty.pdf. Error code is: 401\r\n", 4},
      {"dash alone", {"notes.pdf", "-"}, "Invalid parameters: -.\r\n", 2},
      {"-O alone", {"notes.pdf", "-O", "position"}, "Invalid parameters: -O.\r\n", 2},
      {"-O unknown value", {"notes.pdf", "-Oplain"}, "Invalid parameters: -Oplain.\r\n", 2},
      {"-Tx is unknown", {"notes.pdf", "-Tx"}, "Invalid parameters: -Tx.\r\n", 2},
      {"unknown option stops at once", {"notes.pdf", "-Z", "-Y"}, "Invalid parameters: -Z.\r\n", 2},
      {"later bad -O after good", {"notes.pdf", "-Osmart", "-Onone"}, "Invalid parameters: -Onone.\r\n", 2},
      {"case-insensitive prefixes", {"notes.pdf", "-oSmart", "-t", "-p odd", "-bx", "-hH", "-fF", "-w"}, notLoaded, 4},
      {"-O value trimmed", {"notes.pdf", "-O position "}, notLoaded, 4},
      {"values checked after loading", {"notes.pdf", "-Bx", "-E?", "-Pnone"}, notLoaded, 4},
      {"second argument as output file", {"notes.pdf", "out.txt", "-T"}, notLoaded, 4},
      {"empty argument skipped", {"notes.pdf", "", "-Z"}, "Invalid parameters: -Z.\r\n", 2},
      {"control characters in an option", {"notes.pdf", "-\x01\x02"}, "Invalid parameters: -\x01\x02.\r\n", 2},
      {"invalid utf-8 in an option", {"notes.pdf", "-\xff"}, "Invalid parameters: -\xef\xbf\xbd.\r\n", 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TProcessResult r = RunVorbix(c.Args, dir.Path());
    EXPECT_EQ(r.Stdout, Expand(c.Expected, dir.Path()));
    EXPECT_EQ(r.ExitCode, c.ExitCode);
    EXPECT_EQ(r.Stderr, "");
  }
  EXPECT_FALSE(dir.Exists("notes.txt"));  // nothing is created before loading succeeds
  EXPECT_FALSE(dir.Exists("out.txt"));
}

TEST(DriverEndToEnd, UnreadableSourceFailsToLoadWithCodeZero) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TTempDir dir;
  dir.Write("locked.pdf", "%PDF-1.4\n");
  chmod(dir.File("locked.pdf").c_str(), 0);
  TProcessResult r = RunVorbix({"locked.pdf"}, dir.Path());
  EXPECT_EQ(r.Stdout, "Can not load file: " + dir.Path() + "/locked.pdf. Error code is: 0\r\n");
  EXPECT_EQ(r.ExitCode, 4);
}
