#pragma once
// The page entries of a run into a file, kept until the run ends. Each entry is converted to
// the narrow code page as it comes (as the file holds it: half the size of UTF-16 or less),
// and past a small buffer the bytes go to a temporary file: a long document then needs no
// more memory at its end than at its start. Without a temporary file they stay in memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Platform.h"

class TEntrySpool {
public:
  // Enough to write in large pieces, small beside the document itself.
  static constexpr size_t DefaultBufferLimit = size_t(1) << 20;

  explicit TEntrySpool(size_t bufferLimit = DefaultBufferLimit) : BufferLimit(bufferLimit) {}
  // The entry followed by CR LF.
  void Add(const std::u16string& entry);
  // Replaces the file as a whole with the entries in order. Raises "Cannot create file" when
  // the file cannot be created and "Stream write error" when a write fails.
  void SaveToFile(const std::u16string& name);
  // The bytes held, spooled or not.
  int64_t Size() const { return SpooledBytes + static_cast<int64_t>(Buffer.size()); }
  // Whether some bytes wait in the temporary file.
  bool Spooling() const { return Spool.IsOpen(); }

private:
  void Flush();
  // A write to the temporary file failed: what it holds comes back into memory.
  void StopSpooling();

  size_t BufferLimit;
  std::string Buffer;  // the newest bytes, not spooled yet
  Platform::TFile Spool;
  int64_t SpooledBytes = 0;
  bool InMemory = false;  // no temporary file could be had or written
};
