// Hostile encryption dictionaries, passwords and encrypted data: the handler must
// answer without crashing or reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "security/PellarAES.h"
#include "security/PellarRC4.h"
#include "security/PellarSecurity.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
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
  std::string password = in.Piece();

  TPDFSecurityHandler handler;
  handler.Examine(d);
  handler.CheckPassword(std::u16string(password.begin(), password.end()));
  std::string key = handler.ObjectKey(in.Int(), in.Int());
  std::string rest = in.Rest();
  handler.DecryptBytes(key, rest);
  DecryptAES(password, rest);
  RC4(password, rest);
  return 0;
}
