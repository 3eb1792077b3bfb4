#pragma once
// A file stream opened by UTF-16 path.
#include <cstdint>
#include <string>

#include "platform/Platform.h"

class TPellarWideFileStream {
public:
  static constexpr int ModeCreate = 65535;  // create or truncate, read and write
  static constexpr int ModeRead = 32;       // read an existing file, others may read

  // mode: ModeCreate, or access (mode mod 4: 0 read, 1 write, 2 both) plus sharing
  // ((mode div 16) mod 16, 0 to 4). Raises EPellarFileCreateError on failure.
  TPellarWideFileStream(const std::u16string& path, int mode);

  int64_t Read(void* buffer, int64_t count);
  int64_t Write(const void* buffer, int64_t count);
  enum Origin { FromBeginning = 0, FromCurrent = 1, FromEnd = 2 };
  int64_t Seek(int64_t offset, Origin origin);
  int64_t Position() { return Seek(0, FromCurrent); }
  int64_t Size();
  void SetSize(int64_t size);  // the file ends at `size`, the position moves there
  // Everything from the current position to the end.
  std::string ReadRest();
  int LastErrno() const { return File.LastErrno; }

private:
  Platform::TFile File;
};
