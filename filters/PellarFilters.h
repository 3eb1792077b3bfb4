#pragma once
// The filter chain of a stream: each named decoder run over the data in turn.
#include <cstdint>
#include <string>
#include <vector>

#include "filters/PellarFilterLimits.h"

// One entry of a stream's filter list, filled from the stream dictionary:
// - Name: the /Filter name, or one name of a /Filter array in array order (elements that are
//   not names, indirect references included, give no entry).
// - HasParms: the entry has a parameter dictionary: the /DecodeParms value (else /DP) when
//   that is a dictionary, for the first entry only; when it is an array, its element i for
//   entry i where that element is a direct dictionary.
// - The numbers: that dictionary's /Predictor, /Colors, /BitsPerComponent, /Columns and
//   /EarlyChange, each after one indirect reference, rounded to the nearest integer (ties to
//   even) and held within the int32 range; a missing or non-numeric value keeps the default.
// Without a parameter dictionary the numbers are not looked at and the defaults apply.
struct TPDFFilterEntry {
  std::string Name;
  bool HasParms = false;
  int32_t Predictor = 1;
  int32_t Colors = 1;
  int32_t BitsPerComponent = 8;
  int32_t Columns = 1;
  int32_t EarlyChange = 1;
};

// Runs the entries over `data` in order. Names are compared byte for byte: "FlateDecode" and
// "Fl" inflate (with the predictor when Predictor is above 1), "ASCII85Decode" and "A85"
// decode ASCII85, "LZWDecode" decodes LZW (early change exactly when EarlyChange is 1); any
// other name hands the data on unchanged. Each decoder stops at `limit` bytes.
std::string RunFilterChain(const std::string& data, const std::vector<TPDFFilterEntry>& entries,
                           size_t limit = MaxDecodedStreamSize);
