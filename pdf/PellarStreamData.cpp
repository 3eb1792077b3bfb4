#include "pdf/PellarStreamData.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "filters/PellarPredictors.h"
#include "pdf/PellarObjects.h"

namespace {

// A parameter: one indirect reference followed; a number rounded, anything else the default.
int32_t Parameter(const TPDFDictionary& parms, const char* key, int32_t fallback) {
  const TPDFNumeric* value = As<TPDFNumeric>(parms.Get(key, true));
  return value ? value->AsInteger() : fallback;
}

void ReadParameters(const TPDFDictionary& parms, TPDFFilterEntry& entry) {
  entry.HasParms = true;
  entry.Predictor = Parameter(parms, "Predictor", 1);
  entry.Colors = Parameter(parms, "Colors", 1);
  entry.BitsPerComponent = Parameter(parms, "BitsPerComponent", 8);
  entry.Columns = Parameter(parms, "Columns", 1);
  entry.EarlyChange = Parameter(parms, "EarlyChange", 1);
}

// What a stage must produce so that `wanted` bytes come out after its predictor: the
// predictors work on whole rows, and the PNG ones read a type byte before each row.
size_t StageLimit(const TPDFFilterEntry& entry, size_t wanted) {
  if (wanted >= MaxDecodedStreamSize || !entry.HasParms || entry.Predictor <= 1) return wanted;
  const std::optional<TPDFRowLayout> layout =
      FlateRowLayout({entry.Predictor, entry.Colors, entry.BitsPerComponent, entry.Columns});
  if (!layout || layout->RowBytes == 0 || layout->RowBytes >= MaxDecodedStreamSize) return MaxDecodedStreamSize;
  const size_t rows = wanted / layout->RowBytes + 1;
  return std::min(MaxDecodedStreamSize, rows * (layout->RowBytes + 1));
}

}  // namespace

std::vector<TPDFFilterEntry> FilterEntries(const TPDFDictionary& dictionary) {
  std::vector<TPDFFilterEntry> entries;
  TPDFObject* filter = dictionary.Get("Filter", true);
  if (!filter) return entries;
  if (filter->Kind == TPDFObject::KindName) {
    entries.push_back({static_cast<TPDFName*>(filter)->Value});
  } else if (filter->Kind == TPDFObject::KindArray) {
    auto* names = static_cast<TPDFArray*>(filter);
    for (int i = 0; i < names->Count(); ++i)
      if (TPDFObject* item = names->Item(i); item && item->Kind == TPDFObject::KindName)
        entries.push_back({static_cast<TPDFName*>(item)->Value});
  }
  if (entries.empty()) return entries;

  TPDFObject* parms = dictionary.IndexOfKey("DecodeParms") >= 0 ? dictionary.Get("DecodeParms", true)
                                                                 : dictionary.Get("DP", true);
  if (!parms) return entries;
  if (parms->Kind == TPDFObject::KindDictionary) {
    ReadParameters(*static_cast<TPDFDictionary*>(parms), entries[0]);
  } else if (parms->Kind == TPDFObject::KindArray) {
    auto* list = static_cast<TPDFArray*>(parms);
    for (size_t i = 0; i < entries.size() && static_cast<int>(i) < list->Count(); ++i)
      if (TPDFObject* item = list->Item(static_cast<int>(i)); item && item->Kind == TPDFObject::KindDictionary)
        ReadParameters(*static_cast<TPDFDictionary*>(item), entries[i]);
  }
  return entries;
}

std::string DecodedData(const TPDFStream& stream, size_t limit) {
  std::vector<TPDFFilterEntry> entries = FilterEntries(*stream.Dictionary());
  if (entries.empty()) return stream.Data.substr(0, limit);
  // Only the last stage can stop early: what an earlier one yields is the input of the next,
  // and may have to be whole for the next to give even a few bytes.
  const TPDFFilterEntry last = entries.back();
  entries.pop_back();
  std::string data = RunFilterChain(entries.empty() ? stream.Data : RunFilterChain(stream.Data, entries), {last},
                                    StageLimit(last, limit));
  // A decoder that hands its input on unchanged is not bound by the limit.
  if (data.size() > limit) data.resize(limit);
  return data;
}

std::string JoinedStreamData(std::span<TPDFStream* const> streams, std::string_view separator, size_t limit) {
  std::unordered_map<const TPDFStream*, std::string> decoded;
  std::string content;
  for (const TPDFStream* stream : streams) {
    if (content.size() >= limit) break;
    content.append(separator.substr(0, limit - content.size()));
    if (!stream || content.size() >= limit) continue;
    auto known = decoded.find(stream);
    if (known == decoded.end()) known = decoded.emplace(stream, DecodedData(*stream, limit - content.size())).first;
    content.append(known->second, 0, limit - content.size());
  }
  return content;
}
