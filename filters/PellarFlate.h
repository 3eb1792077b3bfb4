#pragma once
// The Flate filter: zlib inflate, then the TIFF or PNG predictor when one is named.
#include <string>

#include "filters/PellarFilterLimits.h"
#include "filters/PellarPredictors.h"

using TPDFFlateParms = TPDFPredictorParms;

// zlib data (header and Adler-32 trailer) inflated. Bytes after the end of the zlib stream
// are ignored; input that stops early, a bad block after good ones or a wrong checksum yields
// what was inflated before; a bad header gives empty data. Output stops at `limit` bytes.
std::string InflateData(const std::string& data, size_t limit = MaxDecodedStreamSize);

// InflateData, then the predictor undone: Predictor 2 is TIFF, 10 and above PNG (a type byte
// before each row), 3 to 9 only cut the data to whole rows, 1 and below leave it as inflated. A trailing partial row is
// dropped. When Colors, BitsPerComponent or Columns is 0 or below the inflated data is
// returned unchanged.
std::string InflateWithPredictor(const std::string& data, const TPDFFlateParms& parms,
                                 size_t limit = MaxDecodedStreamSize);
