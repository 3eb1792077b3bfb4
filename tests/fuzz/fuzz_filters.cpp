// Decodes arbitrary bytes through each stream decoder with parameters taken from the first
// input bytes: byte 0 picks the decoder, the next bytes its parameters, the rest is the data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "filters/PellarAscii85.h"
#include "filters/PellarFilters.h"
#include "filters/PellarFlate.h"
#include "filters/PellarLZW.h"
#include "tests/fuzz/SanitizerDefaults.h"

namespace {

// Kept well below the production limit so that each run stays fast; the code paths are the same.
constexpr size_t FuzzLimit = size_t(16) << 20;

class TFuzzInput {
public:
  TFuzzInput(const uint8_t* data, size_t size) : Data(data), Size(size) {}

  uint8_t Byte() { return Pos < Size ? Data[Pos++] : 0; }

  // Mostly small values, both signs; a byte with the top bit set takes four raw bytes instead.
  int32_t Number() {
    const uint8_t b = Byte();
    if (!(b & 0x80)) return int32_t(b) - 16;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return static_cast<int32_t>(v);
  }

  TPDFPredictorParms Parms() {
    TPDFPredictorParms p;
    p.Predictor = Number();
    p.Colors = Number();
    p.BitsPerComponent = Number();
    p.Columns = Number();
    return p;
  }

  std::string Rest() { return std::string(reinterpret_cast<const char*>(Data + Pos), Size - Pos); }

private:
  const uint8_t* Data;
  size_t Size;
  size_t Pos = 0;
};

const char* const FilterNames[] = {"FlateDecode", "Fl", "ASCII85Decode", "A85", "LZWDecode", "LZW", "Crypt"};

std::vector<TPDFFilterEntry> Chain(TFuzzInput& in) {
  std::vector<TPDFFilterEntry> entries(in.Byte() % 5);
  for (TPDFFilterEntry& e : entries) {
    e.Name = FilterNames[in.Byte() % std::size(FilterNames)];
    e.HasParms = in.Byte() & 1;
    const TPDFPredictorParms p = in.Parms();
    e.Predictor = p.Predictor;
    e.Colors = p.Colors;
    e.BitsPerComponent = p.BitsPerComponent;
    e.Columns = p.Columns;
    e.EarlyChange = in.Number();
  }
  return entries;
}

std::string Run(TFuzzInput& in) {
  switch (in.Byte() % 5) {
    case 0: return InflateData(in.Rest(), FuzzLimit);
    case 1: {
      const TPDFFlateParms parms = in.Parms();
      return InflateWithPredictor(in.Rest(), parms, FuzzLimit);
    }
    case 2: {
      TPDFLZWDecompressor decoder;
      const uint8_t flags = in.Byte();
      decoder.MsbFirst = flags & 1;
      decoder.EarlyChange = flags & 2;
      decoder.InitialCodeSize = flags >> 2;
      const TPDFLZWParms parms = in.Parms();
      return decoder.Decode(in.Rest(), parms, FuzzLimit);
    }
    case 3: return Ascii85Decode(in.Rest(), FuzzLimit);
    default: {
      const std::vector<TPDFFilterEntry> entries = Chain(in);
      return RunFilterChain(in.Rest(), entries, FuzzLimit);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput in(data, size);
  const std::string out = Run(in);
  if (out.size() > FuzzLimit) __builtin_trap();
  return 0;
}
