#pragma once
// The standard security handler: decides whether an encrypted document can be
// opened, checks its password, and supplies the key and the decryption of each
// indirect object. RC4 and AES-128 for revisions 2 to 4, AES-256 for 5 and 6.
#include <cstdint>
#include <string>
#include <vector>

// The values of a document's /Encrypt dictionary and /ID, as the document loader
// reads them from the trailer. Entries are read directly (references inside the
// dictionary are not followed, save /CF and its filters); an entry of another type reads as absent, which
// the defaults below describe. Numbers are rounded to integers.
struct TPDFEncryptDictionary {
  bool Present = false;           // the trailer has /Encrypt, whatever its value
  bool IsDictionary = false;      // /Encrypt is, or refers to, a dictionary
  int32_t RefNumber = 0;          // object number when /Encrypt is a reference; 0 when direct
  std::string Filter;             // /Filter name without "/"
  int32_t V = 0;                  // /V, 0 when not a number
  int32_t R = 0;                  // /R, 0 when not a number
  bool HasLength = false;         // /Length is a number
  int32_t Length = 0;             // /Length, in bits
  int32_t P = 0;                  // /P, its low 32 bits (writers also give 4294967292 for -4)
  std::string O, U;               // /O, /U: string bytes, empty when not strings
  std::string OE, UE, Perms;      // /OE, /UE, /Perms likewise (revisions 5 and 6)
  bool EncryptMetadata = true;    // /EncryptMetadata; true unless it is the boolean false
  std::string StmF, StrF;         // /StmF, /StrF names; /Identity leaves that class in clear
  bool HasStdCF = false;          // /CF is a dictionary whose /StdCF is a dictionary
  std::string StdCFMethod;        // /CF /StdCF /CFM name
  bool HasStdCFLength = false;    // /CF /StdCF /Length is a number
  int32_t StdCFLength = 0;        // that /Length: bytes (5 to 16), or bits (40 to 128) from some writers
  std::string FileId;             // first string of the trailer's /ID array; empty without one (writers
                                  // that omit /ID derive their keys from an empty identifier)
};

// Whether a document is encrypted in a way this handler can open.
enum class TPDFEncryptionState { NotEncrypted, Supported, Unsupported };
// The block cipher of strings and streams: none (RC4), AES-128 or AES-256.
enum class TPDFAESKind { AESNone, AES128, AES256 };
// How the file key was derived and how objects are decrypted.
enum class TPDFCryptMethod { MethodRC4Revision2, MethodRC4Revision3, MethodAES128, MethodAES256 };

// The security state of one loaded document.
struct TPDFSecurityState {
  bool Examined = false;          // Examine has run
  bool HasEncrypt = false;
  int32_t EncryptRefNumber = 0;
  int32_t Version = 0;            // /V when the dictionary was accepted, 0 otherwise
  int32_t Revision = 0;
  int32_t KeyBits = 0;            // length of the file key in bits
  std::string OwnerEntry, UserEntry;
  std::string OwnerKeyEntry, UserKeyEntry, PermsEntry;
  int32_t Permissions = 0;
  TPDFAESKind AESKind = TPDFAESKind::AESNone;
  TPDFCryptMethod Method = TPDFCryptMethod::MethodRC4Revision2;
  bool EncryptMetadata = true;    // false: /Type /Metadata streams were written in clear
  // A class of data whose crypt filter is /Identity was written in clear.
  bool StreamsEncrypted = true;
  bool StringsEncrypted = true;
  std::string FileId;
  std::string FileKey;
  bool UserAccepted = false;
  bool OwnerAccepted = false;
  std::u16string AcceptedPassword;
  std::string UserPassword;       // the user password (unpadded bytes) recovered by an owner check, R2 to R4
};

// The revision-6 password hash (ISO 32000-2, algorithm 2.B): 32 bytes.
std::string Revision6Hash(const std::string& password, const std::string& salt, const std::string& userData);

class TPDFSecurityHandler {
public:
  using TPasswordHash = std::string (*)(const std::string& password, const std::string& salt,
                                        const std::string& userData);
  using enum TPDFEncryptionState;
  using enum TPDFAESKind;
  using enum TPDFCryptMethod;

  // The revision-6 hash runs 64 to 287 rounds of AES and SHA-2, slow by design; the security
  // fuzz target hands in a cheap stand-in so that its time goes to the checks around the hash.
  explicit TPDFSecurityHandler(TPasswordHash revision6Hash = Revision6Hash) : HashRevision6(revision6Hash) {}

  // Forgets the dictionary, the password and the key.
  void Reset();
  // Reads the dictionary once; later calls keep the first result until Reset.
  void Examine(const TPDFEncryptDictionary& dictionary);
  // NotEncrypted without /Encrypt, Supported for an accepted standard-handler
  // dictionary, Unsupported for anything else.
  TPDFEncryptionState EncryptionState() const;

  // Tries the password as user password, then as owner password. Without /Encrypt
  // only the empty password is accepted; an unsupported dictionary accepts none.
  bool CheckPassword(const std::u16string& password);
  bool IsUnlocked() const;

  // The key of an indirect object; empty (the object is left as it is) while the
  // document is locked and for the encryption dictionary's own object.
  std::string ObjectKey(int32_t objectNumber, int32_t generation) const;
  // A string's or stream's plain bytes: AES or RC4 as the dictionary says; an empty
  // key leaves the bytes as they are.
  std::string DecryptBytes(const std::string& key, const std::string& data) const;

  const TPDFSecurityState& State() const { return Security; }

private:
  // How the MD5 steps derive the file key: the revision-2 or revision-3 steps and
  // the key length in bytes.
  struct TKeyScheme {
    bool Revision3Steps;
    size_t KeyLength;
    bool operator==(const TKeyScheme&) const = default;
  };
  struct TFileKey {
    std::string Key;
    std::string UserHash;  // the /U value this key implies
  };

  bool Accept(const TPDFEncryptDictionary& dictionary);
  bool AcceptCryptFilter(const TPDFEncryptDictionary& dictionary, int32_t& keyBits, int32_t& lengthDrivenBits);

  // Revisions 2 to 4.
  std::vector<TKeyScheme> KeySchemes(int32_t keyBits, int32_t lengthDrivenBits) const;
  static TPDFCryptMethod MethodOf(const TKeyScheme& scheme, TPDFAESKind aesKind);
  TFileKey ComputeFileKey(const std::string& userPassword, const TKeyScheme& scheme) const;
  bool MatchesUserEntry(const TFileKey& candidate, const TKeyScheme& scheme) const;
  // Takes the candidate's key when it matches /U, and sets the flag.
  bool UnlockMD5(const TFileKey& candidate, const TKeyScheme& scheme, bool& acceptedFlag);
  std::string OwnerKey(const std::string& ownerPassword, const TKeyScheme& scheme, size_t roundBytes) const;
  std::string RecoverUserPassword(const std::string& ownerKey) const;
  bool CheckUserPassword(const std::string& password, const TKeyScheme& scheme);
  bool CheckOwnerPassword(const std::string& password, const TKeyScheme& scheme);
  bool CheckPasswordMD5(const std::string& password);

  // Revisions 5 and 6.
  bool CheckPasswordAES256(const std::string& password);
  bool CheckUserPasswordAES256(const std::string& password);
  bool CheckOwnerPasswordAES256(const std::string& password);
  std::string PasswordHashAES256(const std::string& password, const std::string& salt,
                                 const std::string& userData) const;
  // Unwraps the file key from /UE or /OE; a wrapped key shorter than 32 bytes cannot give one.
  bool UnlockAES256(const std::string& intermediateKey, const std::string& wrappedKey, bool& acceptedFlag);
  void ApplyPermsEntry();

  void ClearPassword();

  TPasswordHash HashRevision6;
  TPDFSecurityState Security;
  TPDFEncryptionState StateCode = NotEncrypted;
  // The key steps the MD5-based checks try in turn (see KeySchemes).
  std::vector<TKeyScheme> Schemes;
};
