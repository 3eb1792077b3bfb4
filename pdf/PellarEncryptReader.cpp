#include "pdf/PellarEncryptReader.h"

#include <cmath>

#include "pdf/PellarObjects.h"

namespace {

// Entries of the encryption dictionary are read directly, never through references (but
// see /CF below).
template <class T>
const T* Direct(const TPDFDictionary& dict, const char* key) {
  return As<T>(dict.Get(key, false));
}

std::string NameOf(const TPDFDictionary& dict, const char* key) {
  const auto* name = Direct<TPDFName>(dict, key);
  return name ? name->Value : "";
}

std::string StringOf(const TPDFDictionary& dict, const char* key) {
  const auto* text = Direct<TPDFString>(dict, key);
  return text ? text->Value : "";
}

bool ReadInteger(const TPDFDictionary& dict, const char* key, int32_t& out) {
  const auto* number = Direct<TPDFNumeric>(dict, key);
  if (number) out = number->AsInteger();
  return number != nullptr;
}

// The permission bits: writers give them signed or as the unsigned 32-bit value.
int32_t PermissionBits(const TPDFDictionary& dict) {
  const auto* number = Direct<TPDFNumeric>(dict, "P");
  if (!number || !std::isfinite(number->Value) || std::fabs(number->Value) > 9e15) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::nearbyint(number->Value))));
}

}  // namespace

TPDFEncryptDictionary ReadEncryptDictionary(const TPDFDictionary& trailer) {
  TPDFEncryptDictionary out;
  TPDFObject* entry = trailer.Get("Encrypt", false);
  out.Present = entry != nullptr;
  if (entry && entry->Kind == TPDFObject::KindIndRef) {
    out.RefNumber = static_cast<TPDFIndRef*>(entry)->Number;
    entry = static_cast<TPDFIndRef*>(entry)->Resolve();
  }
  if (auto* id = Direct<TPDFArray>(trailer, "ID")) {
    if (const TPDFString* first = As<TPDFString>(id->Item(0))) out.FileId = first->Value;
  }
  if (!entry || entry->Kind != TPDFObject::KindDictionary) return out;
  const auto& dict = *static_cast<TPDFDictionary*>(entry);
  out.IsDictionary = true;
  out.Filter = NameOf(dict, "Filter");
  ReadInteger(dict, "V", out.V);
  ReadInteger(dict, "R", out.R);
  out.HasLength = ReadInteger(dict, "Length", out.Length);
  out.P = PermissionBits(dict);
  out.O = StringOf(dict, "O");
  out.U = StringOf(dict, "U");
  out.OE = StringOf(dict, "OE");
  out.UE = StringOf(dict, "UE");
  out.Perms = StringOf(dict, "Perms");
  if (const auto* flag = Direct<TPDFBoolean>(dict, "EncryptMetadata"))
    out.EncryptMetadata = flag->Value;
  out.StmF = NameOf(dict, "StmF");
  out.StrF = NameOf(dict, "StrF");
  // Writers store the crypt filters, or each filter, as objects of their own; those hold no
  // strings, so reading them before the password is checked is safe.
  if (const auto* filters = As<TPDFDictionary>(dict.Get("CF", true))) {
    if (const auto* standard = As<TPDFDictionary>(filters->Get("StdCF", true))) {
      out.HasStdCF = true;
      out.StdCFMethod = NameOf(*standard, "CFM");
      out.HasStdCFLength = ReadInteger(*standard, "Length", out.StdCFLength);
    }
  }
  return out;
}
