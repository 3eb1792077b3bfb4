// Damaged files: when the cross-reference data cannot be read or lead to no pages, the object
// table is rebuilt from where the file itself defines its objects, as an incremental update
// would have it (the last definition of a number wins).
#include <algorithm>
#include <limits>

#include "pdf/PellarDocument.h"
#include "pdf/PellarObjectScan.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"

namespace {

// A trailer dictionary is read from at most this many bytes after its keyword.
constexpr size_t TrailerWindow = 65536;

}  // namespace

const TPDFObjectScan& TPDFDocument::ObjectScan() {
  if (!Scan) Scan = std::make_unique<TPDFObjectScan>(FileText);
  return *Scan;
}

bool TPDFDocument::HeadHas(const TPDFObjectDefinition& definition, std::string_view text) const {
  const auto head = std::string_view(FileText).substr(static_cast<size_t>(definition.Offset),
                                                      static_cast<size_t>(definition.HeadEnd - definition.Offset));
  return head.find(text) != std::string_view::npos;
}

// The record of the number, when it is the file's own definition at that place.
TPDFIndObj* TPDFDocument::DefinedRecord(const TPDFObjectDefinition& definition) const {
  TPDFIndObj* record = ObjectByNumber(definition.Number);
  return record && !record->Compressed && record->Offset == definition.Offset ? record : nullptr;
}

bool TPDFDocument::RebuildFromScan() {
  SetObjectStreamBudget();
  const TPDFObjectScan& scan = ObjectScan();
  if (scan.Definitions().empty()) return false;
  Records.clear();
  SectionOffsets.clear();
  for (const TPDFObjectDefinition& definition : scan.Definitions()) {
    HighestNumber = std::max(HighestNumber, definition.Number);
    if (scan.Latest(definition.Number) == &definition)
      Records.push_back({definition.Number, definition.Generation, definition.Offset, true, 0, 0, false});
    else
      SectionOffsets.push_back(definition.Offset);  // an older definition still ends the text before it
  }
  for (int32_t end : scan.Trailers()) SectionOffsets.push_back(end - 7);
  BuildObjectTable();
  ChooseScannedTrailer();
  return true;
}

// The last "trailer" dictionary, else the dictionary of the last cross-reference stream; else
// the trailer stays empty and the catalog is looked for by its type.
void TPDFDocument::ChooseScannedTrailer() {
  const TPDFObjectScan& scan = ObjectScan();
  for (auto it = scan.Trailers().rbegin(); it != scan.Trailers().rend(); ++it) {
    const std::string_view text = std::string_view(FileText).substr(static_cast<size_t>(*it), TrailerWindow);
    size_t consumed = 0;
    if (auto* dict = As<TPDFDictionary>(ObjectPool->ParseAt(text, consumed))) {
      AdoptTrailer(dict);
      return;
    }
  }
  const auto& definitions = scan.Definitions();
  for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) {
    if (!HeadHas(*it, "/XRef")) continue;
    TPDFIndObj* record = DefinedRecord(*it);
    auto* stream = record ? As<TPDFStream>(RecordObject(*record)) : nullptr;
    if (!stream || stream->Dictionary()->TypeName() != "XRef") continue;
    record->Decrypted = true;  // cross-reference streams are never encrypted
    // A copy of its own, through its text as a sound file's trailer is read: the keys the trailer
    // drops stay with the stream.
    if (auto* dict = As<TPDFDictionary>(ObjectPool->Parse(stream->Dictionary()->Text()))) AdoptTrailer(dict);
    return;
  }
}

// Objects of the object streams, where the file defines no object of that number. Of two
// object streams holding a number, the later in the file wins, as an update would have it.
void TPDFDocument::AddObjectStreamObjects() {
  struct TCandidate {
    int32_t Number, Holder, Index;
  };
  std::vector<TCandidate> candidates;
  const auto& definitions = ObjectScan().Definitions();
  for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) {
    if (!HeadHas(*it, "/ObjStm")) continue;
    TPDFIndObj* record = DefinedRecord(*it);
    auto* stream = record ? As<TPDFStream>(RecordObject(*record)) : nullptr;
    if (!stream || stream->Dictionary()->TypeName() != "ObjStm") continue;
    const TPDFObjectStream* cache = ObjectStreamCache(*stream);
    if (!cache->IndexArray || cache->Count <= 0 || cache->IndexArray->Count() / 2 < cache->Count) continue;
    for (int32_t i = 0; i < cache->Count; ++i) {
      auto* number = As<TPDFNumeric>(cache->IndexArray->Item(2 * i));
      if (!number || number->Value < 0 || number->Value > std::numeric_limits<int32_t>::max()) continue;
      candidates.push_back({number->AsInteger(), it->Number, i});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const TCandidate& a, const TCandidate& b) { return a.Number < b.Number; });
  bool added = false;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const TCandidate& c = candidates[i];
    if ((i > 0 && candidates[i - 1].Number == c.Number) || ObjectByNumber(c.Number)) continue;
    auto object = std::make_unique<TPDFIndObj>();
    object->Number = c.Number;
    object->Compressed = true;
    object->ObjectStreamNumber = c.Holder;
    object->Index = c.Index;
    HighestNumber = std::max(HighestNumber, c.Number);
    Objects.push_back(std::move(object));
    added = true;
  }
  // One rebuild for all: the lookups above see only the file's own definitions.
  if (added) RebuildNumberIndex();
}

bool TPDFDocument::HasPagesRoot() {
  auto* catalog = As<TPDFDictionary>(TrailerDict->Get("Root", true));
  return catalog && As<TPDFDictionary>(catalog->Get("Pages", true));
}

// The last catalog of the file that leads to a page tree: among the file's own definitions
// first, then among the objects of object streams.
void TPDFDocument::FindCatalog() {
  auto adopt = [&](TPDFIndObj& record) {
    auto* dict = As<TPDFDictionary>(RecordObject(record));
    if (!dict || dict->TypeName() != "Catalog" || !As<TPDFDictionary>(dict->Get("Pages", true))) return false;
    TrailerDict->Put("Root", ObjectPool->NewIndRef(record.Number, record.Generation));
    return true;
  };
  const auto& definitions = ObjectScan().Definitions();
  for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) {
    TPDFIndObj* record = HeadHas(*it, "/Catalog") ? DefinedRecord(*it) : nullptr;
    if (record && adopt(*record)) return;
  }
  for (auto it = Objects.rbegin(); it != Objects.rend(); ++it)
    if ((*it)->Compressed && RawObjectText(**it).find("/Catalog") != std::string::npos && adopt(**it)) return;
}

bool TPDFDocument::Relocate(TPDFIndObj& record) {
  if (record.Compressed) return false;
  const TPDFObjectScan& scan = ObjectScan();
  const TPDFObjectDefinition* definition = scan.Latest(record.Number);
  if (!definition || definition->Generation != record.Generation || definition->Offset == record.Offset) return false;
  record.Offset = definition->Offset;
  record.Length = scan.End(*definition) - definition->Offset;
  return true;
}
