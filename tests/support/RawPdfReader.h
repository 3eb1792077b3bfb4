#pragma once
// Reads the objects of a PDF file as they are stored, still encrypted, through the
// engine's cross-reference reader and object parser: the security tests check their
// handler against the values that qpdf and Ghostscript write.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pdf/PellarStructure.h"
#include "security/PellarSecurity.h"

class TRawPdfReader {
public:
  explicit TRawPdfReader(std::string fileBytes);

  // Empty when the file has none.
  const TPDFDictionary& Trailer() const { return *TrailerDict; }
  // The object as stored, a stream as its dictionary; nothing when it is missing.
  TPDFObject* Object(int32_t number) const;
  // Generation of an object in use, -1 for others.
  int32_t Generation(int32_t number) const;
  // The raw data of a stream object, by its /Length.
  std::string StreamData(int32_t number) const;
  // Follows dictionary keys and array positions ("0") from the trailer, resolving the
  // references on the way; the last value is given as stored, so that a reference stays
  // one. Nothing when the path breaks.
  TPDFObject* Find(const std::vector<std::string>& path) const;

  // The handler's record, read from the trailer as the loader reads it.
  TPDFEncryptDictionary EncryptDictionary() const;

private:
  struct TLocation {
    int32_t Offset, Generation;
  };

  // Parses the object that follows its "N G obj" header; `end` receives where it ends.
  TPDFObject* ParseObject(int32_t number, size_t& end) const;

  std::string Bytes;
  std::map<int32_t, TLocation> Locations;
  mutable TPDFStructure Pool;  // objects are parsed when asked for
  TPDFDictionary* TrailerDict = nullptr;
};

// The number a reference refers to; 0 for anything else.
int32_t ReferenceNumber(const TPDFObject* object);
// The bytes of a string object; empty for anything else.
std::string StringValue(const TPDFObject* object);
