// Hostile encryption dictionaries, passwords and encrypted data: the dictionary reading and the
// handler must answer without crashing or reading out of bounds.
//
// Byte 0 picks the form of the rest. Even: a password piece, then PDF text: a trailer, the
// object every reference in it stands for (an /Encrypt given as a reference), and the data to
// decrypt. Odd: the fields of the dictionary record taken one by one from the bytes.
//
// The revision-6 password hash is replaced by one SHA-256 (the revision-5 hash): its 64 to 287
// rounds would spend nearly every run; its own cases are in the unit tests. Seeds
// (seeds/fuzz_security) are the trailers of the files under tests/fixtures/security with their
// passwords, and those of revision 5 marked revision 6, which the stand-in opens.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/PellarEncryptReader.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "security/PellarAES.h"
#include "security/PellarHash.h"
#include "security/PellarRC4.h"
#include "security/PellarSecurity.h"
#include "tests/fuzz/SanitizerDefaults.h"

namespace {

// Takes the input apart front to back; missing bytes read as zeros.
class TFuzzInput {
public:
  TFuzzInput(const uint8_t* data, size_t size) : Data(data), Size(size) {}

  uint8_t Byte() { return Pos < Size ? Data[Pos++] : 0; }
  bool Bit() { return Byte() & 1; }
  int32_t Int() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | Byte();
    return static_cast<int32_t>(value);
  }
  // A piece of at most 63 bytes, its length first.
  std::string Piece() {
    size_t length = Byte() % 64;
    std::string out;
    while (out.size() < length && Pos < Size) out += static_cast<char>(Data[Pos++]);
    return out;
  }
  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(Data + Pos), Size - Pos);
    Pos = Size;
    return out;
  }
  std::string OneOf(std::initializer_list<const char*> names) {
    uint8_t pick = Byte() % names.size();
    return names.begin()[pick];
  }

private:
  const uint8_t* Data;
  size_t Size;
  size_t Pos = 0;
};

std::string CheapRevision6Hash(const std::string& password, const std::string& salt, const std::string& userData) {
  return SHA256(password + salt + userData);
}

void Exercise(const TPDFEncryptDictionary& d, const std::string& password, int32_t number, const std::string& data) {
  TPDFSecurityHandler handler(CheapRevision6Hash);
  handler.Examine(d);
  handler.CheckPassword(std::u16string(password.begin(), password.end()));
  handler.DecryptBytes(handler.ObjectKey(number, 0), data);
  DecryptAES(password, data);
  RC4(password, data);
}

// A trailer in PDF syntax, read as the document loader reads it.
void FromText(TFuzzInput& in) {
  const std::string password = in.Piece();
  const std::string rest = in.Rest();
  std::string_view text = rest;
  TPDFStructure pool;
  size_t consumed = 0;
  TPDFObject* trailer = pool.ParseAt(text, consumed);
  text.remove_prefix(consumed);
  TPDFObject* target = pool.ParseAt(text, consumed);
  text.remove_prefix(consumed);
  pool.OnLookupIndirect = [target](TPDFIndRef&, int32_t, int32_t) { return target; };
  const TPDFDictionary* dict = As<TPDFDictionary>(trailer);
  if (!dict) return;
  const TPDFEncryptDictionary d = ReadEncryptDictionary(*dict);
  Exercise(d, password, d.RefNumber + 1, std::string(text));
}

void FromFields(TFuzzInput& in) {
  TPDFEncryptDictionary d;
  d.Present = true;
  d.IsDictionary = in.Byte() != 0xFF;
  d.RefNumber = in.Byte();
  d.Filter = in.OneOf({"Standard", "Other", ""});
  d.V = in.Byte() % 7;
  d.R = in.Byte() % 8;
  d.HasLength = in.Bit();
  d.Length = in.Int();
  d.P = in.Int();
  d.O = in.Piece();
  d.U = in.Piece();
  d.OE = in.Piece();
  d.UE = in.Piece();
  d.Perms = in.Piece();
  d.EncryptMetadata = in.Bit();
  d.StmF = in.OneOf({"StdCF", "Identity"});
  d.StrF = in.OneOf({"StdCF", "Identity"});
  d.HasStdCF = in.Bit();
  d.StdCFMethod = in.OneOf({"V2", "AESV2", "AESV3", "None"});
  d.HasStdCFLength = in.Bit();
  d.StdCFLength = in.Int();
  d.FileId = in.Piece();
  const std::string password = in.Piece();
  const int32_t number = in.Int();
  Exercise(d, password, number, in.Rest());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  if (in.Byte() % 2 == 0)
    FromText(in);
  else
    FromFields(in);
  return 0;
}
