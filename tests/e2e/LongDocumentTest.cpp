// A long document reads the same byte for byte, into a file and to standard output, as it did
// when every object the pages had read stayed in memory and the entries waited as UTF-16.
#include <gtest/gtest.h>

#include "tests/support/Fixtures.h"
#include "tests/support/LongDocument.h"
#include "tests/support/RunProcess.h"

TEST(LongDocument, OutputIsUnchangedInEveryModeAndTarget) {
  TTempDir dir;
  dir.Write("long.pdf", MakeLongTestPdf(120));
  for (const char* mode : {"original", "smart", "position"}) {
    SCOPED_TRACE(mode);
    const std::string expected = Fixture(std::string("long/") + mode + ".txt");
    TProcessResult toFile = RunVorbix({"long.pdf", "long.txt", std::string("-O") + mode}, dir.Path());
    EXPECT_EQ(toFile.ExitCode, 0);
    EXPECT_TRUE(dir.Read("long.txt") == expected);
    TProcessResult toConsole = RunVorbix({"long.pdf", "-T", std::string("-O") + mode}, dir.Path());
    EXPECT_EQ(toConsole.ExitCode, 0);
    EXPECT_TRUE(toConsole.Stdout == expected);
  }
}
