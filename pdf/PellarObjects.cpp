#include "pdf/PellarObjects.h"

#include <zlib.h>

#include <cmath>
#include <limits>
#include <new>

#include "pdf/PellarConvert.h"
#include "pdf/PellarStructure.h"

// Marks a container as being walked for the guard's lifetime; a second walk of the
// same container (a container that holds itself) sees the mark and stops.
class TPDFBusyGuard {
public:
  explicit TPDFBusyGuard(const TPDFObject& object) : Object(object), Entered(!object.Busy) { Object.Busy = true; }
  ~TPDFBusyGuard() {
    if (Entered) Object.Busy = false;
  }
  TPDFBusyGuard(const TPDFBusyGuard&) = delete;
  TPDFBusyGuard& operator=(const TPDFBusyGuard&) = delete;
  explicit operator bool() const { return Entered; }
  static bool IsBusy(const TPDFObject& object) { return object.Busy; }

private:
  const TPDFObject& Object;
  bool Entered;
};

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned char byte) {
  out += HexDigits[byte >> 4];
  out += HexDigits[byte & 15];
}

int32_t ClampToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// zlib format with header and Adler-32 check.
std::string Deflate(const std::string& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                     static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) throw std::bad_alloc();  // compressBound leaves memory as the only failure
  out.resize(size);
  return out;
}

bool IsContainer(const TPDFObject* object) {
  return object && (object->Kind == TPDFObject::KindDictionary || object->Kind == TPDFObject::KindArray);
}

}  // namespace

// ---- TPDFObject

void TPDFObject::Discard() { Owner->DiscardObject(this); }

void TPDFObject::ShiftNumbers(int32_t) {}

bool TPDFObject::Refers(const TPDFObject*) const { return false; }

std::string TPDFObject::Text() const {
  std::string out;
  WriteTo(out);
  return out;
}

void TPDFObject::MarkIndirect(int32_t number, int32_t generation) {
  IsIndirect = true;
  IndirectNumber = number;
  IndirectGeneration = generation;
}

// ---- Scalars

void TPDFName::WriteTo(std::string& out) const {
  out += '/';
  for (char c : Value) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b <= 32 || b >= 127 || std::string_view("/()#%[{}]<>").find(c) != std::string_view::npos) {
      out += '#';
      AppendHex(out, b);
    } else {
      out += c;
    }
  }
}

void TPDFNull::WriteTo(std::string& out) const { out += "null"; }

void TPDFBoolean::WriteTo(std::string& out) const { out += Value ? "true" : "false"; }

void TPDFNumeric::WriteTo(std::string& out) const {
  // Whole numbers, the common case, need no rounding: their digits are the text.
  if (std::fabs(Value) < 1e15 && Value == std::trunc(Value))
    out += std::to_string(static_cast<int64_t>(Value));
  else
    out += FormatReal(Owner->NumberDecimals(), Value);
}

int32_t TPDFNumeric::AsInteger() const {
  if (std::isnan(Value)) return 0;
  double whole = std::floor(Value);
  double rest = Value - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  return ClampToInt32(whole);
}

void TPDFString::WriteTo(std::string& out) const {
  if (IsHex) {
    out += '<';
    for (char c : Value) AppendHex(out, static_cast<unsigned char>(c));
    out += '>';
    return;
  }
  out += '(';
  for (char c : Value) {
    switch (c) {
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      case '(': out += "\\("; break;
      case ')': out += "\\)"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  out += ')';
}

void TPDFIndRef::WriteTo(std::string& out) const {
  out += std::to_string(Number);
  out += ' ';
  out += std::to_string(Generation);
  out += " R";
}

void TPDFIndRef::ShiftNumbers(int32_t delta) { Number = ClampToInt32(static_cast<double>(Number) + delta); }

TPDFObject* TPDFIndRef::Resolve() {
  return Owner->OnLookupIndirect ? Owner->OnLookupIndirect(*this, Number, Generation) : nullptr;
}

// ---- TPDFDictionary

TPDFDictionaryEntry TPDFDictionary::Entry(int index) const {
  return index >= 0 && index < Count() ? Entries[static_cast<size_t>(index)] : TPDFDictionaryEntry{};
}

int TPDFDictionary::IndexOfKey(const std::string& key) const {
  for (size_t i = 0; i < Entries.size(); ++i)
    if (Entries[i].Key && Entries[i].Key->Value == key) return static_cast<int>(i);
  return -1;
}

void TPDFDictionary::SetEntry(TPDFName* key, TPDFObject* value) {
  int index = key ? IndexOfKey(key->Value) : -1;
  if (index >= 0)
    ReplaceEntry(index, key, value);
  else
    AppendEntry(key, value);
}

void TPDFDictionary::ReplaceEntry(int index, TPDFName* key, TPDFObject* value) {
  if (index >= 0 && index < Count()) Entries[static_cast<size_t>(index)] = {key, value};
}

void TPDFDictionary::Put(const std::string& key, TPDFObject* value) {
  if (value == this) return;
  SetEntry(Owner->CommonName(key), value);
}

TPDFObject* TPDFDictionary::Get(const std::string& key, bool resolve) const {
  int index = IndexOfKey(key);
  if (index < 0) return nullptr;
  TPDFObject* value = Entries[static_cast<size_t>(index)].Value;
  if (resolve && value && value->Kind == KindIndRef) return static_cast<TPDFIndRef*>(value)->Resolve();
  return value;
}

int32_t TPDFDictionary::GetInteger(const std::string& key, int32_t fallback) const {
  TPDFObject* value = Get(key, false);
  if (value && value->Kind == KindIndRef) value = static_cast<TPDFIndRef*>(value)->Resolve();
  if (value && value->Kind == KindNumeric) return static_cast<TPDFNumeric*>(value)->AsInteger();
  return fallback;
}

std::string TPDFDictionary::TypeName() const {
  TPDFObject* value = Get("Type", false);
  return value && value->Kind == KindName ? static_cast<TPDFName*>(value)->Value : std::string();
}

void TPDFDictionary::Remove(const std::string& key) {
  int index = IndexOfKey(key);
  if (index >= 0) Entries.erase(Entries.begin() + index);
}

void TPDFDictionary::Delete(const std::string& key) {
  int index = IndexOfKey(key);
  if (index < 0) return;
  TPDFDictionaryEntry entry = Entries[static_cast<size_t>(index)];
  if (IsContainer(entry.Value)) entry.Value->Discard();
  if (!TPDFStructure::IsCommonName(key)) Owner->DiscardObject(entry.Key);
  // Offering objects back to the pool never changes this dictionary, so the index holds.
  Entries.erase(Entries.begin() + index);
}

void TPDFDictionary::Clear() {
  for (const TPDFDictionaryEntry& entry : Entries) {
    Owner->DiscardObject(entry.Key);
    Owner->DiscardObject(entry.Value);
  }
  Entries.clear();
}

void TPDFDictionary::CopyFrom(const TPDFDictionary& other) {
  if (&other == this) return;
  if (other.Owner == Owner) {
    Entries = other.Entries;
    return;
  }
  TPDFObject* copy = Owner->Parse(other.Text());
  if (copy->Kind == KindDictionary) Entries = static_cast<TPDFDictionary*>(copy)->Entries;
}

void TPDFDictionary::Discard() {
  {
    TPDFBusyGuard guard(*this);
    if (!guard) return;
    for (const TPDFDictionaryEntry& entry : Entries) {
      if (entry.Key) entry.Key->Discard();
      if (entry.Value) entry.Value->Discard();
    }
  }
  Owner->DiscardObject(this);  // may free this object: nothing may follow
}

void TPDFDictionary::ShiftNumbers(int32_t delta) {
  TPDFBusyGuard guard(*this);
  if (!guard) return;
  for (const TPDFDictionaryEntry& entry : Entries)
    if (entry.Value) entry.Value->ShiftNumbers(delta);
}

bool TPDFDictionary::Refers(const TPDFObject* object) const {
  for (const TPDFDictionaryEntry& entry : Entries)
    if (entry.Key == object || entry.Value == object) return true;
  return false;
}

// An entry without a key, or whose value is already being written (a dictionary that
// holds itself), cannot be written: it becomes a marker comment.
void TPDFDictionary::WriteEntry(const TPDFDictionaryEntry& entry, std::string& out) const {
  if (!entry.Key || (entry.Value && TPDFBusyGuard::IsBusy(*entry.Value))) {
    out += "% bug \n";
    return;
  }
  entry.Key->WriteTo(out);
  out += ' ';
  if (entry.Value) entry.Value->WriteTo(out);
}

void TPDFDictionary::WriteTo(std::string& out) const {
  TPDFBusyGuard guard(*this);
  const bool lines = Count() > 1 || Owner->MultiLineDictionaries;
  out += "<<";
  out += lines ? '\n' : ' ';
  for (const TPDFDictionaryEntry& entry : Entries) {
    WriteEntry(entry, out);
    if (lines && out.back() != '\n') out += '\n';
  }
  if (!lines && Count() == 1) out += ' ';
  out += ">>\n";
}

// ---- TPDFArray

void TPDFArray::Add(TPDFObject* object) {
  if (Spare > 0) --Spare;
  Items.push_back(object);
}

TPDFObject* TPDFArray::Item(int index) const {
  return index >= 0 && index < Count() ? Items[static_cast<size_t>(index)] : nullptr;
}

void TPDFArray::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Owner->DiscardObject(Items[static_cast<size_t>(index)]);
  Items.erase(Items.begin() + index);
  ++Spare;
}

void TPDFArray::Replace(int index, TPDFObject* object) {
  if (index < 0 || index >= Count()) return;
  Owner->DiscardObject(Items[static_cast<size_t>(index)]);
  Items[static_cast<size_t>(index)] = object;
}

void TPDFArray::Reserve(int n) {
  if (Spare >= n) return;
  Items.reserve(Items.size() + static_cast<size_t>(n));
  Spare = n;
}

bool TPDFArray::AllNumeric() const {
  for (const TPDFObject* item : Items)
    if (!item || item->Kind != KindNumeric) return false;
  return true;
}

void TPDFArray::Discard() {
  // Items are offered to the pool, not discarded in depth.
  for (TPDFObject* item : Items) Owner->DiscardObject(item);
  Owner->DiscardObject(this);  // may free this object: nothing may follow
}

void TPDFArray::ShiftNumbers(int32_t delta) {
  TPDFBusyGuard guard(*this);
  if (!guard) return;
  for (TPDFObject* item : Items)
    if (item) item->ShiftNumbers(delta);
}

bool TPDFArray::Refers(const TPDFObject* object) const {
  for (const TPDFObject* item : Items)
    if (item == object) return true;
  return false;
}

// Items are separated by a space, and a line feed follows an item once the current
// line has grown past 80 characters. Line feeds inside items start a new line too.
void TPDFArray::WriteTo(std::string& out) const {
  TPDFBusyGuard guard(*this);
  size_t lineStart = out.size();
  out += "[ ";
  for (const TPDFObject* item : Items) {
    size_t itemStart = out.size();
    if (item && !TPDFBusyGuard::IsBusy(*item)) item->WriteTo(out);
    for (size_t i = out.size(); i > itemStart; --i) {
      if (out[i - 1] == '\n') {
        lineStart = i;
        break;
      }
    }
    if (out.back() != '\n') out += ' ';
    if (out.size() - lineStart > 80) {
      out += '\n';
      lineStart = out.size();
    }
  }
  out += ']';
}

// ---- TPDFStream

TPDFStream::TPDFStream(TPDFStructure& owner) : TPDFObject(owner, KindStream), Dict(owner.NewDictionary()) {}

void TPDFStream::SetDictionary(TPDFDictionary* dictionary) {
  if (!dictionary || dictionary == Dict) return;
  if (dictionary->Owner != Owner) {
    TPDFDictionary* copy = Owner->NewDictionary();
    copy->CopyFrom(*dictionary);
    dictionary = copy;
  }
  TPDFDictionary* old = Dict;
  Dict = dictionary;
  Owner->DiscardObject(old);
}

void TPDFStream::SetData(std::string bytes) {
  Data = std::move(bytes);
  TPDFObject* length = Dict->Get("Length", false);
  double count = static_cast<double>(Data.size());
  if (length && length->Kind == KindNumeric)
    static_cast<TPDFNumeric*>(length)->Value = count;
  else
    Dict->Put("Length", Owner->NewNumeric(count));
}

void TPDFStream::Store(const std::string& bytes, bool compress) {
  if (compress) {
    SetData(Deflate(bytes));
    Dict->Delete("Filter");
    Dict->Put("Filter", Owner->NewName("FlateDecode"));
  } else {
    SetData(bytes);
    Dict->Delete("Filter");
  }
}

void TPDFStream::Discard() {
  // The stream goes first: its dictionary may only be freed once no stream uses it.
  TPDFDictionary* dictionary = Dict;
  TPDFStructure* pool = Owner;
  if (pool->DiscardObject(this)) dictionary->Discard();
}

void TPDFStream::ShiftNumbers(int32_t delta) { Dict->ShiftNumbers(delta); }

bool TPDFStream::Refers(const TPDFObject* object) const { return Dict->Refers(object); }

void TPDFStream::WriteTo(std::string& out) const {
  TPDFBusyGuard guard(*this);
  if (TPDFBusyGuard::IsBusy(*Dict)) return;
  Dict->WriteTo(out);
  out += "stream\n";
  out += Data;
  out += "\nendstream";
}
