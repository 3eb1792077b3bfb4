// Runs the built binary where its output cannot go: onto the source document, or to a
// standard output that refuses the bytes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

namespace fs = std::filesystem;

TEST(DriverOutputTarget, TheSourceIsNeverOverwritten) {
  const std::string pdf = MakeTestPdf({"", ""});
  struct {
    const char* Name;
    std::vector<std::string> Args;
    std::string Named;  // the output file as the message names it; "$DIR/" stands for the directory
  } cases[] = {
      {"same name", {"doc.pdf", "doc.pdf"}, "doc.pdf"},
      {"same name in console mode", {"doc.pdf", "doc.pdf", "-T"}, "doc.pdf"},
      {"absolute spelling", {"doc.pdf", "$DIR/doc.pdf"}, "$DIR/doc.pdf"},
      {"through a directory link", {"doc.pdf", "loop/doc.pdf"}, "loop/doc.pdf"},
      {"symbolic link to the source", {"doc.pdf", "link.txt"}, "link.txt"},
      {"hard link to the source", {"doc.pdf", "hard.txt"}, "hard.txt"},
      {"default output is the source", {"report.txt"}, "$DIR/report.txt"},
      {"default output is the source, console mode", {"report.txt", "-T"}, "$DIR/report.txt"},
      {"source is a link to its default output", {"alias.pdf", "-B1"}, "$DIR/alias.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    for (const char* name : {"doc.pdf", "report.txt", "alias.txt"}) dir.Write(name, pdf);
    fs::create_directory_symlink(".", dir.File("loop"));
    fs::create_symlink("doc.pdf", dir.File("link.txt"));
    fs::create_hard_link(dir.File("doc.pdf"), dir.File("hard.txt"));
    fs::create_symlink("alias.txt", dir.File("alias.pdf"));
    std::vector<std::string> args = c.Args;
    std::string named = c.Named;
    for (std::string* text : {&args[1 % args.size()], &named})
      if (text->rfind("$DIR/", 0) == 0) text->replace(0, 4, dir.Path());
    TProcessResult r = RunVorbix(args, dir.Path());
    EXPECT_EQ(r.Stdout, "Invalid output file: \"" + named + "\".\r\n");
    EXPECT_EQ(r.ExitCode, 5);
    for (const char* name : {"doc.pdf", "report.txt", "alias.txt"}) EXPECT_EQ(dir.Read(name), pdf) << name;
    EXPECT_FALSE(dir.Exists("doc.txt"));
  }
}

// Output that nobody receives is a failed run (exit code 1), never a crash; a failed
// check keeps its own exit code although its message is lost as well.
TEST(DriverOutputTarget, RefusedStandardOutputFailsTheRun) {
  TTempDir dir;
  dir.Write("doc.pdf", MakeTestPdf({"", "", ""}));
  enum class TTarget { Full, ClosedPipe };
  struct {
    const char* Name;
    TTarget Target;
    std::vector<std::string> Args;
    int ExitCode;
  } cases[] = {
      {"console mode into a full device", TTarget::Full, {"doc.pdf", "-T"}, 1},
      {"progress into a full device", TTarget::Full, {"doc.pdf", "out.txt"}, 1},
      {"console mode into a pipe nobody reads", TTarget::ClosedPipe, {"doc.pdf", "-T"}, 1},
      {"progress into a pipe nobody reads", TTarget::ClosedPipe, {"doc.pdf", "out.txt"}, 1},
      {"failed check into a full device", TTarget::Full, {"missing.pdf"}, 3},
      {"usage into a pipe nobody reads", TTarget::ClosedPipe, {}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    int fd = -1;
    if (c.Target == TTarget::Full) {
      fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
    } else {
      int ends[2];
      ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
      close(ends[0]);
      fd = ends[1];
    }
    ASSERT_GE(fd, 0);
    TProcessResult r = RunVorbixWithStdout(fd, c.Args, dir.Path());
    close(fd);
    EXPECT_EQ(r.ExitCode, c.ExitCode);  // a death by SIGPIPE reads 141
    EXPECT_EQ(r.Stderr, "");
  }
}
