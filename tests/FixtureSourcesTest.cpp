// The encrypted and rewritten files under tests/fixtures/ were made from the plain files beside
// them (tools/make-fixtures.sh); those must still be what the test writer makes, or the fixtures
// no longer hold the texts the tests look for.
#include <gtest/gtest.h>

#include "tests/support/EncryptedPdf.h"
#include "tests/support/Fixtures.h"
#include "tests/support/PdfWriter.h"

TEST(Fixtures, PlainSourcesAreWhatTheWriterMakes) {
  const std::string hello = "BT /F1 12 Tf 72 700 Td (Hello) Tj ET";
  const struct {
    const char* File;
    std::string Written;
  } cases[] = {
      {"security/plain.pdf", PlainSamplePdf()},
      {"variants/plain.pdf", MakeTestPdf({hello, "BT (Second) Tj ET", "BT (Third) Tj ET"})},
      {"locked/plain.pdf", MakeTestPdf({hello}, "/Info << /Title (Secret title) >>")},
      {"driver/plain.pdf", MakeTestPdf({"BT (x) Tj ET"})},
  };
  for (const auto& c : cases) EXPECT_EQ(Fixture(c.File), c.Written) << c.File;
}
