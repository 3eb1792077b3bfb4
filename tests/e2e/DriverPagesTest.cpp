// Runs the built binary on loadable documents: the page range checks, the progress
// lines, the page loop and the output file.
#include <gtest/gtest.h>

#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

namespace {

struct TRun {
  const char* Name;
  std::vector<std::string> Args;
  std::string Stdout;  // "$DIR" stands for the test's directory
  int ExitCode;
  std::string OutputFile;  // expected bytes of doc.txt; "-" when it must not exist
};

std::string Expand(std::string text, const std::string& dir) {
  for (size_t at; (at = text.find("$DIR")) != std::string::npos;) text.replace(at, 4, dir);
  return text;
}

std::string Progress(int pages, const std::string& set, int from, int to, const std::string& dots,
                     const std::string& output = "$DIR/doc.txt") {
  return "Current file is: \"$DIR/doc.pdf\"\r\nPages: " + std::to_string(pages) + "\r\nExtract to \"" + output +
         "\"\r\nExtract " + set + " pages\r\nPage from " + std::to_string(from) + " to " + std::to_string(to) +
         "\r\n" + dots + "\r\nExtract complete.\r\n";
}

void RunTable(const std::string& pdf, const std::vector<TRun>& runs) {
  for (const TRun& run : runs) {
    SCOPED_TRACE(run.Name);
    TTempDir dir;
    dir.Write("doc.pdf", pdf);
    TProcessResult r = RunVorbix(run.Args, dir.Path());
    EXPECT_EQ(r.Stdout, Expand(run.Stdout, dir.Path()));
    EXPECT_EQ(r.ExitCode, run.ExitCode);
    EXPECT_EQ(r.Stderr, "");
    if (run.OutputFile == "-") {
      EXPECT_FALSE(dir.Exists("doc.txt"));
    } else {
      EXPECT_EQ(dir.Read("doc.txt"), run.OutputFile);
    }
  }
}

const std::string Empty5 = "\r\n\r\n\r\n\r\n\r\n";

}  // namespace

TEST(DriverPages, RangeChecksAndProgress) {
  const std::string pdf = MakeTestPdf({"", "", "", "", ""});
  const std::string bMessage = "Invalid parameter: -Bx\r\n-B usage: -B<BeginPage>: The begin page. An example -B2.\r\n";
  RunTable(pdf, {
      {"all pages", {"doc.pdf"}, Progress(5, "both odd and even", 1, 5, "....."), 0, Empty5},
      {"-Pall as typed", {"doc.pdf", "-Pall"}, Progress(5, "both odd and even", 1, 5, "....."), 0, Empty5},
      {"-PALL", {"doc.pdf", "-PALL"}, Progress(5, "all", 1, 5, "....."), 0, Empty5},
      {"odd pages", {"doc.pdf", "-POdd"}, Progress(5, "odd", 1, 5, "..."), 0, "\r\n\r\n\r\n"},
      {"even pages", {"doc.pdf", "-peven"}, Progress(5, "even", 1, 5, ".."), 0, "\r\n\r\n"},
      {"-Bx", {"doc.pdf", "-Bx"}, bMessage, 2, ""},
      {"-B checked before -E", {"doc.pdf", "-Ey", "-Bx"}, bMessage, 2, ""},
      {"-E message",
       {"doc.pdf", "-E 1x"},
       "Invalid parameter: -E 1x\r\n-E usage: -E<EndPage> The end page. An example -E24.\r\n",
       2,
       ""},
      {"-P message",
       {"doc.pdf", "-Pnone"},
       "Invalid parameter: -Pnone\r\n-P usage: -P<Extract option> Select to extract only odd pages, even pages or "
       "all pages. Default is All.\r\nAvailable values: all,even,odd\r\n",
       2,
       ""},
      {"begin past the end", {"doc.pdf", "-B6"}, "The begin page 6 must be within page range 1 to 5.\r\n", 2, ""},
      {"end past the end", {"doc.pdf", "-E$9"}, "The end page 9 must be within page range 1 to 5.\r\n", 2, ""},
      {"-E0 alone", {"doc.pdf", "-E0"}, "The end page must be smaller then the begin page\r\n", 2, ""},
      {"end before begin", {"doc.pdf", "-B4", "-E3"}, "The end page must be smaller then the begin page\r\n", 2, ""},
      {"-B0 -E0 is the whole document", {"doc.pdf", "-B0", "-E0"}, Progress(5, "both odd and even", 1, 5, "....."),
       0, Empty5},
      {"hexadecimal page numbers", {"doc.pdf", "-Bx2", "-E0X3"}, Progress(5, "both odd and even", 2, 3, ".."), 0,
       "\r\n\r\n"},
      {"last occurrence wins", {"doc.pdf", "-B1", "-B3"}, Progress(5, "both odd and even", 3, 5, "..."), 0,
       "\r\n\r\n\r\n"},
      {"odd set with no odd page", {"doc.pdf", "-Podd", "-B2", "-E2"}, Progress(5, "odd", 2, 2, ""), 0, ""},
  });
}

TEST(DriverPages, NegativePagesRepeatTheSelectedPage) {
  const std::string pdf = MakeTestPdf({"", "", "", "", ""});
  TTempDir dir;
  dir.Write("doc.pdf", pdf);
  TProcessResult r = RunVorbix({"doc.pdf", "-B-2", "-HP&p"}, dir.Path());
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Stdout, Expand(Progress(5, "both odd and even", -2, 5, "........"), dir.Path()));
  EXPECT_EQ(dir.Read("doc.txt"),
            "P-2\n\r\r\nP-1\n\r\r\nP0\n\r\r\nP1\n\r\r\nP2\n\r\r\nP3\n\r\r\nP4\n\r\r\nP5\n\r\r\n");
  // Negative odd numbers are neither odd nor even.
  r = RunVorbix({"doc.pdf", "-B-3", "-E1", "-Podd", "-T", "-H&p"}, dir.Path());
  EXPECT_EQ(r.Stdout, "1\n\r\r\n");
}

TEST(DriverPages, ConsoleModeAndOutputFiles) {
  const std::string pdf = MakeTestPdf({"", ""});
  RunTable(pdf, {
      {"console mode writes only the entries", {"doc.pdf", "-T", "-HPage &p of &a", "-F=&n="},
       "Page 1 of 2\n\r\n\r=doc.pdf=\r\nPage 2 of 2\n\r\n\r=doc.pdf=\r\n", 0, ""},
      {"headers in the file", {"doc.pdf", "-H Page &p "}, Progress(2, "both odd and even", 1, 2, ".."), 0,
       "Page 1\n\r\r\nPage 2\n\r\r\n"},
      {"output file argument", {"doc.pdf", "./doc.txt", "-B2"},
       Progress(2, "both odd and even", 2, 2, ".", "./doc.txt"), 0, "\r\n"},
      {"output type position", {"doc.pdf", "-Oposition", "-T"}, "\r\n\r\n", 0, ""},
      {"output type smart", {"doc.pdf", "-OSMART", "-T"}, "\r\n\r\n", 0, ""},
  });
}

TEST(DriverPages, OutputFileProblems) {
  const std::string pdf = MakeTestPdf({""});
  TTempDir dir;
  dir.Write("doc.pdf", pdf);
  dir.Write("doc.txt", "old content");
  TProcessResult r = RunVorbix({"doc.pdf", "-T"}, dir.Path());
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(dir.Read("doc.txt"), "old content");  // console mode leaves an existing file alone

  r = RunVorbix({"doc.pdf", dir.Path(), "-T"}, dir.Path());
  EXPECT_EQ(r.Stdout, "Invalid output file: \"" + dir.Path() + "\".\r\n");
  EXPECT_EQ(r.ExitCode, 5);

  r = RunVorbix({"doc.pdf", "no/such/dir/out.txt"}, dir.Path());
  EXPECT_EQ(r.Stdout, "Invalid output file: \"no/such/dir/out.txt\".\r\n");
  EXPECT_EQ(r.ExitCode, 5);

  // A device that accepts the file but not its bytes: every page runs, then the error.
  r = RunVorbix({"doc.pdf", "/dev/full"}, dir.Path());
  EXPECT_EQ(r.Stdout, Expand(Progress(1, "both odd and even", 1, 1, ".", "/dev/full"), dir.Path()) +
                          "Stream write error\r\n");
  EXPECT_EQ(r.ExitCode, 1);

  TTempDir fresh;
  fresh.Write("doc.pdf", pdf);
  r = RunVorbix({"doc.pdf", "-T"}, fresh.Path());
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_TRUE(fresh.Exists("doc.txt"));  // the check creates a missing file, even in console mode
  EXPECT_EQ(fresh.Read("doc.txt"), "");
}

TEST(DriverPages, DocumentWithoutPages) {
  TTestPdfWriter w;
  const int pages = w.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  const int catalog = w.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  const std::string pdf = w.Build(catalog);
  RunTable(pdf, {
      {"no -B", {"doc.pdf"}, "The begin page 1 must be within page range 1 to 0.\r\n", 2, ""},
      {"-B0", {"doc.pdf", "-B0"}, Progress(0, "both odd and even", 1, 0, ""), 0, ""},
  });
}
