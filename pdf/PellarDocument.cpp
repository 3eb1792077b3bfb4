#include "pdf/PellarDocument.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <unordered_map>

#include "engine/PellarPageTree.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarEncryptReader.h"
#include "pdf/PellarFileStream.h"
#include "pdf/PellarObjectScan.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarParser.h"
#include "pdf/PellarStreamData.h"
#include "pdf/PellarStructure.h"
#include "pdf/PellarXRefReader.h"
#include "platform/Platform.h"
#include "security/PellarHash.h"

namespace {

constexpr size_t HeaderWindow = 1024;
constexpr size_t InitialRecords = 1000;
// Object reads nest when a /Length or an object stream is itself read on the way;
// hostile files can chain such reads, so deeper reads answer nothing.
constexpr int MaxReadDepth = 48;
// Parsed objects nest no deeper than the parser allows; this only bounds the walk.
constexpr int MaxDecryptDepth = 1000;
// Decoded object streams may hold this many times the file's size, beyond one stream at
// the decoder's limit.
constexpr size_t ObjectStreamExpansion = 8;

bool IsNumberByte(char c) { return (c >= '0' && c <= '9') || c == '.'; }
bool IsWhite(char c) { return IsPdfWhitespace(static_cast<unsigned char>(c)); }

// Removes leading bytes outside the number set (keeping at least one byte), then the
// run of number bytes (never the last byte); answers that run.
std::string TakeNumber(std::string_view& text) {
  size_t i = 0;
  while (i + 1 < text.size() && !IsNumberByte(text[i])) ++i;
  size_t j = i;
  while (j + 1 < text.size() && IsNumberByte(text[j])) ++j;
  std::string number(text.substr(i, j - i));
  text.remove_prefix(j);
  return number;
}

}  // namespace

TPDFDocument::TPDFDocument() : ObjectPool(std::make_unique<TPDFStructure>()) {
  ObjectPool->OnLookupIndirect = [this](TPDFIndRef&, int32_t number, int32_t) { return Lookup(number); };
  ObjectPool->OnNewIndirect = [this](TPDFObject& object) {
    TPDFIndObj* record = AddIndirectObject(&object);
    return TPDFIndirectId{record->Number, record->Generation};
  };
  ResetDocument();
}

TPDFDocument::~TPDFDocument() {
  // The page tree refers to objects of the pool: it goes first.
  Tree.reset();
}

void TPDFDocument::ResetDocument() {
  Tree.reset();
  ObjectStreams.clear();
  ObjectStreamsByNumber.clear();
  ObjectsAfterCollection = 0;
  StreamBytesRead = 0;
  Scan.reset();
  Objects.clear();
  NumberIndex.clear();
  Records.clear();
  SectionOffsets.clear();
  Seen.Clear();
  Security.Reset();
  ObjectPool->ResetPool();
  TrailerDict = ObjectPool->NewDictionary();
  FileText.clear();
  FileText.shrink_to_fit();
  VersionText.clear();
  IsLinearized = false;
  Stopped = false;
  HighestNumber = 0;
  FileLength = 0;
  ObjectStreamBudget = 0;
  Tree = std::make_unique<TPDFPageTree>(*this, nullptr);
}

TPDFLoadResult TPDFDocument::LoadFromStream(TPellarWideFileStream& stream, const std::u16string& password) {
  try {
    stream.Seek(0, TPellarWideFileStream::FromBeginning);
    return LoadFromBytes(stream.ReadRest(), password);
  } catch (...) {
    ResetDocument();
    return LoadFailed;
  }
}

TPDFLoadResult TPDFDocument::LoadFromBytes(std::string bytes, const std::u16string& password) {
  try {
    ResetDocument();
    // Offsets are 32-bit throughout the file format as read here.
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return LoadFailed;
    FileText = std::move(bytes);
    FileLength = static_cast<int32_t>(FileText.size());
    TPDFLoadResult result = LoadSteps(password, false);
    if (result != LoadOk) {
      const size_t header = FileText.find("%PDF-");
      if (header != std::string::npos && header > 0) {
        // Junk before the header: offsets count from "%PDF-". The bytes move in place
        // rather than being copied, as the file may be large. Misread offsets can also make
        // the encryption dictionary unreadable, so a refused password is tried again too;
        // the better answer stands.
        FileText.erase(0, header);
        ResetKeepingFile();
        const TPDFLoadResult retry = LoadSteps(password, false);
        if (retry != LoadFailed) result = retry;
      }
    }
    if (result == LoadFailed) {
      // The cross-reference data are damaged or lead to no pages: the objects are found
      // where the file defines them. Files that load by their tables never come here.
      ResetKeepingFile();
      result = LoadSteps(password, true);
    }
    if (result != LoadOk) ResetDocument();
    return result;
  } catch (...) {
    ResetDocument();
    return LoadFailed;
  }
}

void TPDFDocument::ResetKeepingFile() {
  std::string file = std::move(FileText);
  ResetDocument();
  FileText = std::move(file);
  FileLength = static_cast<int32_t>(FileText.size());
}

TPDFLoadResult TPDFDocument::LoadSteps(const std::u16string& password, bool rebuild) {
  if (!CheckHeader()) return LoadFailed;
  if (!(rebuild ? RebuildFromScan() : ReadCrossReference())) return LoadFailed;
  TPDFLoadResult result = LoadOk;
  if (TrailerDict->Get("Encrypt", false)) {
    EncryptionState();
    if (!Security.CheckPassword(password)) result = LoadPasswordRejected;
  }
  if (rebuild && result == LoadOk) {
    // Object streams are read once the password is known, as their data are encrypted.
    AddObjectStreamObjects();
    if (!HasPagesRoot()) FindCatalog();
  }
  Stopped = false;
  TPDFDictionary* root = result == LoadOk ? PagesRoot() : nullptr;
  if (result != LoadOk || !root) {
    Stopped = true;
    return result == LoadOk ? LoadFailed : result;
  }
  Tree = std::make_unique<TPDFPageTree>(*this, root);
  DetectLinearization();
  return LoadOk;
}

bool TPDFDocument::CheckHeader() {
  const std::string head = FileText.substr(0, HeaderWindow);
  bool found = false;
  auto versionAfter = [&](size_t at) {
    std::string run;
    for (size_t i = at; i < at + 10 && i < head.size() && IsNumberByte(head[i]); ++i) run += head[i];
    if (!IsDecimalText(run)) return;
    VersionText = run;
    found = true;
  };
  const size_t pdf = head.find("%PDF-");
  if (pdf != std::string::npos) versionAfter(pdf + 5);
  const size_t ps = head.find("%!PS-Adobe-");
  if (ps != std::string::npos) {
    const std::string after = head.substr(ps + 11, 20);
    const size_t mark = after.find("PDF-");
    if (mark != std::string::npos) versionAfter(ps + 11 + mark + 4);
  }
  return found;
}

void TPDFDocument::SetObjectStreamBudget() {
  ObjectStreamBudget = MaxDecodedStreamSize + ObjectStreamExpansion * FileText.size();
}

void TPDFDocument::AdoptTrailer(TPDFDictionary* dict) {
  TrailerDict = dict;
  for (const char* key : {"Prev", "Type", "W", "Index", "Length", "Filter"}) TrailerDict->Delete(key);
}

bool TPDFDocument::ReadCrossReference() {
  SetObjectStreamBudget();
  TPDFXRefReader reader(FileText);
  Records.clear();
  Records.reserve(InitialRecords);
  bool haveTrailer = false;
  reader.OnEntry = [&](int32_t number, int32_t field2, char type, int32_t field3) {
    HighestNumber = std::max(HighestNumber, number);
    if (type == 'n') {
      if (Seen.AddIfNew(static_cast<uint32_t>(number))) Records.push_back({number, field3, field2, true, 0, 0, false});
    } else if (type == 'c') {
      if (Seen.AddIfNew(static_cast<uint32_t>(number))) Records.push_back({number, 0, 0, true, field2, field3, true});
    }
  };
  reader.OnTrailer = [&](const std::string& text) {
    if (haveTrailer) return;
    TPDFDictionary* dict = As<TPDFDictionary>(ObjectPool->Parse(text));
    if (!dict) return;
    haveTrailer = true;
    AdoptTrailer(dict);
  };
  // A failed section's offset no longer counts as a known offset. Each offset is reported
  // once, so the failures can be applied at the end, in one pass, whatever the chain's length.
  std::vector<int64_t> failed;
  reader.OnSection = [&](int32_t offset) {
    if (offset >= 0)
      SectionOffsets.push_back(offset);
    else
      failed.push_back(-static_cast<int64_t>(offset));
  };
  const bool ok = reader.ReadSection(reader.FindStartXref());
  if (!ok || !haveTrailer) return false;
  std::sort(failed.begin(), failed.end());
  for (int32_t& known : SectionOffsets)
    if (std::binary_search(failed.begin(), failed.end(), known)) known = 0;
  RepairNumbering();
  BuildObjectTable();
  return true;
}

void TPDFDocument::RepairNumbering() {
  // Tables written with their first subsection at 1 instead of 0 shift every number by one.
  if (Records.empty() || Records[0].Number != 2) return;
  TPDFObject* size = TrailerDict->Get("Size", false);
  if (!size || size->Kind != TPDFObject::KindNumeric ||
      static_cast<TPDFNumeric*>(size)->Value != static_cast<double>(Records.size()) + 1)
    return;
  const int32_t offset = Records[0].Offset;
  if (offset < 0 || static_cast<size_t>(offset) > FileText.size() ||
      FileText.compare(static_cast<size_t>(offset), 7, "1 0 obj") != 0)
    return;
  for (TEntryRecord& record : Records) --record.Number;
}

void TPDFDocument::BuildObjectTable() {
  // Every known offset in file order; a record's length runs to the next offset.
  struct TKey {
    int64_t Offset;
    int Record;  // -1 for a section offset
  };
  std::vector<TKey> keys;
  keys.reserve(SectionOffsets.size() + Records.size());
  for (int32_t offset : SectionOffsets) keys.push_back({std::max<int64_t>(offset, 0), -1});
  for (size_t i = 0; i < Records.size(); ++i)
    if (Records[i].InUse) keys.push_back({std::max<int64_t>(Records[i].Offset, 0), static_cast<int>(i)});
  // Equal offsets: section offsets first, then records by ascending number.
  std::sort(keys.begin(), keys.end(), [&](const TKey& a, const TKey& b) {
    if (a.Offset != b.Offset) return a.Offset < b.Offset;
    if ((a.Record < 0) != (b.Record < 0)) return a.Record < 0;
    if (a.Record < 0) return false;
    return Records[static_cast<size_t>(a.Record)].Number < Records[static_cast<size_t>(b.Record)].Number;
  });
  Objects.clear();
  for (size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].Record < 0) continue;
    const TEntryRecord& r = Records[static_cast<size_t>(keys[k].Record)];
    if (r.Generation < 0) continue;
    const int64_t next = k + 1 < keys.size() ? keys[k + 1].Offset : FileLength;
    auto object = std::make_unique<TPDFIndObj>();
    object->Number = r.Number;
    object->Generation = r.Generation;
    object->Offset = r.Offset;
    object->Length = static_cast<int32_t>(std::clamp<int64_t>(next - keys[k].Offset, 0, FileLength));
    object->Compressed = r.Compressed;
    object->ObjectStreamNumber = r.ObjectStreamNumber;
    object->Index = r.Index;
    Objects.push_back(std::move(object));
  }
  Records.clear();
  Records.shrink_to_fit();
  RebuildNumberIndex();
}

void TPDFDocument::RebuildNumberIndex() {
  NumberIndex.resize(Objects.size());
  for (size_t i = 0; i < Objects.size(); ++i) NumberIndex[i] = {Objects[i]->Number, static_cast<int32_t>(i)};
  std::stable_sort(NumberIndex.begin(), NumberIndex.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

TPDFIndObj* TPDFDocument::ObjectByNumber(int32_t number) const {
  auto it = std::lower_bound(NumberIndex.begin(), NumberIndex.end(), number,
                             [](const auto& entry, int32_t n) { return entry.first < n; });
  if (it == NumberIndex.end() || it->first != number) return nullptr;
  return Objects[static_cast<size_t>(it->second)].get();
}

TPDFObject* TPDFDocument::Lookup(int32_t number) {
  TPDFIndObj* record = ObjectByNumber(number);
  return record ? RecordObject(*record) : nullptr;
}

TPDFObject* TPDFDocument::RecordObject(TPDFIndObj& record) {
  if (!record.Parsed) {
    if (ReadDepth >= MaxReadDepth) return nullptr;
    ++ReadDepth;
    try {
      record.Object = ReadObject(record);
    } catch (...) {
      --ReadDepth;
      throw;
    }
    --ReadDepth;
  }
  if (record.StreamDataReleased) ReloadStreamData(record);
  // Objects read before the password is accepted (the encryption dictionary) stay
  // undecrypted until then.
  if (!record.Decrypted && record.Object && Security.IsUnlocked()) {
    record.Decrypted = true;
    const std::string key = Security.ObjectKey(record.Number, record.Generation);
    if (!key.empty()) DecryptObject(record.Object, key, 0);
  }
  return record.Object;
}

// The stream object itself stays: whoever holds it keeps a valid object, and reading the
// record again puts its data back.
void TPDFDocument::ReleaseStreamData(int32_t number) {
  TPDFIndObj* record = ObjectByNumber(number);
  if (!record || !record->Parsed || record->StreamDataLength <= 0 || record->StreamDataReleased) return;
  TPDFStream* stream = As<TPDFStream>(record->Object);
  if (!stream || stream->Linked) return;
  std::string().swap(stream->Data);  // clear() would keep the buffer
  stream->SetData({});
  record->StreamDataReleased = true;
}

bool TPDFDocument::StreamDataUnread(int32_t number) const {
  const TPDFIndObj* record = ObjectByNumber(number);
  return record && record->Offset > 0 && (!record->Parsed || record->StreamDataReleased);
}

void TPDFDocument::ReloadStreamData(TPDFIndObj& record) {
  record.StreamDataReleased = false;
  auto* stream = As<TPDFStream>(record.Object);
  if (!stream) return;
  stream->SetData(FileText.substr(static_cast<size_t>(record.StreamDataOffset),
                                  static_cast<size_t>(record.StreamDataLength)));
  if (!record.Decrypted) return;  // decrypted whole below, as on the first reading
  const std::string key = Security.ObjectKey(record.Number, record.Generation);
  if (!key.empty()) DecryptStreamData(*stream, key);
}

// Metadata written in clear, as /EncryptMetadata false announces, stays as it is; so do all
// streams when their crypt filter is /Identity.
void TPDFDocument::DecryptStreamData(TPDFStream& stream, const std::string& key) {
  if (!Security.State().StreamsEncrypted) return;
  if (Security.State().EncryptMetadata || stream.Dictionary()->TypeName() != "Metadata")
    stream.SetData(Security.DecryptBytes(key, stream.Data));
}

TPDFEncryptionState TPDFDocument::EncryptionState() {
  if (!Security.State().Examined) Security.Examine(ReadEncryptDictionary(*TrailerDict));
  return Security.EncryptionState();
}

// Strings and stream data of one indirect object; references are not followed, since
// every indirect object is decrypted with its own key when it is read.
void TPDFDocument::DecryptObject(TPDFObject* object, const std::string& key, int depth) {
  if (!object || depth > MaxDecryptDepth) return;
  switch (object->Kind) {
    case TPDFObject::KindString: {
      auto* text = static_cast<TPDFString*>(object);
      if (Security.State().StringsEncrypted) text->Value = Security.DecryptBytes(key, text->Value);
      break;
    }
    case TPDFObject::KindStream: {
      auto* stream = static_cast<TPDFStream*>(object);
      DecryptStreamData(*stream, key);
      DecryptObject(stream->Dictionary(), key, depth + 1);
      break;
    }
    case TPDFObject::KindDictionary: {
      auto* dict = static_cast<TPDFDictionary*>(object);
      for (int i = 0; i < dict->Count(); ++i) DecryptObject(dict->Entry(i).Value, key, depth + 1);
      break;
    }
    case TPDFObject::KindArray: {
      auto* array = static_cast<TPDFArray*>(object);
      for (int i = 0; i < array->Count(); ++i) DecryptObject(array->Item(i), key, depth + 1);
      break;
    }
    default:
      break;
  }
}

std::string TPDFDocument::RawObjectText(const TPDFIndObj& record) {
  std::string scratch;
  return std::string(ObjectText(record, scratch));
}

// The text of an object of the file is a view into the file's bytes, so that its stream data
// are copied only once, into the stream; that of a compressed object is put together in `scratch`.
std::string_view TPDFDocument::ObjectText(const TPDFIndObj& record, std::string& scratch) {
  if (!record.Compressed) {
    if (record.Offset <= 0 || record.Offset >= FileLength) return {};
    return std::string_view(FileText).substr(static_cast<size_t>(record.Offset), static_cast<size_t>(record.Length));
  }
  scratch = std::to_string(record.Number) + " " + std::to_string(record.Generation) + " obj\r";
  const auto fallback = [&scratch]() -> std::string_view { return scratch += "null\rendobj"; };
  if (record.ObjectStreamNumber == record.Number) return fallback();
  TPDFObjectStream* cache = nullptr;
  if (auto known = ObjectStreamsByNumber.find(record.ObjectStreamNumber); known != ObjectStreamsByNumber.end()) {
    cache = known->second;
  } else {
    TPDFIndObj* holder = ObjectByNumber(record.ObjectStreamNumber);
    TPDFStream* stream = holder ? As<TPDFStream>(RecordObject(*holder)) : nullptr;
    if (!stream || stream->Dictionary()->TypeName() != "ObjStm") return fallback();
    cache = ObjectStreamCache(*stream);
    ObjectStreamsByNumber.emplace(record.ObjectStreamNumber, cache);
  }
  if (cache->First <= 0 || cache->Count <= 0 || record.Index < 0 || record.Index >= cache->Count || !cache->IndexArray ||
      cache->IndexArray->Count() / 2 < cache->Count)
    return fallback();
  const int at = 2 * record.Index;
  auto* number = As<TPDFNumeric>(cache->IndexArray->Item(at));
  auto* offset = As<TPDFNumeric>(cache->IndexArray->Item(at + 1));
  if (!number || number->Value != record.Number || !offset) return fallback();
  const int64_t begin = static_cast<int64_t>(cache->First) + offset->AsInteger();
  const int64_t end = static_cast<int64_t>(cache->First) + cache->Ends[static_cast<size_t>(record.Index)];
  const int64_t size = static_cast<int64_t>(cache->Data.size());
  if (begin < 0 || begin > size || end < begin) return fallback();
  return scratch.append(cache->Data, static_cast<size_t>(begin), static_cast<size_t>(std::min(end, size) - begin));
}

// An object's text ends where the next object of the index starts, or at the end of the
// data for the last one. In a sound stream the offsets ascend and the texts do not overlap;
// a hostile index could make every object claim the whole data, and reading them all would
// cost objects times data. So a text also ends at the next greater offset of any object,
// and of several objects at one offset only the last in index order keeps a text (the
// earlier ones of a sound stream end there anyway): the texts together never exceed the data.
std::vector<int64_t> TPDFDocument::ObjectEnds(const TPDFObjectStream& cache) {
  const size_t count = static_cast<size_t>(cache.Count);
  constexpr int64_t None = std::numeric_limits<int64_t>::max();
  auto offsetAt = [&](size_t k) {
    auto* n = As<TPDFNumeric>(cache.IndexArray->Item(static_cast<int>(2 * k + 1)));
    return n ? static_cast<int64_t>(n->AsInteger()) : None;
  };
  std::vector<int64_t> offsets(count), ends(count);
  for (size_t k = 0; k < count; ++k) offsets[k] = offsetAt(k);
  std::vector<int64_t> sorted = offsets;
  std::sort(sorted.begin(), sorted.end());
  std::unordered_map<int64_t, size_t> owner;  // offset -> last index starting there
  for (size_t k = 0; k < count; ++k) owner[offsets[k]] = k;
  for (size_t k = 0; k < count; ++k) {
    int64_t end = static_cast<int64_t>(cache.Data.size());
    if (k + 1 < count && offsets[k + 1] != None) end = offsets[k + 1];
    if (offsets[k] != None) {
      const auto greater = std::upper_bound(sorted.begin(), sorted.end(), offsets[k]);
      const int64_t bound = owner[offsets[k]] != k ? offsets[k] : greater != sorted.end() ? *greater : None;
      end = std::min(end, bound);
    }
    ends[k] = end;
  }
  return ends;
}

TPDFObjectStream* TPDFDocument::ObjectStreamCache(TPDFStream& stream) {
  if (stream.Linked) return stream.Linked;
  auto cache = std::make_unique<TPDFObjectStream>();
  TPDFDictionary* dict = stream.Dictionary();
  auto direct = [&](const char* key) {
    auto* n = As<TPDFNumeric>(dict->Get(key, false));
    return n ? n->AsInteger() : 0;
  };
  cache->First = direct("First");
  cache->Count = direct("N");
  cache->Data = DecodedData(stream, ObjectStreamBudget);
  ObjectStreamBudget -= cache->Data.size();
  if (cache->First > 0) {
    const std::string table = cache->Data.substr(0, static_cast<size_t>(cache->First));
    cache->IndexArray = As<TPDFArray>(ObjectPool->Parse("[ " + table + " ]"));
  }
  if (cache->IndexArray && cache->Count > 0 && cache->IndexArray->Count() / 2 >= cache->Count)
    cache->Ends = ObjectEnds(*cache);
  stream.Linked = cache.get();
  ObjectStreams.push_back(std::move(cache));
  return stream.Linked;
}

TPDFObject* TPDFDocument::ReadObject(TPDFIndObj& record) {
  record.Parsed = true;
  std::string scratch;
  std::string_view text = ObjectText(record, scratch);
  if (record.Compressed) record.Decrypted = true;  // its object stream was decrypted whole
  int32_t number = TextToIntDef(TakeNumber(text), 0);
  int32_t generation = TextToIntDef(TakeNumber(text), 0);
  if ((number != record.Number || generation != record.Generation) && Relocate(record)) {
    // The record pointed at bytes that are not the object's: it is read where the file defines it.
    text = ObjectText(record, scratch);
    number = TextToIntDef(TakeNumber(text), 0);
    generation = TextToIntDef(TakeNumber(text), 0);
  }
  TPDFObject* object = nullptr;
  if (number != record.Number || generation != record.Generation) {
    object = ObjectPool->NewNull();
  } else {
    size_t i = 0;
    while (i + 1 < text.size() && IsWhite(text[i])) ++i;
    text.remove_prefix(i);
    std::string_view keyword;
    if (text.starts_with("obj<<") || text.starts_with("obj[") || text.starts_with("obj/")) {
      keyword = "obj";
    } else {
      size_t end = 0;
      while (end < text.size() && !IsWhite(text[end])) ++end;
      keyword = text.substr(0, end);
    }
    size_t rest = keyword.size();
    while (rest < text.size() && IsWhite(text[rest])) ++rest;
    if (keyword != "obj") {
      object = ObjectPool->NewNull();
    } else {
      text.remove_prefix(rest);
      size_t consumed = 0;
      object = ObjectPool->ParseAt(text, consumed);
      if (TPDFDictionary* dict = As<TPDFDictionary>(object))
        if (TPDFStream* stream = ProbeStream(record, text, consumed, dict))
          object = stream;
    }
  }
  object->MarkIndirect(record.Number, record.Generation);
  return object;
}

TPDFStream* TPDFDocument::ProbeStream(TPDFIndObj& record, std::string_view text, size_t dictEnd,
                                      TPDFDictionary* dict) {
  if (text.find("stream") == std::string_view::npos || dictEnd > text.size() || text.size() - dictEnd < 14)
    return nullptr;
  const size_t keyword = text.find("stream", dictEnd);
  if (keyword == std::string_view::npos) return nullptr;
  const size_t start = StreamDataStart(text, keyword + 6);
  if (start == std::string_view::npos) return nullptr;
  auto* length = As<TPDFNumeric>(dict->Get("Length", true));
  if (!length) return nullptr;
  int64_t n = std::max<int64_t>(length->AsInteger(), 0);
  int64_t end = static_cast<int64_t>(start) + n;
  if (end > static_cast<int64_t>(text.size())) {
    // /Length runs past the object: take the data up to an "endstream" near its end,
    // without the line end that precedes that keyword.
    const size_t tail = text.size() > 20 ? text.size() - 20 : 0;
    const size_t found = text.rfind("endstream");
    if (found == std::string_view::npos || found < tail || found < start) return nullptr;
    size_t stop = found;
    if (stop > start && text[stop - 1] == '\n') --stop;
    if (stop > start && text[stop - 1] == '\r') --stop;
    n = static_cast<int64_t>(stop - start);
    end = static_cast<int64_t>(stop);
  }
  size_t p = static_cast<size_t>(end);
  if (p < text.size() && (text[p] == 0 || text[p] == 9 || text[p] == 12 || text[p] == 32)) ++p;
  if (p < text.size() && text[p] == '\r') ++p;
  if (p < text.size() && text[p] == '\n') ++p;
  const size_t endstream = text.find("endstream", p);
  if (endstream == std::string_view::npos) return nullptr;
  const size_t count = static_cast<size_t>(n) + (endstream - p);
  TPDFStream* stream = ObjectPool->NewStream("", false);
  stream->Dictionary()->CopyFrom(*dict);
  stream->Data = text.substr(start, count);
  stream->Dictionary()->Put("Length", ObjectPool->NewNumeric(static_cast<double>(stream->Data.size())));
  StreamBytesRead += static_cast<int64_t>(stream->Data.size());
  if (!record.Compressed) {  // the text is a view into the file
    record.StreamDataOffset = static_cast<int32_t>(text.data() - FileText.data() + static_cast<ptrdiff_t>(start));
    record.StreamDataLength = static_cast<int32_t>(stream->Data.size());
  }
  return stream;
}

void TPDFDocument::DetectLinearization() {
  IsLinearized = false;
  const std::string head = FileText.substr(0, HeaderWindow);
  if (head.find("/Linearized") == std::string::npos) return;
  const size_t obj = head.find(" obj");
  if (obj == std::string::npos) return;
  std::string before = head.substr(0, obj);
  // The object number and generation are the last two numbers before " obj".
  size_t end = before.find_last_not_of(" \r\n\t");
  if (end == std::string::npos) return;
  size_t genStart = before.find_last_not_of("0123456789", end);
  genStart = genStart == std::string::npos ? 0 : genStart + 1;
  size_t numEnd = before.find_last_not_of(" \r\n\t", genStart == 0 ? 0 : genStart - 1);
  if (numEnd == std::string::npos || genStart == 0) return;
  size_t numStart = before.find_last_not_of("0123456789", numEnd);
  numStart = numStart == std::string::npos ? 0 : numStart + 1;
  const int32_t number = TextToIntDef(before.substr(numStart, numEnd + 1 - numStart), -1);
  TPDFIndObj* record = ObjectByNumber(number);
  if (!record) return;
  TPDFDictionary* dict = As<TPDFDictionary>(RecordObject(*record));
  if (!dict || !dict->Get("Linearized", false)) return;
  IsLinearized = true;
  // Emptied without offering each entry back to the pool: that scans the whole pool once per
  // entry, which a dictionary of many keys turns into a hang. The pool frees them with the
  // document.
  dict->CopyFrom(*ObjectPool->NewDictionary());
}

TPDFIndObj* TPDFDocument::AddIndirectObject(TPDFObject* object) {
  if (!As<TPDFNumeric>(TrailerDict->Get("Size", false)))
    TrailerDict->Put("Size", ObjectPool->NewNumeric(1));
  // The number after the highest listed one goes to the end of the number index as it is:
  // pages that each add a stream cost no rescan or re-sort of the table.
  const int32_t highest = NumberIndex.empty() ? 0 : std::max(NumberIndex.back().first, 0);
  int32_t number = highest + (highest < std::numeric_limits<int32_t>::max() ? 1 : 0);
  auto place = NumberIndex.end();
  if (number == highest) {
    // A hostile table has taken the highest number: the lowest free one is given instead.
    number = 1;
    place = std::lower_bound(NumberIndex.begin(), NumberIndex.end(), 1,
                             [](const auto& entry, int32_t n) { return entry.first < n; });
    for (; place != NumberIndex.end() && place->first <= number; ++place)
      if (place->first == number) ++number;
  }
  auto record = std::make_unique<TPDFIndObj>();
  record->Number = number;
  record->Parsed = true;
  record->Decrypted = true;
  record->InMemory = true;
  record->Object = object;
  object->MarkIndirect(number, 0);
  TPDFIndObj* added = record.get();
  NumberIndex.insert(place, {number, static_cast<int32_t>(Objects.size())});
  Objects.push_back(std::move(record));
  const int64_t next = static_cast<int64_t>(highest) + 2;
  HighestNumber = static_cast<int32_t>(std::min<int64_t>(next, std::numeric_limits<int32_t>::max()));
  static_cast<TPDFNumeric*>(TrailerDict->Get("Size", false))->Value = static_cast<double>(next);
  return added;
}

bool TPDFDocument::RemoveNewestObject(int32_t number) {
  if (Objects.empty() || NumberIndex.empty() || !Objects.back()->InMemory || Objects.back()->Number != number ||
      NumberIndex.back().first != number || NumberIndex.back().second != static_cast<int32_t>(Objects.size()) - 1)
    return false;
  Objects.pop_back();
  NumberIndex.pop_back();
  return true;
}

// A collection also walks the object table, so a file of many objects waits for a quarter of
// their count in new objects: the work stays in proportion to what the pages read.
bool TPDFDocument::CollectionDue() const {
  const int64_t grown = ObjectPool->Count() - ObjectsAfterCollection;
  const int64_t records = static_cast<int64_t>(Objects.size()) / 4;
  return grown >= std::max({ObjectsAfterCollection, CollectAfterObjects, records}) ||
         StreamBytesRead >= CollectAfterStreamBytes;
}

void TPDFDocument::CollectObjects(std::span<TPDFObject* const> keep) {
  TPDFStructure& pool = *ObjectPool;
  pool.Mark(TrailerDict);
  for (TPDFObject* object : keep) pool.Mark(object);
  for (const auto& record : Objects)
    if (record->InMemory) pool.Mark(record->Object);
  for (const auto& cache : ObjectStreams) pool.Mark(cache->IndexArray);
  for (const auto& record : Objects) {
    if (record->InMemory || !record->Parsed || pool.IsMarked(record->Object)) continue;
    record->Parsed = false;
    record->Object = nullptr;
    record->Decrypted = false;
    record->StreamDataOffset = record->StreamDataLength = 0;
    record->StreamDataReleased = false;
  }
  pool.SweepUnmarked();
  ObjectsAfterCollection = pool.Count();
  StreamBytesRead = 0;
}

TPDFDictionary* TPDFDocument::EnsureDictionaryEntry(const std::string& key) {
  if (TPDFDictionary* dict = As<TPDFDictionary>(TrailerDict->Get(key, true))) return dict;
  TPDFDictionary* dict = ObjectPool->NewDictionary();
  TPDFIndObj* record = AddIndirectObject(dict);
  TrailerDict->Put(key, ObjectPool->NewIndRef(record->Number, 0));
  return dict;
}

TPDFDictionary* TPDFDocument::Catalog() { return EnsureDictionaryEntry("Root"); }

TPDFDictionary* TPDFDocument::InfoDictionary() { return EnsureDictionaryEntry("Info"); }

TPDFDictionary* TPDFDocument::PagesRoot() { return As<TPDFDictionary>(Catalog()->Get("Pages", true)); }

void TPDFDocument::SetInfoEntry(const std::string& key, const std::u16string& value) {
  // A PDF text string: plain bytes for ASCII (which every PDF text encoding shares), else
  // UTF-16BE with its byte-order mark.
  std::string bytes;
  bool narrow = std::all_of(value.begin(), value.end(), [](char16_t c) { return c < 0x80; });
  if (narrow) {
    for (char16_t c : value) bytes += static_cast<char>(c);
  } else {
    bytes = "\xfe\xff";
    for (char16_t c : value) {
      bytes += static_cast<char>(c >> 8);
      bytes += static_cast<char>(c & 0xFF);
    }
  }
  TPDFDictionary* info = InfoDictionary();
  if (auto* existing = As<TPDFString>(info->Get(key, false))) {
    existing->Value = bytes;
    return;
  }
  if (auto* stream = As<TPDFStream>(info->Get(key, false))) stream->SetData("");
  info->Put(key, ObjectPool->NewString(bytes, false));
}

// Two copies of the MD5 digest of the current time, as a day count in text form.
TPDFArray* TPDFDocument::NewFileIdentifier() {
  const Platform::LocalTime now = Platform::Now();
  const double days = static_cast<double>(std::time(nullptr) + now.OffsetSeconds) / 86400.0 + 25569.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", days);
  TPDFString* id = ObjectPool->NewString(MD5(text), true);
  return ObjectPool->NewArray({id, id});
}

bool TPDFDocument::NewBlankDocument() {
  ResetDocument();
  VersionText = "1.4";
  TPDFStructure& pool = *ObjectPool;
  TPDFDictionary* info = pool.NewDictionary();
  TPDFDictionary* catalog = pool.NewDictionary();
  TPDFDictionary* root = pool.NewDictionary();
  TPDFDictionary* page = pool.NewDictionary();
  TPDFDictionary* resources = pool.NewDictionary();
  TPDFIndObj* rootRecord = AddIndirectObject(root);
  page->Put("Type", pool.NewName("Page"));
  page->Put("Parent", pool.NewIndRef(rootRecord->Number, 0));
  page->Put("MediaBox", pool.NewIntegerArray({0, 0, 612, 792}));
  page->Put("CropBox", pool.NewIntegerArray({0, 0, 612, 792}));
  page->Put("Resources", resources);
  TPDFArray* procSet = pool.NewArray();
  for (const char* name : {"PDF", "Text", "ImageB", "ImageC", "ImageI"}) procSet->Add(pool.NewName(name));
  resources->Put("ProcSet", procSet);
  root->Put("Type", pool.NewName("Pages"));
  root->Put("Count", pool.NewNumeric(1));
  TPDFIndObj* pageRecord = AddIndirectObject(page);
  TPDFArray* kids = pool.NewArray();
  kids->Add(pool.NewIndRef(pageRecord->Number, 0));
  root->Put("Kids", kids);
  catalog->Put("Type", pool.NewName("Catalog"));
  catalog->Put("Pages", pool.NewIndRef(rootRecord->Number, 0));
  TPDFIndObj* catalogRecord = AddIndirectObject(catalog);
  TPDFIndObj* infoRecord = AddIndirectObject(info);
  TrailerDict->Put("Root", pool.NewIndRef(catalogRecord->Number, 0));
  TrailerDict->Put("Info", pool.NewIndRef(infoRecord->Number, 0));
  TrailerDict->Put("ID", NewFileIdentifier());
  Tree = std::make_unique<TPDFPageTree>(*this, root);
  return true;
}
