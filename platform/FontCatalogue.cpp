// The installed fonts through fontconfig: its list gives the families, its matching the face
// for a family and style, so that a request for "Arial" finds a metric-compatible face where
// one is installed.
#include "platform/FontCatalogue.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <fstream>
#include <list>
#include <memory>
#include <utility>

#include "platform/FontBytes.h"

namespace Platform {

namespace {

// Faces kept read, most recent first: a document names few substitutes, and asks for each
// again on every page.
constexpr size_t KeptFaces = 4;

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Only outline fonts in sfnt files can give data that the font readers know.
bool IsSfntFormat(FcPattern* font) {
  FcChar8* format = nullptr;
  if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch) return false;
  const std::string_view name(reinterpret_cast<const char*>(format));
  return name == "TrueType" || name == "CFF";
}

class TSystemFonts : public TFontCatalogue {
public:
  // The catalogue lives as long as the process; fontconfig's caches go with it, so that leak
  // checkers see nothing left.
  ~TSystemFonts() override {
    if (!Config) return;
    FcConfigDestroy(Config);
    FcFini();
  }

  std::vector<std::string> Families() override {
    if (!Listed && Load()) {
      std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> all(FcPatternCreate(), FcPatternDestroy);
      std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> fields(
          FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr), FcObjectSetDestroy);
      std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(FcFontList(Config, all.get(), fields.get()),
                                                                   FcFontSetDestroy);
      for (int i = 0; fonts && i < fonts->nfont; ++i) {
        if (!IsSfntFormat(fonts->fonts[i])) continue;
        FcChar8* family = nullptr;
        for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
          FamilyList.emplace_back(reinterpret_cast<const char*>(family));
      }
      std::sort(FamilyList.begin(), FamilyList.end());
      FamilyList.erase(std::unique(FamilyList.begin(), FamilyList.end()), FamilyList.end());
    }
    Listed = true;
    return FamilyList;
  }

  std::string FontData(const std::string& family, bool bold, bool italic) override {
    if (!Load()) return {};
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> request(FcPatternCreate(), FcPatternDestroy);
    FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(request.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(request.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(request.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config, request.get(), FcMatchPattern);
    FcDefaultSubstitute(request.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> match(FcFontMatch(Config, request.get(), &result),
                                                                  FcPatternDestroy);
    FcChar8* file = nullptr;
    int index = 0;
    if (!match || !IsSfntFormat(match.get()) ||
        FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
      return {};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    // The high bits of the index name an instance of a variable font; the face is the low ones.
    return Face(reinterpret_cast<const char*>(file), static_cast<uint32_t>(index) & 0xFFFF);
  }

private:
  bool Load() {
    if (!Config && !Failed) {
      Config = FcInitLoadConfigAndFonts();
      Failed = Config == nullptr;
    }
    return Config != nullptr;
  }

  std::string Face(const std::string& path, uint32_t index) {
    const auto key = std::make_pair(path, index);
    const auto kept = std::find_if(Kept.begin(), Kept.end(), [&](const auto& face) { return face.first == key; });
    if (kept != Kept.end()) {
      Kept.splice(Kept.begin(), Kept, kept);
      return Kept.front().second;
    }
    std::string data = CollectionFace(ReadFile(path.c_str()), index);
    Kept.emplace_front(key, data);
    if (Kept.size() > KeptFaces) Kept.pop_back();
    return data;
  }

  FcConfig* Config = nullptr;
  bool Failed = false;
  bool Listed = false;
  std::vector<std::string> FamilyList;
  std::list<std::pair<std::pair<std::string, uint32_t>, std::string>> Kept;
};

TFontCatalogue* Replacement = nullptr;

}  // namespace

TFontCatalogue& FontCatalogue() {
  static TSystemFonts system;
  return Replacement ? *Replacement : system;
}

TFontCatalogue* SetFontCatalogue(TFontCatalogue* catalogue) {
  TFontCatalogue* previous = Replacement;
  Replacement = catalogue;
  return previous;
}

}  // namespace Platform
