// Placeholder until the fontconfig catalogue is built: no installed fonts.
#include "platform/FontCatalogue.h"

namespace Platform {

namespace {
class TNoFonts : public TFontCatalogue {
public:
  std::vector<std::string> Families() override { return {}; }
  std::string FontData(const std::string&, bool, bool) override { return {}; }
};
TFontCatalogue* Replacement = nullptr;
}  // namespace

TFontCatalogue& FontCatalogue() {
  static TNoFonts none;
  return Replacement ? *Replacement : none;
}

TFontCatalogue* SetFontCatalogue(TFontCatalogue* catalogue) {
  TFontCatalogue* previous = Replacement;
  Replacement = catalogue;
  return previous;
}

}  // namespace Platform
