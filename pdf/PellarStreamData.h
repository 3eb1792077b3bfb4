#pragma once
// The bytes of a stream after its filters: every consumer of stream contents reads them here.
#include <string>
#include <vector>

#include "filters/PellarFilters.h"

class TPDFDictionary;
class TPDFStream;

// The filter list of a stream dictionary: /Filter (a name or an array of names, one
// indirect reference followed) with /DecodeParms, or /DP, matched to it.
std::vector<TPDFFilterEntry> FilterEntries(const TPDFDictionary& dictionary);
// The stream's data after its filters; the raw bytes when it has none. At most `limit`
// bytes: a reader that needs only so much need not pay for more. Computed anew on every
// call; never fails (a failing stage yields what its decoder gives).
std::string DecodedData(const TPDFStream& stream, size_t limit = MaxDecodedStreamSize);
