#include "filters/PellarFilters.h"

#include "filters/PellarAscii85.h"
#include "filters/PellarFlate.h"
#include "filters/PellarLZW.h"

namespace {

// The entry's predictor numbers, or the defaults when it has no parameter dictionary.
TPDFPredictorParms PredictorParmsOf(const TPDFFilterEntry& entry) {
  if (!entry.HasParms) return {};
  return {entry.Predictor, entry.Colors, entry.BitsPerComponent, entry.Columns};
}

std::string RunFlate(const std::string& data, const TPDFFilterEntry& entry, size_t limit) {
  const TPDFFlateParms parms = PredictorParmsOf(entry);
  if (parms.Predictor <= 1) return InflateData(data, limit);
  return InflateWithPredictor(data, parms, limit);
}

std::string RunLZW(const std::string& data, const TPDFFilterEntry& entry, size_t limit) {
  TPDFLZWDecompressor decoder;
  decoder.MsbFirst = true;
  decoder.InitialCodeSize = 9;
  decoder.EarlyChange = !entry.HasParms || entry.EarlyChange == 1;
  return decoder.Decode(data, PredictorParmsOf(entry), limit);
}

}  // namespace

std::string RunFilterChain(const std::string& data, const std::vector<TPDFFilterEntry>& entries, size_t limit) {
  std::string current = data;
  for (const TPDFFilterEntry& entry : entries) {
    if (entry.Name == "FlateDecode" || entry.Name == "Fl")
      current = RunFlate(current, entry, limit);
    else if (entry.Name == "ASCII85Decode" || entry.Name == "A85")
      current = Ascii85Decode(current, limit);
    else if (entry.Name == "LZWDecode")
      current = RunLZW(current, entry, limit);
  }
  return current;
}
