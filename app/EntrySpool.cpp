#include "app/EntrySpool.h"

#include <algorithm>
#include <stdexcept>

#include "app/WideStringList.h"

namespace {
constexpr size_t CopyChunkSize = size_t(1) << 20;
}  // namespace

// Each entry is converted with the CR LF that follows it: the bytes are those of converting
// the whole text at once.
void TEntrySpool::Add(const std::u16string& entry) {
  Buffer += Platform::ToNarrow(entry + u"\r\n");
  if (Buffer.size() >= BufferLimit) Flush();
}

void TEntrySpool::Flush() {
  if (InMemory || Buffer.empty()) return;
  if (!Spool.IsOpen() && !Spool.CreateTemporary()) {
    InMemory = true;
    return;
  }
  const int64_t size = static_cast<int64_t>(Buffer.size());
  if (Spool.Write(Buffer.data(), size) != size) {
    StopSpooling();
    return;
  }
  SpooledBytes += size;
  Buffer.clear();
}

void TEntrySpool::StopSpooling() {
  InMemory = true;
  std::string kept(static_cast<size_t>(SpooledBytes), '\0');
  if (Spool.Seek(0, 0) != 0 || Spool.Read(kept.data(), SpooledBytes) != SpooledBytes)
    throw std::runtime_error("Stream read error");
  Spool.Close();
  SpooledBytes = 0;
  Buffer.insert(0, kept);
}

void TEntrySpool::SaveToFile(const std::u16string& name) {
  Platform::TFile file;
  CreateTextFile(file, name);
  auto write = [&file](const char* bytes, size_t count) {
    if (file.Write(bytes, static_cast<int64_t>(count)) != static_cast<int64_t>(count))
      throw std::runtime_error("Stream write error");
  };
  if (Spool.IsOpen()) {
    if (Spool.Seek(0, 0) != 0) throw std::runtime_error("Stream read error");
    std::string chunk;
    for (int64_t done = 0; done < SpooledBytes;) {
      chunk.resize(static_cast<size_t>(std::min<int64_t>(SpooledBytes - done, CopyChunkSize)));
      if (Spool.Read(chunk.data(), static_cast<int64_t>(chunk.size())) != static_cast<int64_t>(chunk.size()))
        throw std::runtime_error("Stream read error");
      write(chunk.data(), chunk.size());
      done += static_cast<int64_t>(chunk.size());
    }
  }
  write(Buffer.data(), Buffer.size());
}
