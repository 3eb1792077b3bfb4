#pragma once
// Colour spaces as far as text needs them: how many operands a colour takes and which
// red, green and blue a colour gives, for the colour text of the pieces.
#include <array>
#include <cstdint>
#include <string>

class TPDFObject;

enum class TColourFamily { Gray, RGB, CMYK, Lab, Indexed, Tint, Pattern };

struct TPDFColourSpace {
  TColourFamily Family = TColourFamily::Gray;
  int Components = 1;  // operands of sc and scn (a pattern's name not counted)
  // Indexed spaces: the base space, the highest index and the base colours by index.
  TColourFamily Base = TColourFamily::Gray;
  int BaseComponents = 1;
  int HighValue = 0;
  std::string Lookup;
};

using TPDFColourBytes = std::array<uint8_t, 3>;

// The space a colour-space name or array gives (references followed); what cannot be
// read is DeviceGray.
TPDFColourSpace ReadColourSpace(TPDFObject* space);
// The space of a device family name ("DeviceRGB", "RGB", ...), or nothing.
bool DeviceColourSpace(const std::string& name, TPDFColourSpace& space);

// Red, green and blue of count components in the space. Components are clamped to their
// ranges; a separation or DeviceN tint darkens a grey (1 is full colorant); a pattern is
// black, as its cells are not painted in text mode.
TPDFColourBytes ColourOf(const TPDFColourSpace& space, const double* components, size_t count);
