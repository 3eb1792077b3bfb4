#include "pdf/PellarFileStream.h"

#include "pdf/PellarError.h"

TPellarWideFileStream::TPellarWideFileStream(const std::u16string& path, int mode) {
  bool ok = false;
  if (mode == ModeCreate) {
    ok = File.Create(path);
  } else {
    int access = mode % 4, sharing = (mode / 16) % 16;
    // POSIX has no share modes; an invalid one still fails as it would elsewhere.
    if (access != 3 && sharing <= 4 && mode >= 0) {
      using A = Platform::TFile::Access;
      ok = File.Open(path, access == 0 ? A::Read : access == 1 ? A::Write : A::ReadWrite);
    }
  }
  if (!ok) throw EPellarFileCreateError();
}

int64_t TPellarWideFileStream::Read(void* buffer, int64_t count) {
  return count <= 0 ? 0 : File.Read(buffer, count);
}

int64_t TPellarWideFileStream::Write(const void* buffer, int64_t count) {
  return count <= 0 ? 0 : File.Write(buffer, count);
}

int64_t TPellarWideFileStream::Seek(int64_t offset, Origin origin) { return File.Seek(offset, origin); }

int64_t TPellarWideFileStream::Size() {
  int64_t here = Position();
  int64_t end = Seek(0, FromEnd);
  Seek(here, FromBeginning);
  return end;
}

void TPellarWideFileStream::SetSize(int64_t size) {
  Seek(size, FromBeginning);
  File.Truncate();
}

std::string TPellarWideFileStream::ReadRest() {
  int64_t here = Position(), end = Size();
  std::string data;
  if (here >= 0 && end > here) {
    data.resize(static_cast<size_t>(end - here));
    data.resize(static_cast<size_t>(Read(data.data(), end - here)));
  }
  return data;
}
