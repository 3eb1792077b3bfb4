#include "filters/PellarPredictors.h"

#include <cstdlib>
#include <limits>

namespace {

// Longer than any byte string, yet small enough that a PNG stride (+1) cannot overflow.
constexpr size_t UnreachableRowBytes = std::numeric_limits<size_t>::max() / 2;

void UndoSubRow(uint8_t* row, size_t rowBytes, size_t bpp) {
  if (bpp == 0) return;  // no left neighbour to add
  for (size_t i = bpp; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - bpp]);
}

void UndoUpRow(uint8_t* row, const uint8_t* up, size_t rowBytes) {
  for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + up[i]);
}

void UndoAverageRow(uint8_t* row, const uint8_t* up, size_t rowBytes, size_t bpp) {
  for (size_t i = 0; i < bpp; ++i) row[i] = static_cast<uint8_t>(row[i] + up[i] / 2);
  for (size_t i = bpp; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + (row[i - bpp] + up[i]) / 2);
}

void UndoPaethRow(uint8_t* row, const uint8_t* up, size_t rowBytes, size_t bpp) {
  for (size_t i = 0; i < bpp; ++i) row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(0, up[i], 0));
  for (size_t i = bpp; i < rowBytes; ++i)
    row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(row[i - bpp], up[i], up[i - bpp]));
}

}  // namespace

std::optional<TPDFRowLayout> FlateRowLayout(const TPDFPredictorParms& parms) {
  if (parms.Colors <= 0 || parms.BitsPerComponent <= 0 || parms.Columns <= 0) return std::nullopt;
  // Both factors are below 2^31, so the bits of one pixel fit; the row may not.
  const uint64_t pixelBits = uint64_t(parms.Colors) * uint64_t(parms.BitsPerComponent);
  const uint64_t columns = uint64_t(parms.Columns);
  TPDFRowLayout layout;
  if (pixelBits > (UnreachableRowBytes - 7) / columns)
    layout.RowBytes = UnreachableRowBytes;
  else
    layout.RowBytes = static_cast<size_t>((pixelBits * columns + 7) / 8);
  const bool pngThreeNibbles = parms.Predictor >= 10 && parms.BitsPerComponent == 4 && parms.Colors == 3;
  layout.Bpp = pngThreeNibbles ? 2 : static_cast<size_t>(pixelBits / 8);
  if (layout.Bpp < 1) layout.Bpp = 1;
  if (layout.Bpp > layout.RowBytes) layout.Bpp = layout.RowBytes;
  return layout;
}

uint8_t PaethPredictor(uint8_t left, uint8_t up, uint8_t upLeft) {
  const int p = int(left) + int(up) - int(upLeft);
  const int pa = std::abs(p - int(left)), pb = std::abs(p - int(up)), pc = std::abs(p - int(upLeft));
  if (pa <= pb && pa <= pc) return left;
  if (pb <= pc) return up;
  return upLeft;
}

void UndoTiffRow(uint8_t* row, size_t rowBytes, size_t distance) { UndoSubRow(row, rowBytes, distance); }

void UndoPngRow(uint8_t type, uint8_t* row, const uint8_t* up, size_t rowBytes, size_t bpp) {
  switch (type) {
    case 1: UndoSubRow(row, rowBytes, bpp); break;
    case 2: UndoUpRow(row, up, rowBytes); break;
    case 3: UndoAverageRow(row, up, rowBytes, bpp); break;
    case 4: UndoPaethRow(row, up, rowBytes, bpp); break;
    default: break;  // type 0 (None) and unknown types: the row is taken as it is
  }
}
