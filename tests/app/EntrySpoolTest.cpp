#include "app/EntrySpool.h"

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "tests/support/RunProcess.h"

// The file holds every entry with its CR LF in the narrow code page, whether the bytes waited
// in memory or in the temporary file, and replaces a longer file of that name whole. (A file
// that cannot be created or written: the driver's tests, through this spool.)
TEST(EntrySpool, SavesTheEntriesInOrderWhereverTheyWaited) {
  struct {
    const char* Name;
    size_t BufferLimit;
    bool Spooling;
  } cases[] = {
      {"all in memory", TEntrySpool::DefaultBufferLimit, false},
      {"spooled at every entry", 1, true},
      {"spooled in part, the tail in memory", 8, true},
  };
  Platform::SetNarrowCodePage("ISO-8859-1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    dir.Write("out.txt", std::string(200, 'x'));
    TEntrySpool spool(c.BufferLimit);
    for (const char16_t* entry : {u"first", u"", u"\u00e9\u4e2d", u"last one"}) spool.Add(entry);
    const std::string expected = "first\r\n\r\n\xe9?\r\nlast one\r\n";
    EXPECT_EQ(spool.Size(), static_cast<int64_t>(expected.size()));
    EXPECT_EQ(spool.Spooling(), c.Spooling);
    spool.SaveToFile(AsciiToWideForTest(dir.File("out.txt")));
    EXPECT_EQ(dir.Read("out.txt"), expected);
  }
  Platform::SetNarrowCodePage("UTF-8");
}
