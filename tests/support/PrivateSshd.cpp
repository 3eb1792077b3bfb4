#include "tests/support/PrivateSshd.h"

#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "tests/support/RunProcess.h"

namespace {

// Another program may take the probed port before sshd binds it; then a new one is probed.
constexpr int PortAttempts = 5;
// sshd writes its pid file once it listens; a loaded machine may take seconds to get there.
constexpr auto StartTimeout = std::chrono::seconds(20);

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  // ssh refuses a configuration that others may write, whatever the umask.
  chmod(path.c_str(), 0600);
}

// A loopback port that was free a moment ago: bound as port 0 and read back.
int FreeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  if (fd >= 0) close(fd);
  if (!bound) throw std::runtime_error("no free loopback port");
  return ntohs(address.sin_port);
}

void GenerateKey(const std::string& path) {
  TProcessResult r = RunProcess("/usr/bin/ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", path});
  if (r.ExitCode != 0) throw std::runtime_error("ssh-keygen failed: " + r.Stdout + r.Stderr);
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

TPrivateSshd::TPrivateSshd(const std::string& dir, const std::string& home, const std::string& binDir) : Dir(dir) {
  if (!HaveProgram("/usr/sbin/sshd"))
    throw std::runtime_error("/usr/sbin/sshd is missing: make test-deps installs openssh-server");
  std::filesystem::create_directories(Dir);
  GenerateKey(Dir + "/host_key");
  GenerateKey(Dir + "/user_key");
  WriteFile(Dir + "/authorized_keys", ReadFile(Dir + "/user_key.pub"));
  WriteFile(Dir + "/known_hosts", "vorbix-test-host " + ReadFile(Dir + "/host_key.pub"));
  // As root, sshd separates privileges into this folder, which only its package's service makes.
  if (geteuid() == 0) mkdir("/run/sshd", 0755);
  for (int attempt = 0; attempt < PortAttempts; ++attempt)
    if (Start(FreeLoopbackPort(), home, binDir)) return;
  throw std::runtime_error("sshd did not start:\n" + ReadFile(Dir + "/sshd.log"));
}

TPrivateSshd::~TPrivateSshd() { Stop(); }

bool TPrivateSshd::Start(int port, const std::string& home, const std::string& binDir) {
  const std::string config = Dir + "/sshd_config";
  // StrictModes no: the scratch folder lies in the world-writable /tmp. UsePAM no: PAM would want
  // the system's own setup. MaxStartups: parallel opens many logins at once, of which the default
  // drops those past ten. The forced command stands for the host's login environment.
  WriteFile(config, Lines({"ListenAddress 127.0.0.1:" + std::to_string(port), "HostKey " + Dir + "/host_key",
                           "PidFile " + Dir + "/sshd.pid", "AuthorizedKeysFile " + Dir + "/authorized_keys",
                           "StrictModes no", "UsePAM no", "PermitRootLogin prohibit-password",
                           "PasswordAuthentication no", "KbdInteractiveAuthentication no", "MaxStartups 100",
                           "SetEnv HOME=" + home,
                           "ForceCommand cd && PATH=\"" + binDir + ":$PATH\" && eval \"$SSH_ORIGINAL_COMMAND\""}));
  // The host key is checked under one alias, whatever host name a test logs in to. Recipes log in
  // several times per file: the plain elliptic-curve exchange costs half the default's time.
  const passwd* user = getpwuid(geteuid());
  WriteFile(Dir + "/ssh_config",
            Lines({"Host *", "HostName 127.0.0.1", "Port " + std::to_string(port),
                   "User " + std::string(user ? user->pw_name : "root"), "IdentityFile " + Dir + "/user_key",
                   "IdentitiesOnly yes", "HostKeyAlias vorbix-test-host", "UserKnownHostsFile " + Dir + "/known_hosts",
                   "GlobalKnownHostsFile /dev/null", "StrictHostKeyChecking yes", "BatchMode yes",
                   "KexAlgorithms curve25519-sha256"}));
  std::filesystem::remove(Dir + "/sshd.pid");
  Pid = fork();
  if (Pid < 0) throw std::runtime_error("fork failed");
  if (Pid == 0) {
    // A test process that dies without its destructors takes the server along.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    // sshd re-executes itself for each connection and so wants its absolute path.
    execl("/usr/sbin/sshd", "/usr/sbin/sshd", "-D", "-f", config.c_str(), "-E", (Dir + "/sshd.log").c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + StartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (Trimmed(ReadFile(Dir + "/sshd.pid")) == std::to_string(Pid)) return true;
    if (waitpid(Pid, nullptr, WNOHANG) == Pid) {
      Pid = -1;  // it could not listen: the port was taken meanwhile
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Stop();
  return false;
}

void TPrivateSshd::Stop() {
  if (Pid <= 0) return;
  kill(Pid, SIGTERM);
  waitpid(Pid, nullptr, 0);
  Pid = -1;
}
