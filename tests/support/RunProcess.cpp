#include "tests/support/RunProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

// Runs the program with its standard output on `stdoutFd`, or captured when it is -1.
TProcessResult Run(const std::string& program, const std::vector<std::string>& args, const std::string& workingDir,
                   const std::string& locale, int stdoutFd) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(stdoutFd >= 0 ? stdoutFd : out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    // The program must meet a closed pipe as a shell would start it, whatever this process ignores.
    signal(SIGPIPE, SIG_DFL);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
    setenv("LC_ALL", locale.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  TProcessResult result;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  char buffer[65536];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.Stdout : result.Stderr).append(buffer, static_cast<size_t>(n));
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::string& workingDir, const std::string& locale) {
  return Run(program, args, workingDir, locale, -1);
}

bool HaveProgram(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

TProcessResult RunVorbix(const std::vector<std::string>& args, const std::string& workingDir) {
  return RunProcess(VORBIX_BINARY, args, workingDir);
}

TProcessResult RunVorbixWithStdout(int stdoutFd, const std::vector<std::string>& args, const std::string& workingDir) {
  return Run(VORBIX_BINARY, args, workingDir, "C.UTF-8", stdoutFd);
}

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorbix-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Dir = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::permissions(Dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(Dir, ignored);
}

void TTempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary) << bytes;
}

std::string TTempDir::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TTempDir::Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(VORBIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::u16string AsciiToWideForTest(const std::string& text) { return std::u16string(text.begin(), text.end()); }
