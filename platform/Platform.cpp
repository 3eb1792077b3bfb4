#include "platform/Platform.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

std::string& CodePageSetting() {
  static std::string codeset = "UTF-8";
  return codeset;
}

bool IsAsciiCodeset(const std::string& codeset) {
  return codeset == "ANSI_X3.4-1968" || codeset == "ASCII" || codeset == "US-ASCII" ||
         codeset == "646" || codeset.empty();
}

// One iconv conversion descriptor for the life of a call.
class TConverter {
public:
  TConverter(const char* to, const char* from) : Cd(iconv_open(to, from)) {}
  ~TConverter() {
    if (Cd != reinterpret_cast<iconv_t>(-1)) iconv_close(Cd);
  }
  bool Valid() const { return Cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t Cd;
};

// Converts `in` with `cd`, calling `onBad` to emit a replacement and to say how
// many input bytes to skip whenever iconv reports an unconvertible sequence.
template <typename Out, typename OnBad>
void RunIconv(iconv_t cd, const char* data, size_t size, Out& out, OnBad onBad) {
  char buffer[4096];
  char* in = const_cast<char*>(data);
  size_t inLeft = size;
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      size_t skip = onBad(in, inLeft);
      if (skip > inLeft) skip = inLeft;
      in += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
}

}  // namespace

void InitLocale() {
  setlocale(LC_ALL, "");
  // Numbers are always written and read with "." whatever the locale says.
  setlocale(LC_NUMERIC, "C");
  const char* codeset = nl_langinfo(CODESET);
  SetNarrowCodePage(codeset ? codeset : "");
}

void SetNarrowCodePage(const std::string& codeset) {
  CodePageSetting() = IsAsciiCodeset(codeset) ? "UTF-8" : codeset;
}

const std::string& NarrowCodePage() { return CodePageSetting(); }

std::string ToNarrow(const std::u16string& text) {
  std::string out;
  TConverter conv(NarrowCodePage().c_str(), "UTF-16LE");
  if (!conv.Valid()) {
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  RunIconv(conv.Cd, bytes.data(), bytes.size(), out, [&](const char* at, size_t left) -> size_t {
    out += '?';
    // A surrogate pair stands for one character: skip both halves together.
    if (left >= 4) {
      char16_t unit;
      std::memcpy(&unit, at, 2);
      char16_t next;
      std::memcpy(&next, at + 2, 2);
      if (unit >= 0xD800 && unit < 0xDC00 && next >= 0xDC00 && next < 0xE000) return 4;
    }
    return 2;
  });
  return out;
}

std::u16string FromNarrow(const std::string& text) {
  std::string wide;
  TConverter conv("UTF-16LE", NarrowCodePage().c_str());
  if (!conv.Valid()) {
    for (unsigned char c : text) {
      char16_t unit = c < 0x80 ? c : 0xFFFD;
      wide.append(reinterpret_cast<const char*>(&unit), 2);
    }
  } else {
    RunIconv(conv.Cd, text.data(), text.size(), wide, [&](const char*, size_t) -> size_t {
      const char16_t replacement = 0xFFFD;
      wide.append(reinterpret_cast<const char*>(&replacement), 2);
      return 1;
    });
  }
  std::u16string out(wide.size() / 2, u'\0');
  std::memcpy(out.data(), wide.data(), out.size() * 2);
  return out;
}

std::vector<std::u16string> Arguments(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i)
    if (argv[i] && argv[i][0] != '\0') args.push_back(FromNarrow(argv[i]));
  return args;
}

std::u16string CurrentDirectory() {
  std::string dir(4096, '\0');
  while (getcwd(dir.data(), dir.size()) == nullptr) {
    if (errno != ERANGE || dir.size() > (1u << 20)) return u"/";
    dir.resize(dir.size() * 2);
  }
  dir.resize(std::strlen(dir.c_str()));
  return FromNarrow(dir);
}

std::u16string AbsolutePath(const std::u16string& path) {
  std::u16string full = (!path.empty() && path[0] == u'/') ? path : CurrentDirectory() + u"/" + path;
  // Lexical normalisation: drop "." and empty segments, let ".." remove its parent.
  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start <= full.size()) {
    size_t end = full.find(u'/', start);
    if (end == std::u16string::npos) end = full.size();
    std::u16string part = full.substr(start, end - start);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::u16string out;
  for (const auto& part : parts) out += u"/" + part;
  return out.empty() ? u"/" : out;
}

std::string FileSystemName(const std::u16string& path) { return ToNarrow(path); }

bool FileExists(const std::u16string& path) {
  struct stat info;
  return stat(FileSystemName(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool SameFile(const std::u16string& a, const std::u16string& b) {
  struct stat first, second;
  return stat(FileSystemName(a).c_str(), &first) == 0 && stat(FileSystemName(b).c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool DeleteFile(const std::u16string& path) { return unlink(FileSystemName(path).c_str()) == 0; }

int32_t FileAge(const std::u16string& path) {
  struct stat info;
  if (stat(FileSystemName(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  struct tm t;
  if (!localtime_r(&info.st_mtime, &t) || t.tm_year < 80) return -1;
  uint32_t date = ((t.tm_year - 80) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday;
  uint32_t time = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | time);
}

void InitConsole() { signal(SIGPIPE, SIG_IGN); }

TConsoleResult ConsoleWrite(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EPIPE) return TConsoleResult::ReaderGone;
    if (n <= 0) return TConsoleResult::Failed;
    done += static_cast<size_t>(n);
  }
  return TConsoleResult::Written;
}

void ConsoleFlush() {}  // writes go straight to the descriptor

LocalTime Now() {
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_gmtoff};
}

std::u16string ShortDate() {
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  char buffer[128];
  size_t n = strftime(buffer, sizeof buffer, "%x", &t);
  return FromNarrow(std::string(buffer, n));
}

std::string ErrorText(int error) {
  char buffer[256];
  return strerror_r(error, buffer, sizeof buffer);
}

TFile::~TFile() { Close(); }

bool TFile::Open(const std::u16string& path, Access access) {
  Close();
  int flags = access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
  Handle = ::open(FileSystemName(path).c_str(), flags | O_CLOEXEC);
  LastErrno = Handle < 0 ? errno : 0;
  if (Handle >= 0) {
    struct stat info;
    if (fstat(Handle, &info) != 0 || S_ISDIR(info.st_mode)) {
      LastErrno = EISDIR;
      Close();
    }
  }
  return Handle >= 0;
}

bool TFile::Create(const std::u16string& path) {
  Close();
  Handle = ::open(FileSystemName(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  LastErrno = Handle < 0 ? errno : 0;
  return Handle >= 0;
}

bool TFile::CreateTemporary() {
  Close();
  std::FILE* file = std::tmpfile();
  if (!file) {
    LastErrno = errno;
    return false;
  }
  Handle = ::fcntl(fileno(file), F_DUPFD_CLOEXEC, 0);
  LastErrno = Handle < 0 ? errno : 0;
  std::fclose(file);
  return Handle >= 0;
}

void TFile::Close() {
  if (Handle >= 0) ::close(Handle);
  Handle = -1;
}

int64_t TFile::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::read(Handle, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFile::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(Handle, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      LastErrno = errno;
      break;
    }
    done += n;
  }
  return done;
}

int64_t TFile::Seek(int64_t offset, int origin) {
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  off_t pos = ::lseek(Handle, static_cast<off_t>(offset), whence);
  return pos < 0 ? -1 : static_cast<int64_t>(pos);
}

bool TFile::Truncate() {
  off_t pos = ::lseek(Handle, 0, SEEK_CUR);
  return pos >= 0 && ::ftruncate(Handle, pos) == 0;
}

}  // namespace Platform
