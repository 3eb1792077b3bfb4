#pragma once
// The state that q saves and Q restores, as far as text mode uses it. The text matrices
// are part of it, so Q restores them too.
#include <cstdint>
#include <string>

#include "text/PellarMatrix.h"

class TPDFIndRef;

struct TPDFGraphicsState {
  TPDFMatrix CTM = IdentityMatrix;
  TPDFMatrix TextMatrix = IdentityMatrix;      // Tm
  TPDFMatrix LineMatrix = IdentityMatrix;      // Tlm
  double HorizontalScaling = 100;              // percent
  double FontSize = 12;
  double Leading = 0;
  double CharSpacing = 0;
  double WordSpacing = 0;
  double Rise = 0;
  int32_t RenderMode = 0;
  // The font: a resource name given to Tf (interned by the renderer), or the reference an
  // ExtGState /Font entry gives.
  const std::string* FontName = nullptr;
  TPDFIndRef* FontRef = nullptr;
  // The fill colour as red, green, blue. Colour spaces are positions in the renderer's
  // table; the stroke space only tells how many operands SC and SCN take.
  uint8_t Fill[3] = {0, 0, 0};
  int32_t FillSpace = 0;
  int32_t StrokeSpace = 0;
};
