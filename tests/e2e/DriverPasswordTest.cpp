// Runs the built binary on encrypted documents.
#include <gtest/gtest.h>

#include "tests/support/PdfWriter.h"
#include "tests/support/RunProcess.h"

namespace {

// Encrypts plain.pdf of `dir` into doc.pdf with qpdf's --encrypt arguments.
void Encrypt(const TTempDir& dir, const std::vector<std::string>& encrypt) {
  ASSERT_TRUE(HaveQpdf()) << "make deps installs qpdf";
  std::vector<std::string> qpdf = {"--allow-weak-crypto", "--encrypt"};
  qpdf.insert(qpdf.end(), encrypt.begin(), encrypt.end());
  qpdf.insert(qpdf.end(), {"--", dir.File("plain.pdf"), dir.File("doc.pdf")});
  ASSERT_EQ(RunQpdf(qpdf), 0);
}

}  // namespace

TEST(DriverPasswords, TheLastPasswordCountsWhereverItStands) {
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
      {{"user", "owner", "256"}, {"-Wuser", "-T"}, 0},
      {{"user", "owner", "256"}, {"-Wuser", "-W"}, 4},  // the last -W wins, even an empty one
      {{"user", "owner", "256"}, {"-Wwrong", "-B1", "-Wuser", "-E1"}, 0},
      {{"user", "owner", "256"}, {"-Wwrong"}, 4},
      {{"user", "owner", "256"}, {}, 4},
      {{"", "owner", "256"}, {}, 0},
      {{"p\xc3\xa4ss", "owner", "256"}, {"-Wp\xc3\xa4ss"}, 0},  // typed on a UTF-8 terminal
      {{"user", "owner", "128", "--use-aes=n"}, {"-Wuser"}, 0},
      {{"user", "owner", "40"}, {"-Wowner", "-Oposition", "-T", "-Wuser"}, 0},
      {{"user", "owner", "40"}, {"-Wowner", "-B1"}, 0},
  };
  for (const auto& c : cases) {
    ASSERT_NO_FATAL_FAILURE(Encrypt(dir, c.Encrypt));
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
  dir.Write("plain.pdf", MakeTestPdf(std::vector<std::string>(20, "")));
  ASSERT_NO_FATAL_FAILURE(Encrypt(dir, {"M#ngo5ky", "owner", "256"}));
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
