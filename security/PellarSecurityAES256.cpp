// Password checks and file key of revisions 5 and 6 (AES-256).
#include "security/PellarAES.h"
#include "security/PellarHash.h"
#include "security/PellarSecurity.h"

namespace {

const std::string ZeroVector(16, '\0');

// /U and /O: a 32-byte hash, then an 8-byte validation salt and an 8-byte key salt.
enum : size_t { HashBytes = 32, ValidationSaltAt = 32, KeySaltAt = 40, EntryBytes = 48 };

std::string Salt(const std::string& entry, size_t at) { return entry.size() < EntryBytes ? "" : entry.substr(at, 8); }

bool MatchesHash(const std::string& entry, const std::string& hash) {
  return entry.size() >= HashBytes && entry.compare(0, HashBytes, hash) == 0;
}

}  // namespace

std::string Revision6Hash(const std::string& password, const std::string& salt, const std::string& userData) {
  std::string k = SHA256(password + salt + userData);
  for (int round = 1;; ++round) {
    std::string piece = password + k + userData;
    std::string repeated;
    repeated.reserve(64 * piece.size());
    for (int i = 0; i < 64; ++i) repeated += piece;
    std::string e = AESEncryptCBC(k.substr(0, 16), k.substr(16, 16), repeated);
    // The first 16 bytes as a big-endian number modulo 3: since 256 = 1 (mod 3),
    // that is the sum of the bytes modulo 3.
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) sum += static_cast<unsigned char>(e[i]);
    switch (sum % 3) {
      case 0: k = SHA256(e); break;
      case 1: k = SHA384(e); break;
      default: k = SHA512(e); break;
    }
    // The last byte is at most 255, so this ends by round 287.
    if (round >= 64 && static_cast<unsigned char>(e.back()) <= round - 32) break;
  }
  return k.substr(0, 32);
}

std::string TPDFSecurityHandler::PasswordHashAES256(const std::string& password, const std::string& salt,
                                                    const std::string& userData) const {
  if (Security.Revision == 5) return SHA256(password + salt + userData);
  return HashRevision6(password, salt, userData);
}

bool TPDFSecurityHandler::CheckPasswordAES256(const std::string& password) {
  return CheckUserPasswordAES256(password) || CheckOwnerPasswordAES256(password);
}

bool TPDFSecurityHandler::CheckUserPasswordAES256(const std::string& password) {
  const std::string& entry = Security.UserEntry;
  if (!MatchesHash(entry, PasswordHashAES256(password, Salt(entry, ValidationSaltAt), ""))) return false;
  std::string intermediate = PasswordHashAES256(password, Salt(entry, KeySaltAt), "");
  return UnlockAES256(intermediate, Security.UserKeyEntry, Security.UserAccepted);
}

// The owner hashes also cover the first 48 bytes of /U.
bool TPDFSecurityHandler::CheckOwnerPasswordAES256(const std::string& password) {
  const std::string& entry = Security.OwnerEntry;
  const std::string userData = Security.UserEntry.substr(0, EntryBytes);
  if (!MatchesHash(entry, PasswordHashAES256(password, Salt(entry, ValidationSaltAt), userData))) return false;
  std::string intermediate = PasswordHashAES256(password, Salt(entry, KeySaltAt), userData);
  return UnlockAES256(intermediate, Security.OwnerKeyEntry, Security.OwnerAccepted);
}

bool TPDFSecurityHandler::UnlockAES256(const std::string& intermediateKey, const std::string& wrappedKey,
                                       bool& acceptedFlag) {
  if (wrappedKey.size() < 32) return false;
  Security.FileKey = AESDecryptCBC(intermediateKey, ZeroVector, wrappedKey.substr(0, 32));
  ApplyPermsEntry();
  acceptedFlag = true;
  return true;
}

// /Perms repeats the permissions under the file key, marked by "adb"; the decrypted
// value is the one the writer meant. Permissions are informative, so a mismatch
// rejects nothing.
void TPDFSecurityHandler::ApplyPermsEntry() {
  std::string perms = AESDecryptCBC(Security.FileKey, ZeroVector, Security.PermsEntry);
  if (perms.size() < 12 || perms.compare(9, 3, "adb") != 0) return;
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(perms[i]);
  Security.Permissions = static_cast<int32_t>(value);
}
