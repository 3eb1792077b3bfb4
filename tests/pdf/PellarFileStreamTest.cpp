#include "pdf/PellarFileStream.h"

#include <gtest/gtest.h>

#include "pdf/PellarError.h"
#include "platform/Platform.h"
#include "tests/support/RunProcess.h"

TEST(PellarWideFileStream, CreateWriteSeekRead) {
  TTempDir dir;
  const std::u16string path = AsciiToWideForTest(dir.File("data.bin"));
  {
    TPellarWideFileStream out(path, TPellarWideFileStream::ModeCreate);
    EXPECT_EQ(out.Write("hello world", 11), 11);
    EXPECT_EQ(out.Size(), 11);
    out.SetSize(5);
    EXPECT_EQ(out.Size(), 5);
  }
  TPellarWideFileStream in(path, TPellarWideFileStream::ModeRead);
  EXPECT_EQ(in.Seek(1, TPellarWideFileStream::FromBeginning), 1);
  EXPECT_EQ(in.ReadRest(), "ello");
  char buffer[8];
  EXPECT_EQ(in.Read(buffer, 8), 0);  // at the end
  EXPECT_EQ(in.Seek(-2, TPellarWideFileStream::FromEnd), 3);
  EXPECT_EQ(in.Read(buffer, 8), 2);
  EXPECT_EQ(Platform::FileAge(path) > 0, true);
  EXPECT_TRUE(Platform::DeleteFile(path));
  EXPECT_EQ(Platform::FileAge(path), -1);
}

TEST(PellarWideFileStream, FailuresRaiseTheFileCreationError) {
  TTempDir dir;
  dir.Write("file.txt", "x");
  const std::u16string file = AsciiToWideForTest(dir.File("file.txt"));
  struct {
    std::u16string Path;
    int Mode;
  } cases[] = {
      {AsciiToWideForTest(dir.File("missing.txt")), TPellarWideFileStream::ModeRead},
      {AsciiToWideForTest(dir.Path()), TPellarWideFileStream::ModeRead},  // a directory
      {file, 3},                                                        // access 3 is invalid
      {file, 5 * 16},                                                   // sharing above 4
      {AsciiToWideForTest(dir.File("no/such/dir")), TPellarWideFileStream::ModeCreate},
  };
  for (const auto& c : cases) {
    try {
      TPellarWideFileStream stream(c.Path, c.Mode);
      ADD_FAILURE() << "opened with mode " << c.Mode;
    } catch (const EPellarFileCreateError& e) {
      EXPECT_STREQ(e.what(), "Error");
    }
  }
  EXPECT_NO_THROW(TPellarWideFileStream(file, 2 + 4 * 16));
}
