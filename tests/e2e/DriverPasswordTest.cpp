// Runs the built binary on encrypted documents.
#include <gtest/gtest.h>

#include "tests/support/Fixtures.h"
#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

// tests/fixtures/driver: MakeTestPdf({"BT (x) Tj ET"}) encrypted by qpdf.
TEST(DriverPasswords, TheLastPasswordCountsWhereverItStands) {
  TTempDir dir;
  const std::string rejected = "Can not load file: " + dir.File("doc.pdf") + ". Error code is: 404\r\n";
  struct {
    const char* File;
    std::vector<std::string> Args;
    int ExitCode;
  } cases[] = {
      {"aes-256.pdf", {"-Wuser"}, 0},
      {"aes-256.pdf", {"-Wowner"}, 0},
      {"aes-256.pdf", {"-T", "-W user "}, 0},  // the value is trimmed
      {"aes-256.pdf", {"-Wuser", "-T"}, 0},
      {"aes-256.pdf", {"-Wuser", "-W"}, 4},  // the last -W wins, even an empty one
      {"aes-256.pdf", {"-Wwrong", "-B1", "-Wuser", "-E1"}, 0},
      {"aes-256.pdf", {"-Wwrong"}, 4},
      {"aes-256.pdf", {}, 4},
      {"empty-user-aes-256.pdf", {}, 0},
      {"latin-aes-256.pdf", {"-Wp\xc3\xa4ss"}, 0},  // typed on a UTF-8 terminal
      {"rc4-128.pdf", {"-Wuser"}, 0},
      {"rc4-40.pdf", {"-Wowner", "-Oposition", "-T", "-Wuser"}, 0},
      {"rc4-40.pdf", {"-Wowner", "-B1"}, 0},
  };
  for (const auto& c : cases) {
    dir.Write("doc.pdf", Fixture(std::string("driver/") + c.File));
    std::vector<std::string> args = {"doc.pdf"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    TProcessResult r = RunVorbix(args, dir.Path());
    std::string trace;
    for (const auto& a : c.Args) trace += a + " ";
    SCOPED_TRACE(trace);
    EXPECT_EQ(r.ExitCode, c.ExitCode);
    if (c.ExitCode == 4) {
      EXPECT_EQ(r.Stdout, rejected);
    }
  }
}

// The example of the usage text: the password comes before the page options.
TEST(DriverPasswords, UsageExampleOpensTheDocument) {
  TTempDir dir;
  dir.Write("doc.pdf", Fixture("driver/usage-example-aes-256.pdf"));
  TProcessResult r = RunVorbix({"doc.pdf", "out.txt", "-WM#ngo5ky", "-B4", "-E20", "-Peven", "-H&p"}, dir.Path());
  EXPECT_EQ(r.ExitCode, 0) << r.Stdout;
  EXPECT_EQ(dir.Read("out.txt"), "4\n\r\r\n6\n\r\r\n8\n\r\r\n10\n\r\r\n12\n\r\r\n14\n\r\r\n16\n\r\r\n18\n\r\r\n20\n\r\r\n");
}

TEST(DriverPasswords, UnsupportedEncryptionIsRejected) {
  TTestPdfWriter w;
  const int pages = w.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  const int catalog = w.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  const int encrypt = w.Add("<< /Filter /Standard /V 3 /R 3 /O <00> /U <00> /P -4 >>");
  TTempDir dir;
  dir.Write("doc.pdf", w.Build(catalog, "/Encrypt " + std::to_string(encrypt) + " 0 R /ID [<01> <01>]"));
  TProcessResult r = RunVorbix({"doc.pdf"}, dir.Path());
  EXPECT_EQ(r.Stdout, "Can not load file: " + dir.File("doc.pdf") + ". Error code is: 404\r\n");
  EXPECT_EQ(r.ExitCode, 4);
}
