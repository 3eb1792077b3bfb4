#include "security/PellarSecurity.h"

#include <algorithm>

#include "security/PellarAES.h"
#include "security/PellarHash.h"
#include "security/PellarPassword.h"
#include "security/PellarRC4.h"

namespace {

std::string LittleEndian(uint32_t value, size_t bytes) {
  std::string out(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string XorEach(const std::string& key, int value) {
  std::string out = key;
  for (char& c : out) c = static_cast<char>(c ^ value);
  return out;
}

// RC4 key lengths run from 40 to 128 bits in whole bytes.
bool IsRC4KeyBits(int32_t bits) { return bits >= 40 && bits <= 128 && bits % 8 == 0; }

bool UsesStdCF(const TPDFEncryptDictionary& d) { return d.StmF == "StdCF" || d.StrF == "StdCF"; }

// A crypt filter's /Length is meant in bytes, but some writers give bits.
int32_t CryptFilterBits(int32_t length) {
  if (length >= 5 && length <= 16) return length * 8;
  return IsRC4KeyBits(length) ? length : 0;
}

// A key length no reading explains (16 meant as bytes in /Length, 0, 4096) still opens the
// file: a length given in bytes is taken as such, anything else as 128 bits, and the key
// steps that follow the length alone (16-byte keys for any length but 40 bits) come next.
int32_t UnexpectedLengthBits(int32_t length) {
  const int32_t bits = CryptFilterBits(length);
  return bits != 0 ? bits : 128;
}

}  // namespace

void TPDFSecurityHandler::Reset() {
  Security = TPDFSecurityState();
  StateCode = NotEncrypted;
  Schemes.clear();
}

void TPDFSecurityHandler::Examine(const TPDFEncryptDictionary& dictionary) {
  if (Security.Examined) return;
  Security.Examined = true;
  Security.HasEncrypt = dictionary.Present;
  if (!dictionary.Present) return;
  Security.EncryptRefNumber = dictionary.RefNumber;
  Security.Permissions = dictionary.P;
  StateCode = dictionary.IsDictionary && Accept(dictionary) ? Supported : Unsupported;
}

TPDFEncryptionState TPDFSecurityHandler::EncryptionState() const { return StateCode; }

bool TPDFSecurityHandler::Accept(const TPDFEncryptDictionary& d) {
  if (d.Filter != "Standard") return false;
  int32_t keyBits = 0, lengthDrivenBits = 0;
  TPDFAESKind aesKind = AESNone;
  switch (d.V) {
    case 1:
      if (d.R != 2 && d.R != 3) return false;
      keyBits = lengthDrivenBits = 40;
      break;
    case 2:
      if (d.R != 2 && d.R != 3) return false;
      keyBits = d.HasLength ? d.Length : 40;
      lengthDrivenBits = d.HasLength ? d.Length : 128;
      if (d.HasLength && !IsRC4KeyBits(d.Length)) keyBits = UnexpectedLengthBits(d.Length);
      break;
    case 4:
      if (d.R != 4) return false;
      if (!AcceptCryptFilter(d, keyBits, lengthDrivenBits)) return false;
      if (!UsesStdCF(d)) break;
      if (d.StdCFMethod != "V2" && d.StdCFMethod != "AESV2") return false;
      aesKind = d.StdCFMethod == "AESV2" ? AES128 : AESNone;
      break;
    case 5:
      if (d.R != 5 && d.R != 6) return false;
      if (!AcceptCryptFilter(d, keyBits, lengthDrivenBits)) return false;
      if (UsesStdCF(d) && d.StdCFMethod != "AESV3") return false;
      aesKind = AES256;
      Security.OwnerKeyEntry = d.OE;
      Security.UserKeyEntry = d.UE;
      Security.PermsEntry = d.Perms;
      break;
    default:
      return false;
  }
  Security.Version = d.V;
  Security.Revision = d.R;
  Security.OwnerEntry = d.O;
  Security.UserEntry = d.U;
  Security.EncryptMetadata = d.EncryptMetadata;
  Security.StreamsEncrypted = d.V < 4 || d.StmF != "Identity";
  Security.StringsEncrypted = d.V < 4 || d.StrF != "Identity";
  Security.FileId = d.FileId;
  Security.AESKind = aesKind;
  if (!Security.StreamsEncrypted && !Security.StringsEncrypted) return true;  // no key is ever needed
  if (aesKind == AES256) {
    Security.KeyBits = 256;
    Security.Method = MethodAES256;
    return true;
  }
  Schemes = KeySchemes(keyBits, lengthDrivenBits);
  Security.KeyBits = static_cast<int32_t>(8 * Schemes.front().KeyLength);
  Security.Method = MethodOf(Schemes.front(), aesKind);
  return true;
}

// Strings and streams go through the one crypt filter /StdCF, or through /Identity, which leaves
// them as they are. The method of /StdCF fixes the key length of AES; /Length gives that of RC4.
bool TPDFSecurityHandler::AcceptCryptFilter(const TPDFEncryptDictionary& d, int32_t& keyBits,
                                            int32_t& lengthDrivenBits) {
  for (const std::string* name : {&d.StmF, &d.StrF})
    if (*name != "StdCF" && *name != "Identity") return false;
  if (!UsesStdCF(d)) return true;
  if (!d.HasStdCF) return false;
  if (d.StdCFMethod != "V2") {
    keyBits = lengthDrivenBits = d.StdCFMethod == "AESV2" ? 128 : 256;
    return true;
  }
  if (!d.HasStdCFLength) {
    keyBits = d.HasLength && IsRC4KeyBits(d.Length) ? d.Length : 128;
    lengthDrivenBits = 40;
    return true;
  }
  keyBits = lengthDrivenBits = CryptFilterBits(d.StdCFLength);
  if (keyBits == 0) {
    keyBits = UnexpectedLengthBits(d.StdCFLength);
    lengthDrivenBits = d.StdCFLength;
  }
  return true;
}

// The standard steps follow the revision: revision 2 keys have 5 bytes, later ones
// the key length, with 50 extra MD5 rounds. Some writers instead follow the key
// length alone: 40 bits take the revision-2 steps, anything else the revision-3
// steps with 16-byte keys. Both are tried, the standard ones first.
std::vector<TPDFSecurityHandler::TKeyScheme> TPDFSecurityHandler::KeySchemes(int32_t keyBits,
                                                                             int32_t lengthDrivenBits) const {
  TKeyScheme standard{Security.Revision >= 3, Security.Revision == 2 ? 5u : static_cast<size_t>(keyBits / 8)};
  TKeyScheme lengthDriven{lengthDrivenBits != 40, lengthDrivenBits == 40 ? 5u : 16u};
  if (lengthDriven == standard) return {standard};
  return {standard, lengthDriven};
}

TPDFCryptMethod TPDFSecurityHandler::MethodOf(const TKeyScheme& scheme, TPDFAESKind aesKind) {
  if (aesKind == AES128) return MethodAES128;
  return scheme.Revision3Steps ? MethodRC4Revision3 : MethodRC4Revision2;
}

void TPDFSecurityHandler::ClearPassword() {
  Security.UserAccepted = Security.OwnerAccepted = false;
  Security.FileKey.clear();
  Security.AcceptedPassword.clear();
  Security.UserPassword.clear();
}

bool TPDFSecurityHandler::CheckPassword(const std::u16string& password) {
  ClearPassword();
  if (StateCode == NotEncrypted) return password.empty();
  if (StateCode != Supported) return false;
  bool accepted = false;
  if (!Security.StreamsEncrypted && !Security.StringsEncrypted) {
    // Only embedded files are encrypted, and they are never read: any password opens the rest.
    Security.UserAccepted = accepted = true;
  } else if (Security.AESKind == AES256) {
    // Writers of the older convention give AES-256 passwords as Windows-1252 bytes.
    const std::string utf8 = PasswordToUTF8(password);
    const std::string windows1252 = PasswordToWindows1252(password);
    accepted = CheckPasswordAES256(utf8) || (windows1252 != utf8 && CheckPasswordAES256(windows1252));
  } else {
    accepted = CheckPasswordMD5(PasswordToWindows1252(password));
  }
  if (!accepted) {
    ClearPassword();
    return false;
  }
  Security.AcceptedPassword = password;
  return true;
}

bool TPDFSecurityHandler::IsUnlocked() const {
  return StateCode == Supported && (Security.UserAccepted || Security.OwnerAccepted);
}

bool TPDFSecurityHandler::CheckPasswordMD5(const std::string& password) {
  for (const TKeyScheme& scheme : Schemes)
    if (CheckUserPassword(password, scheme)) return true;
  for (const TKeyScheme& scheme : Schemes)
    if (CheckOwnerPassword(password, scheme)) return true;
  return false;
}

TPDFSecurityHandler::TFileKey TPDFSecurityHandler::ComputeFileKey(const std::string& userPassword,
                                                                  const TKeyScheme& scheme) const {
  std::string input = PadPassword(userPassword) + Security.OwnerEntry +
                      LittleEndian(static_cast<uint32_t>(Security.Permissions), 4) + Security.FileId;
  // Revision 4 marks unencrypted metadata in the key.
  if (Security.Revision >= 4 && !Security.EncryptMetadata) input += std::string(4, '\xFF');
  std::string digest = MD5(input);
  const size_t n = std::min<size_t>(scheme.KeyLength, 16);
  if (scheme.Revision3Steps)
    for (int i = 0; i < 50; ++i) digest = MD5(digest.substr(0, n));
  TFileKey result{digest.substr(0, n), {}};
  if (!scheme.Revision3Steps) {
    result.UserHash = RC4(result.Key, PasswordPadding);
    return result;
  }
  std::string x = RC4(result.Key, MD5(PasswordPadding + Security.FileId));
  for (int i = 1; i <= 19; ++i) x = RC4(XorEach(result.Key, i), x);
  result.UserHash = x + std::string(16, '\0');
  return result;
}

// Revision-3 steps leave the last 16 bytes of /U arbitrary.
bool TPDFSecurityHandler::MatchesUserEntry(const TFileKey& candidate, const TKeyScheme& scheme) const {
  size_t compared = scheme.Revision3Steps ? 16 : 32;
  return Security.UserEntry.size() >= compared &&
         Security.UserEntry.compare(0, compared, candidate.UserHash, 0, compared) == 0;
}

bool TPDFSecurityHandler::UnlockMD5(const TFileKey& candidate, const TKeyScheme& scheme, bool& acceptedFlag) {
  if (!MatchesUserEntry(candidate, scheme)) return false;
  Security.FileKey = candidate.Key;
  Security.Method = MethodOf(scheme, Security.AESKind);
  Security.KeyBits = static_cast<int32_t>(8 * candidate.Key.size());
  acceptedFlag = true;
  return true;
}

bool TPDFSecurityHandler::CheckUserPassword(const std::string& password, const TKeyScheme& scheme) {
  return UnlockMD5(ComputeFileKey(password, scheme), scheme, Security.UserAccepted);
}

std::string TPDFSecurityHandler::OwnerKey(const std::string& ownerPassword, const TKeyScheme& scheme,
                                          size_t roundBytes) const {
  std::string digest = MD5(PadPassword(ownerPassword));
  if (scheme.Revision3Steps)
    for (int i = 0; i < 50; ++i) digest = MD5(digest.substr(0, roundBytes));
  return digest.substr(0, std::min<size_t>(scheme.KeyLength, 16));
}

// /O holds the padded user password encrypted with the owner key: once for
// revision 2, in 20 passes with varied keys for later revisions.
std::string TPDFSecurityHandler::RecoverUserPassword(const std::string& ownerKey) const {
  if (Security.Revision == 2) return RC4(ownerKey, Security.OwnerEntry);
  std::string x = Security.OwnerEntry;
  for (int i = 19; i >= 0; --i) x = RC4(XorEach(ownerKey, i), x);
  return x;
}

// The extra rounds of the owner key hash the whole digest; some writers hash only
// the key's bytes, as the file key rounds do. With 16-byte keys the two agree.
bool TPDFSecurityHandler::CheckOwnerPassword(const std::string& password, const TKeyScheme& scheme) {
  std::vector<size_t> roundBytes = {16};
  if (scheme.Revision3Steps && scheme.KeyLength < 16) roundBytes.push_back(scheme.KeyLength);
  for (size_t bytes : roundBytes) {
    std::string userPassword = RecoverUserPassword(OwnerKey(password, scheme, bytes)).substr(0, 32);
    if (UnlockMD5(ComputeFileKey(userPassword, scheme), scheme, Security.OwnerAccepted)) {
      Security.UserPassword = UnpadPassword(userPassword);
      return true;
    }
  }
  return false;
}

std::string TPDFSecurityHandler::ObjectKey(int32_t objectNumber, int32_t generation) const {
  if (!IsUnlocked() || Security.FileKey.empty()) return {};
  if (Security.EncryptRefNumber != 0 && objectNumber == Security.EncryptRefNumber) return {};
  if (Security.AESKind == AES256) return Security.FileKey;
  std::string input = Security.FileKey + LittleEndian(static_cast<uint32_t>(objectNumber), 3) +
                      LittleEndian(static_cast<uint32_t>(generation), 2);
  if (Security.AESKind == AES128) input += "sAlT";
  return MD5(input).substr(0, std::min<size_t>(Security.FileKey.size() + 5, 16));
}

std::string TPDFSecurityHandler::DecryptBytes(const std::string& key, const std::string& data) const {
  if (key.empty()) return data;
  return Security.AESKind == AESNone ? RC4(key, data) : DecryptAES(key, data);
}
