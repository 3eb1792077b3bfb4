#pragma once
// Row predictors of the Flate and LZW filters: TIFF predictor 2 and the PNG row types.
#include <cstddef>
#include <cstdint>
#include <optional>

// The predictor parameters of a Flate or LZW filter, as read from its parameter dictionary.
struct TPDFPredictorParms {
  int32_t Predictor = 1;
  int32_t Colors = 1;
  int32_t BitsPerComponent = 8;
  int32_t Columns = 1;
};

// Row geometry in bytes: the length of a row without its PNG type byte, and the distance
// from a byte to its left neighbour.
struct TPDFRowLayout {
  size_t RowBytes = 0;
  size_t Bpp = 1;
};

// The layout of the rows of a Flate stream; nothing when Colors, BitsPerComponent or Columns
// is 0 or below, as then no row can be formed. A row too long to address is given a length
// no data can reach, so that it yields no complete row.
std::optional<TPDFRowLayout> FlateRowLayout(const TPDFPredictorParms& parms);

uint8_t PaethPredictor(uint8_t left, uint8_t up, uint8_t upLeft);

// Adds to each byte from `distance` on the byte `distance` places before it (modulo 256).
void UndoTiffRow(uint8_t* row, size_t rowBytes, size_t distance);

// Undoes one PNG row in place. `up` is the previous decoded row (zeros for the first row);
// types above 4 leave the row unchanged.
void UndoPngRow(uint8_t type, uint8_t* row, const uint8_t* up, size_t rowBytes, size_t bpp);
