// Throughput of the ciphers and digests behind encrypted documents, and the cost
// of one revision-6 password hash (four of them run for a wrong password).
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "security/PellarAES.h"
#include "security/PellarHash.h"
#include "security/PellarRC4.h"
#include "security/PellarSecurity.h"

namespace {

volatile size_t Sink = 0;

double Seconds(const std::function<void()>& work, int repeats) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Throughput(const char* name, const std::function<std::string(const std::string&)>& work) {
  const std::string data(16 << 20, '\x5a');
  double seconds = Seconds([&] { Sink = Sink + work(data).size(); }, 4);
  std::printf("%-22s %8.1f MB/s\n", name, 4 * 16.0 / seconds);
}

}  // namespace

int main() {
  const std::string key16(16, 'k'), key32(32, 'K'), iv(16, 'v');
  Throughput("MD5", [](const std::string& d) { return MD5(d); });
  Throughput("SHA-256", [](const std::string& d) { return SHA256(d); });
  Throughput("SHA-512", [](const std::string& d) { return SHA512(d); });
  Throughput("RC4", [&](const std::string& d) { return RC4(key16, d); });
  Throughput("AES-128 CBC decrypt", [&](const std::string& d) { return AESDecryptCBC(key16, iv, d); });
  Throughput("AES-256 CBC decrypt", [&](const std::string& d) { return AESDecryptCBC(key32, iv, d); });
  Throughput("AES-128 CBC encrypt", [&](const std::string& d) { return AESEncryptCBC(key16, iv, d); });
  const int hashes = 50;
  double seconds = Seconds([] { Sink = Sink + Revision6Hash("password", "saltsalt", std::string(48, 'u')).size(); },
                           hashes);
  std::printf("%-22s %8.2f ms each\n", "Revision6Hash", 1000 * seconds / hashes);
  return 0;
}
