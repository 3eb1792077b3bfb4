#pragma once
// The PDF values held in memory. Every object is created by, registered in and freed
// by a pool (TPDFStructure); containers only point at other objects of the pool and
// never free them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TPDFStructure;
struct TPDFObjectStream;

class TPDFObject {
public:
  // Kind tags.
  enum : char {
    KindNone = 0,
    KindName = 'N',
    KindDictionary = 'D',
    KindNull = '0',
    KindBoolean = 'B',
    KindNumeric = 'n',
    KindString = 's',
    KindArray = 'A',
    KindStream = 'S',
    KindIndRef = 'I'
  };

  virtual ~TPDFObject() = default;
  TPDFObject(const TPDFObject&) = delete;
  TPDFObject& operator=(const TPDFObject&) = delete;

  // Appends the object's PDF syntax to out.
  virtual void WriteTo(std::string& out) const = 0;
  // Gives the object back to its pool, which frees it unless something still holds it.
  virtual void Discard();
  // Adds delta to the object numbers of the references held, at any depth.
  virtual void ShiftNumbers(int32_t delta);
  // True when this object directly holds the given one.
  virtual bool Refers(const TPDFObject* object) const;

  std::string Text() const;
  void MarkIndirect(int32_t number, int32_t generation);

  TPDFStructure* const Owner;
  bool IsIndirect = false;
  int32_t IndirectNumber = 0;
  int32_t IndirectGeneration = 0;
  const char Kind;

protected:
  TPDFObject(TPDFStructure& owner, char kind) : Owner(&owner), Kind(kind) {}

  // Set while a container is being walked, so that a container that (through API
  // misuse) holds itself is not walked again.
  mutable bool Busy = false;
  friend class TPDFBusyGuard;

private:
  // Reached from what stays when the pool lets go of what nothing needs (TPDFStructure::Mark).
  bool Marked = false;
  friend class TPDFStructure;
};

class TPDFName : public TPDFObject {
public:
  static constexpr char ClassKind = KindName;
  void WriteTo(std::string& out) const override;

  std::string Value;    // without the slash, #xx escapes decoded
  bool Common = false;  // an interned key name: never freed early

private:
  friend class TPDFStructure;
  explicit TPDFName(TPDFStructure& owner, std::string value = {})
      : TPDFObject(owner, KindName), Value(std::move(value)) {}
};

class TPDFNull : public TPDFObject {
public:
  static constexpr char ClassKind = KindNull;
  void WriteTo(std::string& out) const override;

private:
  friend class TPDFStructure;
  explicit TPDFNull(TPDFStructure& owner) : TPDFObject(owner, KindNull) {}
};

class TPDFBoolean : public TPDFObject {
public:
  static constexpr char ClassKind = KindBoolean;
  void WriteTo(std::string& out) const override;

  bool Value;

private:
  friend class TPDFStructure;
  TPDFBoolean(TPDFStructure& owner, bool value) : TPDFObject(owner, KindBoolean), Value(value) {}
};

class TPDFNumeric : public TPDFObject {
public:
  static constexpr char ClassKind = KindNumeric;
  void WriteTo(std::string& out) const override;
  // Nearest integer, ties to even, clamped to the 32-bit range (NaN gives 0).
  int32_t AsInteger() const;

  double Value;

private:
  friend class TPDFStructure;
  TPDFNumeric(TPDFStructure& owner, double value) : TPDFObject(owner, KindNumeric), Value(value) {}
};

class TPDFString : public TPDFObject {
public:
  static constexpr char ClassKind = KindString;
  void WriteTo(std::string& out) const override;

  std::string Value;  // the bytes, unescaped or hex-decoded
  bool IsHex;         // written back in hex form

private:
  friend class TPDFStructure;
  TPDFString(TPDFStructure& owner, std::string value, bool isHex)
      : TPDFObject(owner, KindString), Value(std::move(value)), IsHex(isHex) {}
};

class TPDFIndRef : public TPDFObject {
public:
  static constexpr char ClassKind = KindIndRef;
  void WriteTo(std::string& out) const override;
  void ShiftNumbers(int32_t delta) override;
  // The object through the pool's OnLookupIndirect, or nothing.
  TPDFObject* Resolve();

  int32_t Generation;
  int32_t Number;

private:
  friend class TPDFStructure;
  TPDFIndRef(TPDFStructure& owner, int32_t number, int32_t generation)
      : TPDFObject(owner, KindIndRef), Generation(generation), Number(number) {}
};

struct TPDFDictionaryEntry {
  TPDFName* Key = nullptr;
  TPDFObject* Value = nullptr;
};

class TPDFDictionary : public TPDFObject {
public:
  static constexpr char ClassKind = KindDictionary;
  void WriteTo(std::string& out) const override;
  void Discard() override;
  void ShiftNumbers(int32_t delta) override;
  bool Refers(const TPDFObject* object) const override;

  int Count() const { return static_cast<int>(Entries.size()); }
  // Both parts are nothing for an index out of range.
  TPDFDictionaryEntry Entry(int index) const;
  int IndexOfKey(const std::string& key) const;
  // Replaces the key and value of an entry with the same key text in place, else appends.
  void SetEntry(TPDFName* key, TPDFObject* value);
  // SetEntry with the pool's common name for the key; ignored when value is this dictionary.
  void Put(const std::string& key, TPDFObject* value);
  // With resolve, a reference value is replaced by the object it refers to.
  TPDFObject* Get(const std::string& key, bool resolve = true) const;
  int32_t GetInteger(const std::string& key, int32_t fallback) const;
  // /Type when it is a direct name, else empty.
  std::string TypeName() const;
  // Drops the entry without discarding anything.
  void Remove(const std::string& key);
  // Drops the entry and offers its key and container value back to the pool.
  void Delete(const std::string& key);
  void Clear();
  void CopyFrom(const TPDFDictionary& other);

  // For the parser: append without the duplicate check, or overwrite entry i.
  void AppendEntry(TPDFName* key, TPDFObject* value) { Entries.push_back({key, value}); }
  void ReplaceEntry(int index, TPDFName* key, TPDFObject* value);

private:
  friend class TPDFStructure;
  explicit TPDFDictionary(TPDFStructure& owner) : TPDFObject(owner, KindDictionary) {}

  void WriteEntry(const TPDFDictionaryEntry& entry, std::string& out) const;

  std::vector<TPDFDictionaryEntry> Entries;
};

class TPDFArray : public TPDFObject {
public:
  static constexpr char ClassKind = KindArray;
  void WriteTo(std::string& out) const override;
  void Discard() override;
  void ShiftNumbers(int32_t delta) override;
  bool Refers(const TPDFObject* object) const override;

  void Add(TPDFObject* object);
  int Count() const { return static_cast<int>(Items.size()); }
  TPDFObject* Item(int index) const;
  void Delete(int index);
  void Replace(int index, TPDFObject* object);
  // Makes sure that n slots are spare.
  void Reserve(int n);
  int SpareCount() const { return Spare; }
  bool AllNumeric() const;

private:
  friend class TPDFStructure;
  explicit TPDFArray(TPDFStructure& owner) : TPDFObject(owner, KindArray) {}

  int Spare = 0;
  std::vector<TPDFObject*> Items;
};

class TPDFStream : public TPDFObject {
public:
  static constexpr char ClassKind = KindStream;
  void WriteTo(std::string& out) const override;
  void Discard() override;
  void ShiftNumbers(int32_t delta) override;
  bool Refers(const TPDFObject* object) const override;

  TPDFDictionary* Dictionary() const { return Dict; }
  // Holds the new dictionary and offers the old one back to the pool. A dictionary of
  // another pool is copied into a new one of this pool.
  void SetDictionary(TPDFDictionary* dictionary);
  // Stores the bytes and keeps /Length equal to their count.
  void SetData(std::string bytes);
  // SetData, deflated with /Filter /FlateDecode when compress is set.
  void Store(const std::string& bytes, bool compress);

  // The raw bytes: still encoded, already decrypted. Decoding through /Filter is done
  // by the filter pipeline, which reads Data and the dictionary.
  std::string Data;
  TPDFObjectStream* Linked = nullptr;  // the object-stream cache attached by the document

private:
  friend class TPDFStructure;
  // Creates its empty dictionary in the same pool.
  explicit TPDFStream(TPDFStructure& owner);

  TPDFDictionary* Dict;
};

// The object as the class its kind names, or nothing (also for nothing).
template <class T>
T* As(TPDFObject* object) {
  return object && object->Kind == T::ClassKind ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* As(const TPDFObject* object) {
  return object && object->Kind == T::ClassKind ? static_cast<const T*>(object) : nullptr;
}
// A reference replaced by the object it refers to; any other value as it is.
inline TPDFObject* Resolved(TPDFObject* object) {
  TPDFIndRef* ref = As<TPDFIndRef>(object);
  return ref ? ref->Resolve() : object;
}
