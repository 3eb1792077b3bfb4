// The manual page against the program: every option of the usage text has its entry,
// and groff reads the page without a warning.
#include <gtest/gtest.h>

#include <regex>

#include "app/Driver.h"
#include "tests/support/RunProcess.h"

TEST(ManualPage, EveryOptionOfTheUsageTextHasAnEntry) {
  const std::string page = ReadSourceFile("doc/vorbix.1");
  ASSERT_FALSE(page.empty());
  // The usage text is ASCII: "-W<password>", "-B<BeginPage>", ..., "-T ".
  const std::u16string wide = UsageText;
  const std::string usage(wide.begin(), wide.end());
  const std::regex option("-([A-Z])(<| )");
  int options = 0;
  for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it) {
    const std::string letter = (*it)[1];
    SCOPED_TRACE("-" + letter);
    ++options;
    // An entry is a tagged paragraph whose tag starts with the option in bold.
    const bool withValue = page.find(".TP\n\\fB\\-" + letter + "\\fP\\fI") != std::string::npos;
    const bool alone = page.find(".TP\n.B \\-" + letter + "\n") != std::string::npos;
    EXPECT_TRUE(withValue || alone);
  }
  EXPECT_EQ(options, 8);  // W, B, E, P, H, F, O, T
}

TEST(ManualPage, GroffReadsItWithoutWarnings) {
  ASSERT_TRUE(HaveProgram("/usr/bin/groff")) << "make deps installs groff-base";
  TProcessResult r = RunProcess("/usr/bin/groff", {"-ww", "-man", "-z", std::string(VORBIX_SOURCE_DIR) + "/doc/vorbix.1"});
  EXPECT_EQ(r.Stderr, "");
  EXPECT_EQ(r.ExitCode, 0);
}
