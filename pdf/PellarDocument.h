#pragma once
// One PDF document in memory: the file bytes, the object table, the object pool and
// the page tree. Objects are parsed (and decrypted) the first time they are asked for.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

#include "pdf/PellarStringList.h"
#include "security/PellarSecurity.h"

class TPellarWideFileStream;
class TPDFObjectScan;
struct TPDFObjectDefinition;
class TPDFPageTree;
class TPDFStructure;
class TPDFObject;
class TPDFDictionary;
class TPDFArray;
class TPDFStream;
class TPDFIndRef;

// One indirect object of a document.
struct TPDFIndObj {
  int32_t Number = 0;
  int32_t Generation = 0;
  bool Parsed = false;
  TPDFObject* Object = nullptr;
  int32_t Offset = 0;  // 0 for compressed objects and objects made in memory
  int32_t Length = 0;  // up to the next known offset or the end of the file
  bool Decrypted = false;
  bool Compressed = false;
  int32_t ObjectStreamNumber = 0;
  int32_t Index = 0;
  // Where the data of a stream read from the file lie in it, so that they can be let go and
  // read again; a length of 0 for other objects.
  int32_t StreamDataOffset = 0;
  int32_t StreamDataLength = 0;
  bool StreamDataReleased = false;
  bool InMemory = false;  // made by AddIndirectObject, not read from the file
};

// The decoded data and number table of an object stream, read once.
struct TPDFObjectStream {
  std::string Data;
  TPDFArray* IndexArray = nullptr;
  int32_t First = 0;
  int32_t Count = 0;
  // For each of the Count objects, where its text ends, counted like the offsets from First.
  std::vector<int64_t> Ends;
};

// What loading a document answers.
enum class TPDFLoadResult { LoadOk, LoadPasswordRejected, LoadFailed };

class TPDFDocument {
public:
  using enum TPDFLoadResult;

  TPDFDocument();
  ~TPDFDocument();
  TPDFDocument(const TPDFDocument&) = delete;
  TPDFDocument& operator=(const TPDFDocument&) = delete;

  // Reads the whole stream and loads the document with the password.
  TPDFLoadResult LoadFromStream(TPellarWideFileStream& stream, const std::u16string& password);
  TPDFLoadResult LoadFromBytes(std::string bytes, const std::u16string& password);
  // A new one-page document of 612 by 792 points.
  bool NewBlankDocument();
  void ResetDocument();

  TPDFIndObj* ObjectByNumber(int32_t number) const;
  std::string RawObjectText(const TPDFIndObj& record);
  // The record's object, parsed and decrypted on first use.
  TPDFObject* RecordObject(TPDFIndObj& record);
  // Lets go of the data of a stream of the file that its reader no longer needs: they are freed
  // at once and read again when the object is next asked for. For streams the engine has not
  // changed; objects made in memory and object streams keep their data.
  void ReleaseStreamData(int32_t number);
  // The object is in the file and not read yet, or its stream data were let go.
  bool StreamDataUnread(int32_t number) const;
  // Registers an object made in memory as a new indirect object.
  TPDFIndObj* AddIndirectObject(TPDFObject* object);
  // Removes the indirect object made in memory last when it has that number: the objects a
  // page added for itself, once the page is let go of. Answers whether it did.
  bool RemoveNewestObject(int32_t number);

  // Objects read from the file are let go of in collections, so that a walk over the pages
  // needs memory for the largest page rather than for all of them. A collection is due once
  // the pool has grown by as many objects as stayed after the last one (at least
  // CollectAfterObjects and a quarter of the object table), or once CollectAfterStreamBytes of
  // stream data were read since: each then costs a walk over what stays and over the table,
  // which what it frees pays back.
  static constexpr int64_t DefaultCollectAfterObjects = 4096;
  static constexpr int64_t DefaultCollectAfterStreamBytes = int64_t(2) << 20;
  int64_t CollectAfterObjects = DefaultCollectAfterObjects;
  int64_t CollectAfterStreamBytes = DefaultCollectAfterStreamBytes;
  bool CollectionDue() const;
  // Frees every object that neither the trailer, the objects in `keep`, the objects made in
  // memory nor the object-stream tables hold, directly or within; records of the file whose
  // object goes are read again on their next use. Nothing else may hold an object of the
  // document across a collection.
  void CollectObjects(std::span<TPDFObject* const> keep);

  TPDFDictionary* Catalog();
  TPDFDictionary* PagesRoot();
  TPDFDictionary* InfoDictionary();
  TPDFDictionary* Trailer() const { return TrailerDict; }
  // Sets a text entry of the document information dictionary.
  void SetInfoEntry(const std::string& key, const std::u16string& value);

  // Examines the /Encrypt entry on first use.
  TPDFEncryptionState EncryptionState();
  // Encrypted, supported, and the password was accepted as user or owner password.
  bool IsUnlocked() const { return Security.IsUnlocked(); }
  const TPDFSecurityState& SecurityState() const { return Security.State(); }

  TPDFPageTree& PageTree() { return *Tree; }
  TPDFStructure& Pool() { return *ObjectPool; }
  const std::string& Version() const { return VersionText; }
  bool Linearized() const { return IsLinearized; }
  int ObjectCount() const { return static_cast<int>(Objects.size()); }
  const TPDFIndObj& ObjectAt(int i) const { return *Objects[static_cast<size_t>(i)]; }
  TPDFIndObj& ObjectAt(int i) { return *Objects[static_cast<size_t>(i)]; }

  int32_t Origin = 0;      // corner of the coordinate origin for positioned text
  double UnitScale = 1.0;  // factor from points to output units
  std::u16string FileName;

private:
  struct TEntryRecord {
    int32_t Number, Generation, Offset;
    bool InUse;
    int32_t ObjectStreamNumber, Index;
    bool Compressed;
  };

  // `rebuild`: the object table comes from a scan of the file instead of its cross-reference data.
  TPDFLoadResult LoadSteps(const std::u16string& password, bool rebuild);
  void ResetKeepingFile();
  bool CheckHeader();
  bool ReadCrossReference();
  void SetObjectStreamBudget();
  // The newest trailer, without the keys that describe only its cross-reference section.
  void AdoptTrailer(TPDFDictionary* dict);
  // Damaged files (PellarDocumentRepair.cpp).
  const TPDFObjectScan& ObjectScan();
  bool RebuildFromScan();
  void ChooseScannedTrailer();
  void AddObjectStreamObjects();
  bool HasPagesRoot();
  void FindCatalog();
  // Points a record whose bytes are not its object's at the object's definition.
  bool Relocate(TPDFIndObj& record);
  bool HeadHas(const TPDFObjectDefinition& definition, std::string_view text) const;
  TPDFIndObj* DefinedRecord(const TPDFObjectDefinition& definition) const;
  void RepairNumbering();
  void BuildObjectTable();
  void RebuildNumberIndex();
  void DetectLinearization();
  TPDFObject* ReadObject(TPDFIndObj& record);
  std::string_view ObjectText(const TPDFIndObj& record, std::string& scratch);
  TPDFStream* ProbeStream(TPDFIndObj& record, std::string_view text, size_t dictEnd, TPDFDictionary* dict);
  void ReloadStreamData(TPDFIndObj& record);
  void DecryptStreamData(TPDFStream& stream, const std::string& key);
  TPDFObjectStream* ObjectStreamCache(TPDFStream& stream);
  static std::vector<int64_t> ObjectEnds(const TPDFObjectStream& cache);
  TPDFObject* Lookup(int32_t number);
  void DecryptObject(TPDFObject* object, const std::string& key, int depth);
  TPDFDictionary* EnsureDictionaryEntry(const std::string& key);
  TPDFArray* NewFileIdentifier();

  TLyxSortedUniqueIntegerList Seen;
  std::vector<TEntryRecord> Records;
  std::vector<int32_t> SectionOffsets;
  std::vector<std::unique_ptr<TPDFObjectStream>> ObjectStreams;
  // The same caches by the number of their stream: a collection may let go of the stream itself.
  std::unordered_map<int32_t, TPDFObjectStream*> ObjectStreamsByNumber;
  int64_t ObjectsAfterCollection = 0;
  int64_t StreamBytesRead = 0;  // since the last collection
  std::unique_ptr<TPDFObjectScan> Scan;  // made on first need
  std::string VersionText;
  std::string FileText;
  std::unique_ptr<TPDFStructure> ObjectPool;
  std::vector<std::unique_ptr<TPDFIndObj>> Objects;
  std::vector<std::pair<int32_t, int32_t>> NumberIndex;  // (number, position), by number
  TPDFDictionary* TrailerDict = nullptr;
  std::unique_ptr<TPDFPageTree> Tree;
  TPDFSecurityHandler Security;
  bool IsLinearized = false;
  bool Stopped = false;
  int32_t HighestNumber = 0;
  int32_t FileLength = 0;
  int ReadDepth = 0;  // nested object reads (a /Length or object stream read inside another)
  // Decoded object-stream data stays cached for the document's life. Sound streams hold
  // dictionaries that decode to a few times their stored size; the budget keeps a few tiny
  // streams that each inflate to the decoder's limit from holding gigabytes together.
  size_t ObjectStreamBudget = 0;
};
