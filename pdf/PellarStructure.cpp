#include "pdf/PellarStructure.h"

#include <algorithm>

namespace {

// The key names Put interns, in the order of the engine's list.
constexpr std::array<std::string_view, TPDFStructure::CommonNameCount> CommonNames = {
    "MediaBox", "Length", "CropBox", "Type",    "Subtype",   "Name",     "Pages",    "Page",
    "Parent",   "Font",   "Contents", "BaseFont", "PDF",     "Text",     "ImageB",   "ImageC",
    "ImageI",   "Resources", "ProcSet", "ExtGState", "Type1", "TrueType", "WinAnsiEncoding", "Filter",
    "FlateDecode", "Annot", "URI",   "Goto",    "XYZ",       "iMRV",     "Pellar"};

int CommonNameIndex(std::string_view value) {
  auto it = std::find(CommonNames.begin(), CommonNames.end(), value);
  return it == CommonNames.end() ? -1 : static_cast<int>(it - CommonNames.begin());
}

// The pool grows by this many slots once fewer than the low mark are spare.
constexpr int GrowthStep = 1000;
constexpr int GrowthLowMark = 100;

}  // namespace

TPDFStructure::~TPDFStructure() { FreeAll(); }

void TPDFStructure::FreeAll() {
  // Freed newest first; no object frees anything it points at.
  while (!Objects.empty()) Objects.pop_back();
  Interned.fill(nullptr);
}

void TPDFStructure::ResetPool() {
  FreeAll();
  Objects.shrink_to_fit();
  Spare = 0;
  SetNumberDecimals(4);
  MultiLineDictionaries = true;
}

void TPDFStructure::SetNumberDecimals(int decimals) {
  Decimals = std::clamp(decimals, 0, 15);
  Pattern = Decimals == 0 ? "0" : "0." + std::string(static_cast<size_t>(Decimals), '0');
}

void TPDFStructure::Reserve(int n) {
  if (Spare >= n) return;
  // The slot count is kept as stated; the storage itself grows geometrically so that
  // steady growth stays linear.
  size_t wanted = Objects.size() + static_cast<size_t>(n);
  if (wanted > Objects.capacity()) Objects.reserve(std::max(wanted, Objects.capacity() * 2));
  Spare = n;
}

void TPDFStructure::Adopt(std::unique_ptr<TPDFObject> object) {
  if (Spare < GrowthLowMark) Reserve(GrowthStep);
  Objects.push_back(std::move(object));
  --Spare;
}

template <class T, class... Args>
T* TPDFStructure::Create(Args&&... args) {
  std::unique_ptr<T> object(new T(*this, std::forward<Args>(args)...));
  T* raw = object.get();
  Adopt(std::move(object));
  return raw;
}

TPDFObject* TPDFStructure::Object(int index) const {
  return index >= 0 && index < Count() ? Objects[static_cast<size_t>(index)].get() : nullptr;
}

bool TPDFStructure::IsHeld(const TPDFObject* object) const {
  for (const auto& holder : Objects) {
    if (holder->Refers(object)) return true;
    // A stream does not count as holding its dictionary, but freeing the dictionary
    // of a live stream would leave the stream pointing at nothing.
    if (holder->Kind == TPDFObject::KindStream && static_cast<const TPDFStream&>(*holder).Dictionary() == object)
      return true;
  }
  return false;
}

bool TPDFStructure::DiscardObject(TPDFObject* object) {
  if (!object) return false;
  auto slot = std::find_if(Objects.rbegin(), Objects.rend(), [&](const auto& p) { return p.get() == object; });
  if (slot == Objects.rend()) return false;
  if (object->Kind == TPDFObject::KindName && static_cast<TPDFName*>(object)->Common) return false;
  if (IsHeld(object)) return false;
  for (TPDFName*& name : Interned)
    if (name == object) name = nullptr;
  Objects.erase(std::next(slot).base());
  ++Spare;
  return true;
}

// A walk with its own stack: nesting as deep as the parser allows must not exhaust the
// call stack. An object already marked is not entered again, which also ends cycles.
void TPDFStructure::Mark(TPDFObject* object) {
  std::vector<TPDFObject*> pending;
  auto visit = [&pending](TPDFObject* o) {
    if (o && !o->Marked) {
      o->Marked = true;
      pending.push_back(o);
    }
  };
  visit(object);
  while (!pending.empty()) {
    TPDFObject* o = pending.back();
    pending.pop_back();
    if (auto* dict = As<TPDFDictionary>(o)) {
      for (int i = 0; i < dict->Count(); ++i) {
        visit(dict->Entry(i).Key);
        visit(dict->Entry(i).Value);
      }
    } else if (auto* array = As<TPDFArray>(o)) {
      for (int i = 0; i < array->Count(); ++i) visit(array->Item(i));
    } else if (auto* stream = As<TPDFStream>(o)) {
      visit(stream->Dictionary());
    }
  }
}

size_t TPDFStructure::SweepUnmarked() {
  for (TPDFName* name : Interned) Mark(name);
  const size_t before = Objects.size();
  std::erase_if(Objects, [](const std::unique_ptr<TPDFObject>& o) { return !o->Marked; });
  for (const auto& o : Objects) o->Marked = false;
  const size_t freed = before - Objects.size();
  Spare += static_cast<int>(freed);
  return freed;
}

TPDFArray* TPDFStructure::NewArray() { return Create<TPDFArray>(); }

TPDFArray* TPDFStructure::NewArray(const std::vector<TPDFObject*>& items) {
  TPDFArray* array = NewArray();
  for (TPDFObject* item : items) array->Add(item);
  return array;
}

TPDFArray* TPDFStructure::NewIntegerArray(const std::vector<int32_t>& values) {
  TPDFArray* array = NewArray();
  for (int32_t v : values) array->Add(NewNumeric(v));
  return array;
}

TPDFArray* TPDFStructure::NewRealArray(const std::vector<double>& values) {
  TPDFArray* array = NewArray();
  for (double v : values) array->Add(NewNumeric(v));
  return array;
}

TPDFBoolean* TPDFStructure::NewBoolean(bool value) { return Create<TPDFBoolean>(value); }

TPDFIndRef* TPDFStructure::NewIndRef(int32_t number, int32_t generation) {
  return Create<TPDFIndRef>(number, generation);
}

TPDFName* TPDFStructure::NewName(std::string value) { return Create<TPDFName>(std::move(value)); }

TPDFNumeric* TPDFStructure::NewNumeric(double value) { return Create<TPDFNumeric>(value); }

TPDFStream* TPDFStructure::NewStream(const std::string& data, bool compress) {
  TPDFStream* stream = Create<TPDFStream>();
  stream->Store(data, compress);
  return stream;
}

TPDFString* TPDFStructure::NewString(std::string value, bool isHex) {
  return Create<TPDFString>(std::move(value), isHex);
}

TPDFDictionary* TPDFStructure::NewDictionary() { return Create<TPDFDictionary>(); }

TPDFNull* TPDFStructure::NewNull() { return Create<TPDFNull>(); }

TPDFName* TPDFStructure::FindName(const std::string& value) const {
  for (const auto& object : Objects)
    if (object->Kind == TPDFObject::KindName && static_cast<TPDFName&>(*object).Value == value)
      return static_cast<TPDFName*>(object.get());
  return nullptr;
}

bool TPDFStructure::IsCommonName(const std::string& value) { return CommonNameIndex(value) >= 0; }

TPDFName* TPDFStructure::CommonName(const std::string& value) {
  int index = CommonNameIndex(value);
  TPDFName* name = nullptr;
  if (index >= 0) {
    // The name handed out before is the first of its value in the pool unless its value
    // was changed since; only then is the pool searched again.
    TPDFName*& interned = Interned[static_cast<size_t>(index)];
    name = interned && interned->Value == value ? interned : FindName(value);
    if (!name) name = NewName(value);
    interned = name;
  } else {
    name = NewName(value);
  }
  name->Common = true;
  return name;
}
