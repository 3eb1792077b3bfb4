#include "text/PellarColourSpace.h"

#include <algorithm>
#include <cmath>

#include "pdf/PellarObjects.h"
#include "pdf/PellarStreamData.h"

namespace {

// An Indexed space names its base, and an ICCBased one its alternate: a chain deeper
// than this is no real space.
constexpr int MaxSpaceDepth = 4;
// DeviceN spaces name their colorants; the standard allows 32.
constexpr int MaxColorants = 32;

double Unit(double v) { return v > 0 ? (v < 1 ? v : 1) : 0; }  // NaN gives 0

uint8_t Byte(double v) { return static_cast<uint8_t>(std::nearbyint(Unit(v) * 255)); }

int FamilyComponents(TColourFamily family) {
  switch (family) {
    case TColourFamily::RGB:
    case TColourFamily::Lab: return 3;
    case TColourFamily::CMYK: return 4;
    default: return 1;
  }
}

TPDFColourSpace OfFamily(TColourFamily family) {
  TPDFColourSpace space;
  space.Family = family;
  space.Components = FamilyComponents(family);
  return space;
}

std::string NameOf(TPDFObject* object) {
  const TPDFName* name = As<TPDFName>(Resolved(object));
  return name ? name->Value : std::string();
}

TPDFColourSpace ReadSpace(TPDFObject* object, int depth);

TPDFColourSpace ReadIndexed(const TPDFArray& array, int depth) {
  TPDFColourSpace base = ReadSpace(array.Item(1), depth + 1);
  TPDFColourSpace space = OfFamily(TColourFamily::Indexed);
  space.Base = base.Family == TColourFamily::Indexed || base.Family == TColourFamily::Pattern ? TColourFamily::Gray
                                                                                              : base.Family;
  space.BaseComponents = FamilyComponents(space.Base);
  const TPDFNumeric* high = As<TPDFNumeric>(Resolved(array.Item(2)));
  space.HighValue = high ? std::clamp(high->AsInteger(), 0, 255) : 0;
  const size_t wanted = static_cast<size_t>(space.HighValue + 1) * static_cast<size_t>(space.BaseComponents);
  TPDFObject* lookup = Resolved(array.Item(3));
  if (const TPDFString* bytes = As<TPDFString>(lookup)) space.Lookup = bytes->Value.substr(0, wanted);
  if (const TPDFStream* stream = As<TPDFStream>(lookup)) space.Lookup = DecodedData(*stream, wanted);
  return space;
}

TPDFColourSpace ReadArraySpace(const TPDFArray& array, int depth) {
  const std::string family = NameOf(array.Item(0));
  if (family == "ICCBased") {
    const TPDFStream* profile = As<TPDFStream>(Resolved(array.Item(1)));
    const TPDFNumeric* n = profile ? As<TPDFNumeric>(profile->Dictionary()->Get("N", true)) : nullptr;
    const int count = n ? n->AsInteger() : 0;
    if (count == 1 || count == 3 || count == 4)
      return OfFamily(count == 1 ? TColourFamily::Gray : count == 3 ? TColourFamily::RGB : TColourFamily::CMYK);
    return profile ? ReadSpace(profile->Dictionary()->Get("Alternate", true), depth + 1) : TPDFColourSpace();
  }
  if (family == "CalGray") return OfFamily(TColourFamily::Gray);
  if (family == "CalRGB") return OfFamily(TColourFamily::RGB);
  if (family == "Lab") return OfFamily(TColourFamily::Lab);
  if (family == "Indexed" || family == "I") return ReadIndexed(array, depth);
  if (family == "Separation") return OfFamily(TColourFamily::Tint);
  if (family == "DeviceN") {
    TPDFColourSpace space = OfFamily(TColourFamily::Tint);
    const TPDFArray* names = As<TPDFArray>(Resolved(array.Item(1)));
    space.Components = names ? std::clamp(names->Count(), 1, MaxColorants) : 1;
    return space;
  }
  if (family == "Pattern") {
    // An uncoloured pattern's colour comes with the components of its base space.
    TPDFColourSpace space = OfFamily(TColourFamily::Pattern);
    space.Components = array.Count() > 1 ? ReadSpace(array.Item(1), depth + 1).Components : 0;
    return space;
  }
  TPDFColourSpace space;
  DeviceColourSpace(family, space);
  return space;
}

TPDFColourSpace ReadSpace(TPDFObject* object, int depth) {
  TPDFColourSpace space;
  if (depth > MaxSpaceDepth) return space;
  object = Resolved(object);
  if (const TPDFName* name = As<TPDFName>(object)) DeviceColourSpace(name->Value, space);
  if (const TPDFArray* array = As<TPDFArray>(object)) space = ReadArraySpace(*array, depth);
  return space;
}

TPDFColourBytes Grey(double g) {
  const uint8_t v = Byte(g);
  return {v, v, v};
}

TPDFColourBytes DeviceColour(TColourFamily family, const double* c) {
  switch (family) {
    case TColourFamily::RGB: return {Byte(c[0]), Byte(c[1]), Byte(c[2])};
    case TColourFamily::CMYK: {
      const double white = 1 - Unit(c[3]);
      return {Byte((1 - Unit(c[0])) * white), Byte((1 - Unit(c[1])) * white), Byte((1 - Unit(c[2])) * white)};
    }
    case TColourFamily::Lab: return Grey(c[0] / 100);  // lightness only
    default: return Grey(c[0]);
  }
}

}  // namespace

bool DeviceColourSpace(const std::string& name, TPDFColourSpace& space) {
  if (name == "DeviceGray" || name == "G") {
    space = OfFamily(TColourFamily::Gray);
  } else if (name == "DeviceRGB" || name == "RGB") {
    space = OfFamily(TColourFamily::RGB);
  } else if (name == "DeviceCMYK" || name == "CMYK") {
    space = OfFamily(TColourFamily::CMYK);
  } else if (name == "Pattern") {
    space = OfFamily(TColourFamily::Pattern);
    space.Components = 0;
  } else {
    return false;
  }
  return true;
}

TPDFColourSpace ReadColourSpace(TPDFObject* space) { return ReadSpace(space, 0); }

TPDFColourBytes ColourOf(const TPDFColourSpace& space, const double* components, size_t count) {
  double c[MaxColorants] = {};
  std::copy_n(components, std::min<size_t>(count, MaxColorants), c);
  switch (space.Family) {
    case TColourFamily::Pattern: return {0, 0, 0};
    case TColourFamily::Tint: return Grey(1 - Unit(*std::max_element(c, c + std::max(space.Components, 1))));
    case TColourFamily::Indexed: {
      const double index = std::nearbyint(std::clamp(std::isnan(c[0]) ? 0 : c[0], 0.0, double(space.HighValue)));
      const size_t at = static_cast<size_t>(index) * static_cast<size_t>(space.BaseComponents);
      double base[4] = {};
      for (int i = 0; i < space.BaseComponents; ++i)
        if (at + i < space.Lookup.size()) base[i] = static_cast<unsigned char>(space.Lookup[at + i]) / 255.0;
      // Lab lookups hold lightness 0 to 255 for 0 to 100.
      if (space.Base == TColourFamily::Lab) base[0] *= 100;
      return DeviceColour(space.Base, base);
    }
    default: return DeviceColour(space.Family, c);
  }
}
