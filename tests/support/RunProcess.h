#pragma once
// Runs a program and captures what it writes.
#include <string>
#include <vector>

struct TProcessResult {
  int ExitCode = -1;
  std::string Stdout;
  std::string Stderr;
};

// Runs `program` with `args` (argv[1..]) in `workingDir` (empty: the current one),
// with the locale set to `locale`.
TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::string& workingDir = "", const std::string& locale = "C.UTF-8");

// True when the program at `path` exists and may be run.
bool HaveProgram(const std::string& path);

// The built vorbix binary.
TProcessResult RunVorbix(const std::vector<std::string>& args, const std::string& workingDir = "");
// The same with its standard output on the descriptor `stdoutFd` (Stdout stays empty).
TProcessResult RunVorbixWithStdout(int stdoutFd, const std::vector<std::string>& args,
                                   const std::string& workingDir = "");

// A fresh empty directory under the system's temporary directory, removed by the destructor.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::string& Path() const { return Dir; }
  std::string File(const std::string& name) const { return Dir + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

private:
  std::string Dir;
};

// The bytes of a file of the source tree, such as "doc/vorbix.1"; empty when it is missing.
std::string ReadSourceFile(const std::string& relative);

// Widens a test path byte for byte (the tests' paths are ASCII).
std::u16string AsciiToWideForTest(const std::string& text);
