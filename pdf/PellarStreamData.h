#pragma once
// The bytes of a stream after its filters: every consumer of stream contents reads them here.
#include <span>
#include <string>
#include <string_view>
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
// The decoded data of the streams one after another, each preceded by the separator (an
// entry that is no stream adds the separator only); at most `limit` bytes, however often
// a stream is named, and a stream named again is decoded once.
std::string JoinedStreamData(std::span<TPDFStream* const> streams, std::string_view separator,
                             size_t limit = MaxDecodedStreamSize);
