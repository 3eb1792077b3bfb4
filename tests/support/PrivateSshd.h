#pragma once
// A private OpenSSH server on a free loopback port, for tests that log in to this machine as
// to a remote host: keys, configuration, pid file and log live in a scratch folder.
#include <sys/types.h>

#include <string>

class TPrivateSshd {
public:
  // Generates a host key and a user key into `dir` and starts /usr/sbin/sshd. Every login, under
  // any host name, runs its command in `home` (also its HOME) with `binDir` first on the PATH.
  // Throws when the server cannot be started (openssh-server missing, no port after retries).
  TPrivateSshd(const std::string& dir, const std::string& home, const std::string& binDir);
  // Stops the server, whatever the test did.
  ~TPrivateSshd();
  TPrivateSshd(const TPrivateSshd&) = delete;
  TPrivateSshd& operator=(const TPrivateSshd&) = delete;

  // The client command that logs in to the server: "ssh -F <dir>/ssh_config".
  std::string SshCommand() const { return "ssh -F " + Dir + "/ssh_config"; }

private:
  bool Start(int port, const std::string& home, const std::string& binDir);
  void Stop();

  std::string Dir;
  pid_t Pid = -1;
};
