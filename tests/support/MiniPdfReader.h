#pragma once
// A small reader for the plain PDF files that the encryption tests make with qpdf
// and Ghostscript: objects found by their "N G obj" header, values parsed with
// the basic syntax. It reads what those tools write, not damaged files.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "security/PellarSecurity.h"

struct TMiniValue {
  enum class EKind { Null, Boolean, Number, Name, String, Array, Dictionary, Reference };
  EKind Kind = EKind::Null;
  bool Boolean = false;
  double Number = 0;
  std::string Text;  // name without "/", or string bytes
  std::vector<TMiniValue> Items;
  std::map<std::string, TMiniValue> Entries;
  int32_t RefNumber = 0, RefGeneration = 0;

  bool Is(EKind kind) const { return Kind == kind; }
  // The entry, or a null value.
  const TMiniValue& operator[](const std::string& key) const;
};

class TMiniPdfReader {
public:
  explicit TMiniPdfReader(std::string fileBytes);

  const TMiniValue& Trailer() const { return TrailerValue; }
  // The value of an object; a reference is followed once. Null when missing.
  TMiniValue Object(int32_t number) const;
  TMiniValue Resolve(const TMiniValue& value) const;
  // The raw data of a stream object, by its direct /Length.
  std::string StreamData(int32_t number) const;
  // Generation of an object, from its header.
  int32_t Generation(int32_t number) const;

  // The handler's record, filled from the trailer's /Encrypt and /ID.
  TPDFEncryptDictionary EncryptDictionary() const;

private:
  size_t ObjectStart(int32_t number) const;  // just after "obj"; npos when missing

  std::string Bytes;
  TMiniValue TrailerValue;
};
