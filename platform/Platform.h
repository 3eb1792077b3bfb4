#pragma once
// The only layer that talks to the operating system: locale and code page,
// command-line arguments, paths, console, local time and files.
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// Narrow code page: the locale's character set; the C/POSIX locale counts as UTF-8.
void InitLocale();
void SetNarrowCodePage(const std::string& codeset);
const std::string& NarrowCodePage();
// UTF-16 to the narrow code page; what it cannot represent becomes "?".
std::string ToNarrow(const std::u16string& text);
// Narrow code page to UTF-16; undecodable bytes become U+FFFD.
std::u16string FromNarrow(const std::string& text);

// Arguments as the shell split them, empty ones skipped, decoded to UTF-16.
std::vector<std::u16string> Arguments(int argc, char** argv);

// Paths use "/" as separator.
std::u16string CurrentDirectory();
// Made absolute against the current directory and lexically normalised.
std::u16string AbsolutePath(const std::u16string& path);
std::string FileSystemName(const std::u16string& path);
bool FileExists(const std::u16string& path);      // a regular file, not a directory
// True when both paths reach one existing file (same device and inode), links followed.
bool SameFile(const std::u16string& a, const std::u16string& b);
bool DeleteFile(const std::u16string& path);
// Last-write time as a packed local date and time (year-1980 in the top bits), -1 when missing.
int32_t FileAge(const std::u16string& path);

// Standard output; nothing ever goes to standard error.
// A reader that closes its end of a pipe must not kill the process: its writes
// then fail with ReaderGone instead of raising SIGPIPE.
void InitConsole();
enum class TConsoleResult { Written, ReaderGone, Failed };
[[nodiscard]] TConsoleResult ConsoleWrite(const std::string& bytes);
void ConsoleFlush();

struct LocalTime {
  int Year, Month, Day, Hour, Minute, Second;
  long OffsetSeconds;  // east of UTC is positive
};
LocalTime Now();
// The locale's short date ("%x").
std::u16string ShortDate();
// The system's text for an errno value.
std::string ErrorText(int error);

// A file opened by path; POSIX has no share modes, so reading opens read-only.
class TFile {
public:
  enum class Access { Read, Write, ReadWrite };
  TFile() = default;
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  ~TFile();
  // Both set LastErrno and answer false on failure.
  bool Open(const std::u16string& path, Access access);
  bool Create(const std::u16string& path);  // create or truncate, read and write
  // A file without a name in the system's temporary directory, read and write; it is gone
  // when closed, and when the process ends however it ends.
  bool CreateTemporary();
  void Close();
  bool IsOpen() const { return Handle >= 0; }
  int64_t Read(void* buffer, int64_t count);
  int64_t Write(const void* buffer, int64_t count);
  // origin: 0 start, 1 current, 2 end. Answers the new position, -1 on failure.
  int64_t Seek(int64_t offset, int origin);
  bool Truncate();  // ends the file at the current position
  int LastErrno = 0;

private:
  int Handle = -1;
};

}  // namespace Platform
