#include "pdf/PellarObjectScan.h"

#include <algorithm>
#include <limits>
#include <string>

#include "pdf/PellarParser.h"

namespace {

constexpr size_t npos = std::string_view::npos;
// "n g obj" is read back from the keyword over at most this many blanks between the parts
// and digits in a number, so each candidate costs a bounded look back.
constexpr size_t MaxBlanks = 32;
constexpr size_t MaxDigits = 10;

bool IsWhite(char c) { return IsPdfWhitespace(static_cast<unsigned char>(c)); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool EndsToken(std::string_view text, size_t at) {
  return at >= text.size() || IsWhite(text[at]) || IsPdfDelimiter(static_cast<unsigned char>(text[at]));
}

// The next place of a keyword at or after a position. Positions only grow during the scan,
// and a place found stays valid until the position passes it, so every keyword costs one
// pass over the file however many times it is asked for.
struct TCursor {
  std::string_view Text, Key;
  size_t At = 0;
  bool Searched = false;
  size_t From(size_t position) {
    if (!Searched || (At != npos && At < position)) At = Text.find(Key, position);
    Searched = true;
    return At;
  }
};

// Reads back a run of blanks (at least one) and then a run of digits ending just before `end`;
// answers the value and moves `end` to the run's start. Fails on anything else.
bool NumberBefore(std::string_view text, size_t& end, int64_t& value) {
  size_t p = end, blanks = 0;
  while (p > 0 && IsWhite(text[p - 1]) && blanks <= MaxBlanks) --p, ++blanks;
  if (blanks == 0 || blanks > MaxBlanks) return false;
  const size_t digitsEnd = p;
  while (p > 0 && IsDigit(text[p - 1]) && digitsEnd - p <= MaxDigits) --p;
  const size_t digits = digitsEnd - p;
  if (digits == 0 || digits > MaxDigits) return false;
  value = std::stoll(std::string(text.substr(p, digits)));
  end = p;
  return true;
}

// The definition whose "obj" keyword starts at `keyword`, when the bytes before it read
// "n g" at the start of the file, a line or after a blank.
bool DefinitionAt(std::string_view text, size_t keyword, TPDFObjectDefinition& definition) {
  if (!EndsToken(text, keyword + 3)) return false;
  size_t p = keyword;
  int64_t generation = 0, number = 0;
  if (!NumberBefore(text, p, generation) || !NumberBefore(text, p, number)) return false;
  if (p > 0 && !IsWhite(text[p - 1])) return false;
  constexpr int64_t Max = std::numeric_limits<int32_t>::max();
  if (number > Max || generation > Max) return false;
  definition.Number = static_cast<int32_t>(number);
  definition.Generation = static_cast<int32_t>(generation);
  definition.Offset = static_cast<int32_t>(p);
  return true;
}

// "stream" as a keyword: not the tail of "endstream", and a line end follows after blanks.
bool IsStreamKeyword(std::string_view text, size_t at) {
  if (at >= 3 && text.substr(at - 3, 3) == "end") return false;
  size_t p = at + 6;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\0' || text[p] == '\f')) ++p;
  return p < text.size() && (text[p] == '\r' || text[p] == '\n');
}

}  // namespace

TPDFObjectScan::TPDFObjectScan(std::string_view file)
    : FileSize(static_cast<int32_t>(std::min<size_t>(file.size(), std::numeric_limits<int32_t>::max()))) {
  file = file.substr(0, static_cast<size_t>(FileSize));
  TCursor obj{file, "obj"}, stream{file, "stream"}, endstream{file, "endstream"}, trailer{file, "trailer"};
  size_t position = 0;
  bool headOpen = false;  // the last definition's head has not ended yet
  auto closeHead = [&](size_t at) {
    if (headOpen) Found.back().HeadEnd = static_cast<int32_t>(at);
    headOpen = false;
  };
  for (;;) {
    const size_t atObj = obj.From(position), atStream = stream.From(position), atTrailer = trailer.From(position);
    const size_t next = std::min({atObj, atStream, atTrailer});
    if (next == npos) break;
    if (next == atTrailer) {
      closeHead(next);
      TrailerEnds.push_back(static_cast<int32_t>(next + 7));
      // Only the last few are kept: a file of a million "trailer" words holds no more.
      if (TrailerEnds.size() > 2 * MaxTrailers) TrailerEnds.erase(TrailerEnds.begin(), TrailerEnds.end() - MaxTrailers);
      position = next + 7;
    } else if (next == atStream) {
      position = next + 6;
      if (!IsStreamKeyword(file, next)) continue;
      closeHead(next);
      const size_t end = endstream.From(position);
      if (end != npos) position = end + 9;
    } else {
      TPDFObjectDefinition definition;
      if (DefinitionAt(file, next, definition)) {
        closeHead(static_cast<size_t>(definition.Offset));
        Found.push_back(definition);
        headOpen = true;
      }
      position = next + 3;
    }
  }
  closeHead(file.size());
  if (TrailerEnds.size() > MaxTrailers) TrailerEnds.erase(TrailerEnds.begin(), TrailerEnds.end() - MaxTrailers);

  ByNumber.reserve(Found.size());
  for (size_t i = 0; i < Found.size(); ++i) ByNumber.emplace_back(Found[i].Number, static_cast<int32_t>(i));
  // Stable, so that of one number's definitions the last in the file ends its run.
  std::stable_sort(ByNumber.begin(), ByNumber.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  auto last = std::unique(ByNumber.rbegin(), ByNumber.rend(), [](const auto& a, const auto& b) { return a.first == b.first; });
  ByNumber.erase(ByNumber.begin(), last.base());
}

const TPDFObjectDefinition* TPDFObjectScan::Latest(int32_t number) const {
  auto it = std::lower_bound(ByNumber.begin(), ByNumber.end(), number,
                             [](const auto& entry, int32_t n) { return entry.first < n; });
  if (it == ByNumber.end() || it->first != number) return nullptr;
  return &Found[static_cast<size_t>(it->second)];
}

int32_t TPDFObjectScan::End(const TPDFObjectDefinition& definition) const {
  const size_t index = static_cast<size_t>(&definition - Found.data());
  return index + 1 < Found.size() ? Found[index + 1].Offset : FileSize;
}
