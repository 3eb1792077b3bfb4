#include "tests/support/RawPdfReader.h"

#include <string_view>

#include "pdf/PellarConvert.h"
#include "pdf/PellarEncryptReader.h"
#include "pdf/PellarXRefReader.h"

TRawPdfReader::TRawPdfReader(std::string fileBytes) : Bytes(std::move(fileBytes)) {
  Pool.OnLookupIndirect = [this](TPDFIndRef&, int32_t number, int32_t) { return Object(number); };
  TPDFXRefReader xref(Bytes);
  // The newest section is read first, and its entries and trailer count.
  xref.OnEntry = [this](int32_t number, int32_t offset, char type, int32_t generation) {
    if (type == 'n' && offset >= 0) Locations.try_emplace(number, TLocation{offset, generation});
  };
  xref.OnTrailer = [this](const std::string& text) {
    if (!TrailerDict) TrailerDict = As<TPDFDictionary>(Pool.Parse(text));
  };
  xref.ReadSection(xref.FindStartXref());
  if (!TrailerDict) TrailerDict = Pool.NewDictionary();
}

TPDFObject* TRawPdfReader::ParseObject(int32_t number, size_t& end) const {
  auto found = Locations.find(number);
  if (found == Locations.end()) return nullptr;
  const size_t header = Bytes.find("obj", static_cast<size_t>(found->second.Offset));
  if (header == std::string::npos) return nullptr;
  size_t consumed = 0;
  TPDFObject* object = Pool.ParseAt(std::string_view(Bytes).substr(header + 3), consumed);
  end = header + 3 + consumed;
  return object;
}

TPDFObject* TRawPdfReader::Object(int32_t number) const {
  size_t end = 0;
  return ParseObject(number, end);
}

int32_t TRawPdfReader::Generation(int32_t number) const {
  auto found = Locations.find(number);
  return found == Locations.end() ? -1 : found->second.Generation;
}

std::string TRawPdfReader::StreamData(int32_t number) const {
  size_t at = 0;
  auto* dict = As<TPDFDictionary>(ParseObject(number, at));
  const int32_t length = dict ? dict->GetInteger("Length", -1) : -1;
  at = Bytes.find("stream", at);
  if (length < 0 || at == std::string::npos) return {};
  at += 6;
  if (Bytes.compare(at, 1, "\r") == 0) ++at;
  if (Bytes.compare(at, 1, "\n") == 0) ++at;
  return Bytes.substr(at, static_cast<size_t>(length));
}

TPDFObject* TRawPdfReader::Find(const std::vector<std::string>& path) const {
  TPDFObject* at = TrailerDict;
  for (const std::string& step : path) {
    at = Resolved(at);
    if (auto* dict = As<TPDFDictionary>(at))
      at = dict->Get(step, false);
    else if (auto* array = As<TPDFArray>(at))
      at = array->Item(TextToIntDef(step, -1));
    else
      return nullptr;
  }
  return at;
}

TPDFEncryptDictionary TRawPdfReader::EncryptDictionary() const { return ReadEncryptDictionary(*TrailerDict); }

int32_t ReferenceNumber(const TPDFObject* object) {
  const TPDFIndRef* reference = As<TPDFIndRef>(object);
  return reference ? reference->Number : 0;
}

std::string StringValue(const TPDFObject* object) {
  const TPDFString* text = As<TPDFString>(object);
  return text ? text->Value : "";
}
