#pragma once
// The object pool: creates, owns and frees every PDF object of a document, and parses
// PDF object syntax into new objects (PellarParser.cpp).
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PellarObjects.h"

struct TPDFIndirectId {
  int32_t Number = 0;
  int32_t Generation = 0;
};

class TPDFStructure {
public:
  // Resolves a reference: the asking reference, its object number and generation.
  using TLookupIndirect = std::function<TPDFObject*(TPDFIndRef& ref, int32_t number, int32_t generation)>;
  // Registers an object as a new indirect object of the owner and answers its number.
  using TNewIndirect = std::function<TPDFIndirectId(TPDFObject& object)>;

  static constexpr int CommonNameCount = 31;

  TPDFStructure() { ResetPool(); }
  ~TPDFStructure();
  TPDFStructure(const TPDFStructure&) = delete;
  TPDFStructure& operator=(const TPDFStructure&) = delete;

  // Frees the object unless it is a common name or another object of the pool holds it.
  // Answers whether it was freed.
  bool DiscardObject(TPDFObject* object);
  // Letting go of what nothing needs: Mark each object that stays (with everything it holds
  // directly; references are not followed), then SweepUnmarked frees the rest, except the
  // interned key names, and answers how many it freed.
  void Mark(TPDFObject* object);
  bool IsMarked(const TPDFObject* object) const { return object && object->Marked; }
  size_t SweepUnmarked();
  // Frees every object and restores the default writing settings.
  void ResetPool();
  // Makes sure that n slots are spare.
  void Reserve(int n);
  int Count() const { return static_cast<int>(Objects.size()); }
  int SpareCount() const { return Spare; }
  // Objects in order of creation; nothing out of range.
  TPDFObject* Object(int index) const;

  TPDFArray* NewArray();
  TPDFArray* NewArray(const std::vector<TPDFObject*>& items);
  TPDFArray* NewIntegerArray(const std::vector<int32_t>& values);
  TPDFArray* NewRealArray(const std::vector<double>& values);
  TPDFBoolean* NewBoolean(bool value);
  TPDFIndRef* NewIndRef(int32_t number, int32_t generation);
  TPDFName* NewName(std::string value);  // not interned
  TPDFNumeric* NewNumeric(double value);
  TPDFStream* NewStream(const std::string& data, bool compress);
  TPDFString* NewString(std::string value, bool isHex);
  TPDFDictionary* NewDictionary();
  TPDFNull* NewNull();

  // The first name of the pool, in creation order, with that value.
  TPDFName* FindName(const std::string& value) const;
  // The key object Put uses: an existing one for the interned key names, else a new
  // name; either way marked Common.
  TPDFName* CommonName(const std::string& value);
  static bool IsCommonName(const std::string& value);

  // The first object of the text, never nothing: a new TPDFNull when nothing could be read.
  TPDFObject* Parse(std::string_view text);
  // The same; consumed receives the bytes up to the end of the object, or up to where
  // reading stopped when nothing could be read, or 0 for an empty text or an aborted read.
  TPDFObject* ParseAt(std::string_view text, size_t& consumed);

  void SetNumberDecimals(int decimals);  // 0 to 15; sets the pattern too
  int NumberDecimals() const { return Decimals; }
  const std::string& NumberPattern() const { return Pattern; }

  TLookupIndirect OnLookupIndirect;
  TNewIndirect OnNewIndirect;
  bool MultiLineDictionaries = true;

private:
  template <class T, class... Args>
  T* Create(Args&&... args);
  void Adopt(std::unique_ptr<TPDFObject> object);
  bool IsHeld(const TPDFObject* object) const;
  void FreeAll();

  int Spare = 0;
  std::vector<std::unique_ptr<TPDFObject>> Objects;
  // The interned key names handed out so far, by their place in the common-name list.
  std::array<TPDFName*, CommonNameCount> Interned{};
  std::string Pattern;
  int Decimals = 4;
};
