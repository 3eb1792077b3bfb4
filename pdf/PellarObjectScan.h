#pragma once
// One pass over a file's bytes that finds every "n g obj" definition, for files whose
// cross-reference data cannot be trusted: the object table of a damaged file is rebuilt from
// it, and an object whose record points at the wrong bytes is looked up in it.
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

struct TPDFObjectDefinition {
  int32_t Number = 0;
  int32_t Generation = 0;
  int32_t Offset = 0;   // where the object number starts
  int32_t HeadEnd = 0;  // where its "stream" keyword or the next definition starts
};

class TPDFObjectScan {
public:
  // Stream data are stepped over from "stream" to "endstream", so that bytes inside them
  // (an embedded file, compressed data) define nothing.
  explicit TPDFObjectScan(std::string_view file);

  // Every definition, in file order.
  const std::vector<TPDFObjectDefinition>& Definitions() const { return Found; }
  // The last definition of the number in the file, as in an incremental update; nullptr without one.
  const TPDFObjectDefinition* Latest(int32_t number) const;
  // Where the definition's text ends: at the next definition, or at the end of the file.
  int32_t End(const TPDFObjectDefinition& definition) const;
  // Just after each "trailer" keyword outside stream data, the last ones of the file in file order.
  const std::vector<int32_t>& Trailers() const { return TrailerEnds; }

  // A damaged file's trailer is looked for among its last few trailers only.
  static constexpr size_t MaxTrailers = 16;

private:
  std::vector<TPDFObjectDefinition> Found;
  std::vector<std::pair<int32_t, int32_t>> ByNumber;  // (number, index of its last definition), by number
  std::vector<int32_t> TrailerEnds;
  int32_t FileSize = 0;
};
