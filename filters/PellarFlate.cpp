#include "filters/PellarFlate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// An owned zlib inflate stream, ended on every way out.
class TZlibInflater {
public:
  TZlibInflater() { Ready = inflateInit(&Stream) == Z_OK; }
  ~TZlibInflater() {
    if (Ready) inflateEnd(&Stream);
  }
  TZlibInflater(const TZlibInflater&) = delete;
  TZlibInflater& operator=(const TZlibInflater&) = delete;

  bool Ready = false;
  z_stream Stream{};
};

uInt ChunkOf(size_t n) { return static_cast<uInt>(std::min<size_t>(n, UINT_MAX)); }

// The next output capacity: enough for the whole output as the ratio inflated so far predicts
// it, so that most streams are copied once or twice, but at most eight times the current
// capacity, so that a ratio that drops later does not leave most of a huge buffer unused; and
// at least one grow step or half the capacity more. Never past the limit.
size_t GrownCapacity(size_t capacity, size_t step, size_t limit, double predictedTotal) {
  const double cap = std::min(double(limit), double(std::max(capacity * 8, capacity + step)));
  const double atLeast = double(capacity + std::max(step, capacity / 2));
  const double wanted = std::max(atLeast, predictedTotal * 1.0625 + double(step));
  return static_cast<size_t>(std::min(wanted, cap));
}

// The output size the input would give at the ratio inflated so far.
double PredictedTotal(size_t produced, size_t consumed, size_t total) {
  return consumed == 0 ? 0 : double(produced) / double(consumed) * double(total);
}

// PNG rows: a type byte and RowBytes bytes each. The rows are compacted in place, front to
// back, so each row lands before the bytes still to be read.
void UndoPngRows(std::string& data, const TPDFRowLayout& layout) {
  const size_t stride = layout.RowBytes + 1;
  const size_t rows = data.size() / stride;
  if (rows == 0) {
    data.clear();
    return;
  }
  auto* base = reinterpret_cast<uint8_t*>(data.data());
  const std::vector<uint8_t> zeroRow(layout.RowBytes, 0);
  const uint8_t* up = zeroRow.data();
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t type = base[r * stride];
    uint8_t* row = base + r * layout.RowBytes;
    std::memmove(row, base + r * stride + 1, layout.RowBytes);
    UndoPngRow(type, row, up, layout.RowBytes, layout.Bpp);
    up = row;
  }
  data.resize(rows * layout.RowBytes);
}

// Rows without type bytes; only Predictor 2 changes them.
void UndoTiffRows(std::string& data, const TPDFRowLayout& layout, bool tiff) {
  const size_t rows = data.size() / layout.RowBytes;
  data.resize(rows * layout.RowBytes);
  if (!tiff) return;
  auto* base = reinterpret_cast<uint8_t*>(data.data());
  for (size_t r = 0; r < rows; ++r) UndoTiffRow(base + r * layout.RowBytes, layout.RowBytes, layout.Bpp);
}

}  // namespace

std::string InflateData(const std::string& data, size_t limit) {
  TZlibInflater inflater;
  if (!inflater.Ready) return {};
  z_stream& zs = inflater.Stream;
  const size_t step = std::max<size_t>((data.size() + 255) / 256 * 256, 256);
  std::string out;
  size_t inPos = 0, produced = 0;
  while (produced < limit) {
    if (produced == out.size())
      out.resize(GrownCapacity(out.size(), step, limit, PredictedTotal(produced, inPos, data.size())));
    const uInt inChunk = ChunkOf(data.size() - inPos);
    const uInt outChunk = ChunkOf(out.size() - produced);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + inPos));
    zs.avail_in = inChunk;
    zs.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    zs.avail_out = outChunk;
    const int rc = inflate(&zs, Z_NO_FLUSH);
    const size_t consumed = inChunk - zs.avail_in, made = outChunk - zs.avail_out;
    inPos += consumed;
    produced += made;
    if (rc == Z_STREAM_END) break;
    // A preset dictionary is never supplied, so such a stream cannot be inflated; without this
    // check zlib would answer Z_NEED_DICT for ever. Any other error (a bad block, a wrong
    // Adler-32 checksum) ends the stream where it is: the bytes inflated before it are sound,
    // and a content stream whose data is whole but whose checksum is wrong still reads.
    if (rc == Z_NEED_DICT || (rc < 0 && rc != Z_BUF_ERROR)) break;
    // No progress: the input has run out before the end of the stream.
    if (consumed == 0 && made == 0) break;
  }
  out.resize(produced);
  return out;
}

std::string InflateWithPredictor(const std::string& data, const TPDFFlateParms& parms, size_t limit) {
  std::string inflated = InflateData(data, limit);
  const std::optional<TPDFRowLayout> layout = FlateRowLayout(parms);
  if (!layout || parms.Predictor <= 1) return inflated;
  if (parms.Predictor >= 10)
    UndoPngRows(inflated, *layout);
  else
    UndoTiffRows(inflated, *layout, parms.Predictor == 2);
  return inflated;
}
