#include "pdf/PellarXRefReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "pdf/PellarStreamData.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarParser.h"
#include "pdf/PellarStructure.h"

namespace {

constexpr int64_t SectionWindowBefore = 10;
constexpr int64_t SectionWindow = 40;
constexpr int64_t HeaderWindow = 20;
constexpr int64_t ClassicEntrySize = 20;
constexpr int64_t TrailerWindow = 2048;
constexpr int64_t StreamDictionaryWindow = 20480;
// Hybrid sections nest only through hostile files; this bounds the recursion.
constexpr int MaxHybridDepth = 32;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A direct number entry of a dictionary.
const TPDFNumeric* DirectNumber(const TPDFDictionary& dict, const std::string& key) {
  return As<TPDFNumeric>(dict.Get(key, false));
}

int32_t NumberOrZero(const TPDFObject* value) {
  const TPDFNumeric* number = As<TPDFNumeric>(value);
  return number ? number->AsInteger() : 0;
}

// A big-endian field of `width` bytes (none for a width below 1). Its value is its four
// low-order bytes; `fits` turns false when a byte before them is not zero.
int32_t ReadField(const std::string& data, size_t& pos, int32_t width, bool& fits) {
  uint32_t value = 0;
  for (int32_t i = 0; i < width; ++i) {
    if (value >> 24 != 0) fits = false;
    value = (value << 8) | static_cast<unsigned char>(data[pos++]);
  }
  return static_cast<int32_t>(value);
}

}  // namespace

std::string TPDFXRefReader::ReadBytes(int64_t offset, int64_t count) const {
  const int64_t size = static_cast<int64_t>(Source.size());
  if (offset < 0) offset = 0;
  if (offset >= size || count <= 0) return {};
  count = std::min(count, size - offset);
  return Source.substr(static_cast<size_t>(offset), static_cast<size_t>(count));
}

void TPDFXRefReader::Report(int64_t number, int32_t field2, char type, int32_t field3) const {
  if (OnEntry && number >= 0 && number <= std::numeric_limits<int32_t>::max())
    OnEntry(static_cast<int32_t>(number), field2, type, field3);
}

size_t TPDFXRefReader::NextTrailer(size_t from) {
  if (!TrailersFound) {
    TrailersFound = true;
    for (size_t at = Source.find("trailer"); at != std::string::npos; at = Source.find("trailer", at + 1))
      TrailerPositions.push_back(at);
  }
  auto it = std::lower_bound(TrailerPositions.begin(), TrailerPositions.end(), from);
  return it == TrailerPositions.end() ? std::string::npos : *it;
}

int32_t TPDFXRefReader::FindStartXref() const {
  const size_t size = Source.size();
  // The end marker: a damaged "%%E" at the very end, else the last "%%EOF".
  size_t marker = std::string::npos;
  const size_t tailStart = size > 10 ? size - 10 : 0;
  size_t damaged = Source.find("%%E", tailStart);
  if (damaged != std::string::npos && Source.compare(damaged, 5, "%%EOF") != 0)
    marker = Source.rfind("%%E");
  else
    marker = Source.rfind("%%EOF");
  if (marker == std::string::npos || marker < 9) return 0;
  const size_t keyword = Source.rfind("startxref", marker - 9);
  if (keyword == std::string::npos) return 0;

  int32_t result = 0;
  const size_t from = keyword + 9;
  size_t pos = from;
  while (pos < marker) {
    size_t end = pos;
    while (end < marker && Source[end] != '\r' && Source[end] != '\n') ++end;
    std::string line = TrimBlanks(Source.substr(pos, end - pos));
    line = TrimBlanks(line.substr(0, line.find('%')));
    int32_t value = TextToIntDef(line, 0);
    if (value > 0) result = value;
    pos = end + 1;
  }
  return result;
}

bool TPDFXRefReader::ReadSection(int32_t offset) {
  // The /Prev chain is followed in a loop, not by recursion, so a file with many
  // incremental updates cannot exhaust the stack.
  std::vector<int32_t> chain;
  int64_t next = offset;
  bool ok = true;
  while (true) {
    const int32_t current = static_cast<int32_t>(next);
    if (!SectionsRead.insert(current).second) break;  // read before: the chain ends here
    chain.push_back(current);
    if (OnSection) OnSection(current);
    std::optional<int64_t> prev;
    if (!ReadOneSection(current, prev)) {
      ok = false;
      break;
    }
    // A negative /Prev can name no section: the chain ends there.
    if (!prev || *prev < 0 || *prev > std::numeric_limits<int32_t>::max()) break;
    next = *prev;
  }
  // A section's result is the result of the sections it chains to.
  if (!ok && OnSection)
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) OnSection(-*it);
  return ok;
}

bool TPDFXRefReader::ReadOneSection(int32_t offset, std::optional<int64_t>& prev) {
  const int64_t windowStart = offset < SectionWindowBefore ? 0 : offset - SectionWindowBefore;
  const std::string window = ReadBytes(windowStart, SectionWindow);
  const size_t txref = window.find("txref");
  size_t xref = window.find("xref");
  const size_t obj = window.find(" obj");
  if (xref != std::string::npos && txref != std::string::npos && xref == txref + 1) xref = std::string::npos;
  if (xref == std::string::npos && obj != std::string::npos)
    return ReadStreamSection(windowStart + static_cast<int64_t>(obj) + 4, prev);
  if (xref != std::string::npos && (obj == std::string::npos || obj > xref))
    return ReadClassicTable(windowStart + static_cast<int64_t>(xref) + 4, prev);
  return false;
}

bool TPDFXRefReader::ReadClassicTable(int64_t start, std::optional<int64_t>& prev) {
  int64_t pos = start;
  while (true) {
    const std::string header = ReadBytes(pos, HeaderWindow);
    if (header.substr(0, 3).find('%') != std::string::npos || header.find("trailer") != std::string::npos) break;
    size_t i = 0;
    auto skipToDigit = [&]() {
      while (i < header.size() && !IsDigit(header[i])) ++i;
    };
    auto takeDigits = [&]() {
      size_t begin = i;
      while (i < header.size() && IsDigit(header[i])) ++i;
      return header.substr(begin, i - begin);
    };
    // Blank lines between subsections or before "trailer" are stepped over, at the cost of
    // the budget: chains of sections must not rescan the same blanks.
    size_t blanks = 0;
    while (blanks < header.size() && IsPdfWhitespace(static_cast<unsigned char>(header[blanks]))) ++blanks;
    if (blanks > 0 && EntryBudget > 0) {
      pos += static_cast<int64_t>(blanks);
      EntryBudget -= static_cast<int64_t>(blanks);
      continue;
    }
    skipToDigit();
    const int32_t first = TextToIntDef(takeDigits(), -1);
    skipToDigit();
    const std::string countText = takeDigits();
    const int32_t count = TextToIntDef(countText, 0);
    // An empty subsection ("0 0", as some writers give when all entries are in a stream) is
    // valid and lists nothing; the subsections after it are still read.
    if (first >= 0 && !countText.empty() && count == 0 && EntryBudget > 0) {
      pos += static_cast<int64_t>(i);
      EntryBudget -= static_cast<int64_t>(i);
      continue;
    }
    skipToDigit();
    // A header whose window runs out before the first entry is damaged beyond use.
    if (i >= header.size()) return false;
    if (first < 0 || count <= 0) break;
    pos += static_cast<int64_t>(i);

    const int64_t window = std::min(static_cast<int64_t>(count) * ClassicEntrySize, EntryBudget);
    if (window <= 0) break;
    const std::string entries = ReadBytes(pos, window) + "trailer";
    size_t p = 0;
    for (int64_t k = 0; k < count && p + 18 <= entries.size(); ++k) {
      const int32_t offset = TextToIntDef(entries.substr(p, 10), 0);
      const int32_t generation = TextToIntDef(entries.substr(p + 11, 5), 0);
      Report(first + k, offset, entries[p + 17], generation);
      p += 18;
      while (p < entries.size() && (entries[p] == ' ' || entries[p] == '\n' || entries[p] == '\r')) ++p;
    }
    const size_t consumed = std::min(p, entries.size() - 7);
    pos += static_cast<int64_t>(consumed);
    EntryBudget -= std::max<int64_t>(static_cast<int64_t>(consumed), 1);
  }

  const size_t trailer = NextTrailer(static_cast<size_t>(std::max<int64_t>(pos, 0)));
  if (trailer == std::string::npos) return false;
  std::string text = ReadBytes(static_cast<int64_t>(trailer), TrailerWindow).substr(7);
  if (text.find("<<") == std::string::npos || text.find(">>") == std::string::npos) return false;

  TPDFStructure pool;
  TPDFObject* parsed = pool.Parse(text);
  if (parsed->Kind != TPDFObject::KindDictionary) return false;
  const auto& dict = *static_cast<TPDFDictionary*>(parsed);
  if (OnTrailer) OnTrailer(dict.Text());
  if (const TPDFNumeric* stm = DirectNumber(dict, "XRefStm")) {
    IsHybrid = true;
    if (HybridDepth < MaxHybridDepth) {
      ++HybridDepth;
      ReadSection(stm->AsInteger());
      --HybridDepth;
    }
  }
  if (const TPDFNumeric* p = DirectNumber(dict, "Prev")) prev = p->AsInteger();
  return true;
}

bool TPDFXRefReader::ReadStreamSection(int64_t start, std::optional<int64_t>& prev) {
  std::string window = ReadBytes(start, StreamDictionaryWindow);
  TPDFStructure pool;
  size_t consumed = 0;
  TPDFObject* parsed = pool.ParseAt(window, consumed);
  if (parsed->Kind != TPDFObject::KindDictionary) return false;
  auto* dict = static_cast<TPDFDictionary*>(parsed);
  const TPDFNumeric* size = DirectNumber(*dict, "Size");
  if (dict->TypeName() != "XRef" || !size) return false;

  std::vector<std::pair<int64_t, int64_t>> subsections;
  if (TPDFArray* items = As<TPDFArray>(dict->Get("Index", false))) {
    for (int i = 0; i + 1 < items->Count(); i += 2)
      subsections.emplace_back(NumberOrZero(items->Item(i)), NumberOrZero(items->Item(i + 1)));
  } else {
    subsections.emplace_back(0, size->AsInteger());
  }
  const TPDFNumeric* prevNumber = DirectNumber(*dict, "Prev");

  TPDFArray* widths = As<TPDFArray>(dict->Get("W", false));
  // The data follow the first "stream" keyword after the dictionary. (Stepping over the
  // ">>" that come before it, one at a time, ends at that same keyword.)
  const size_t keyword = window.find("stream", std::min<size_t>(consumed, window.size()));
  const size_t dataStart = keyword == std::string::npos ? keyword : StreamDataStart(window, keyword + 6);
  const TPDFNumeric* length = DirectNumber(*dict, "Length");
  if (widths && widths->Count() >= 3 && length && dataStart != std::string::npos) {
    TPDFStream* stream = pool.NewStream("", false);
    stream->SetDictionary(dict);
    stream->Data = ReadBytes(start + static_cast<int64_t>(dataStart), length->AsInteger());
    ReportStreamEntries(*stream, {NumberOrZero(widths->Item(0)), NumberOrZero(widths->Item(1)),
                                  NumberOrZero(widths->Item(2))}, subsections);
  }
  if (OnTrailer) OnTrailer(dict->Text());
  // A cross-reference stream chains only to a positive /Prev.
  if (prevNumber && prevNumber->AsInteger() > 0) prev = prevNumber->AsInteger();
  return true;
}

void TPDFXRefReader::ReportStreamEntries(const TPDFStream& stream, const std::array<int32_t, 3>& w,
                                         const std::vector<std::pair<int64_t, int64_t>>& subsections) {
  // A width beyond the decoder's limit reads no entry either way; capping it keeps the sums
  // below within 64 bits.
  std::array<int32_t, 3> width;
  for (size_t i = 0; i < 3; ++i)
    width[i] = static_cast<int32_t>(std::clamp<int64_t>(w[i], 0, static_cast<int64_t>(MaxDecodedStreamSize)));
  const size_t entrySize =
      static_cast<size_t>(width[0]) + static_cast<size_t>(width[1]) + static_cast<size_t>(width[2]);
  // Only the bytes the subsections can read are decoded.
  int64_t wanted = 0;
  for (const auto& subsection : subsections)
    wanted = std::min<int64_t>(wanted + std::max<int64_t>(subsection.second, 0) * static_cast<int64_t>(entrySize),
                               static_cast<int64_t>(MaxDecodedStreamSize));
  const std::string data = DecodedData(stream, static_cast<size_t>(wanted));
  size_t pos = 0;
  // Reading stops at the end of the data; entries without bytes say nothing.
  for (const auto& [firstNumber, count] : subsections) {
    for (int64_t k = 0; k < count && entrySize > 0 && pos + entrySize <= data.size(); ++k) {
      bool fits = true;
      const int32_t type = w[0] == 0 ? 1 : ReadField(data, pos, width[0], fits);
      const int32_t f2 = ReadField(data, pos, width[1], fits);
      const int32_t f3 = ReadField(data, pos, width[2], fits);
      const int64_t number = firstNumber + k;
      // A value too large for any offset or number names nothing: the entry reads as free.
      if (!fits) {
        Report(number, 0, 'f', 0);
        continue;
      }
      switch (type) {
        case 0: Report(number, f2, 'f', f3); break;
        case 1: Report(number, f2, 'n', f3); break;
        case 2: Report(number, f2, 'c', f3); break;
        default: Report(number, 0, ' ', 0); break;
      }
    }
  }
}
