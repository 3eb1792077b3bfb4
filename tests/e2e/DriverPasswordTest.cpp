// Runs the built binary on encrypted documents.
#include <gtest/gtest.h>

#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

TEST(DriverPasswords, OnlyTheLastOptionCarriesThePassword) {
  if (!HaveQpdf()) GTEST_SKIP() << "qpdf missing";
  TTempDir dir;
  dir.Write("plain.pdf", MakeTestPdf({"BT (x) Tj ET"}));
  const std::string rejected = "Can not load file: " + dir.File("doc.pdf") + ". Error code is: 404\r\n";
  struct {
    std::vector<std::string> Encrypt;
    std::vector<std::string> Args;
    int ExitCode;
  } cases[] = {
      {{"user", "owner", "256"}, {"-Wuser"}, 0},
      {{"user", "owner", "256"}, {"-Wowner"}, 0},
      {{"user", "owner", "256"}, {"-T", "-W user "}, 0},  // the value is trimmed
      {{"user", "owner", "256"}, {"-Wuser", "-T"}, 4},    // -T resets the password
      {{"user", "owner", "256"}, {"-Wwrong"}, 4},
      {{"user", "owner", "256"}, {}, 4},
      {{"", "owner", "256"}, {}, 0},
      {{"p\xc3\xa4ss", "owner", "256"}, {"-Wp\xc3\xa4ss"}, 0},  // typed on a UTF-8 terminal
      {{"user", "owner", "128", "--use-aes=n"}, {"-Wuser"}, 0},
      {{"user", "owner", "40"}, {"-Wowner", "-Oposition", "-T", "-Wuser"}, 0},
      {{"user", "owner", "40"}, {"-Wowner", "-B1"}, 4},
  };
  for (const auto& c : cases) {
    std::vector<std::string> qpdf = {"--allow-weak-crypto", "--encrypt"};
    qpdf.insert(qpdf.end(), c.Encrypt.begin(), c.Encrypt.end());
    qpdf.insert(qpdf.end(), {"--", dir.File("plain.pdf"), dir.File("doc.pdf")});
    ASSERT_EQ(RunQpdf(qpdf), 0);
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
