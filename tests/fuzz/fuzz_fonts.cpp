// Loads arbitrary font dictionaries. The input is split at "endobj" into the bodies of
// objects 1, 2, ...; they are written as a file with a correct cross-reference table, so
// that references between them (descendants, descriptors, encodings, programs, ToUnicode
// streams) resolve. Each object is selected as a font, its codes are looked up, and the
// record taken from the per-document cache must equal the one loaded anew.
// Seeds (seeds/fuzz_fonts): font object sets as ps2pdf, pdftocairo and hand-written files
// give them; fuzz_fonts.dict lists the keys.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/PellarFontCache.h"
#include "fonts/PellarFontCollection.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "platform/FontCatalogue.h"

namespace {

constexpr size_t MaxObjects = 64;

class TNoFonts : public Platform::TFontCatalogue {
public:
  std::vector<std::string> Families() override { return {}; }
  std::string FontData(const std::string&, bool, bool) override { return {}; }
};

std::string BuildFile(std::string_view input, size_t& count) {
  std::vector<std::string_view> bodies;
  for (size_t start = 0; start <= input.size() && bodies.size() < MaxObjects;) {
    size_t end = input.find("endobj", start);
    if (end == std::string_view::npos) end = input.size();
    bodies.push_back(input.substr(start, end - start));
    start = end + 6;
  }
  count = bodies.size();
  std::string file = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  auto add = [&](std::string_view body) {
    offsets.push_back(file.size());
    file += std::to_string(offsets.size()) + " 0 obj\n";
    file += body;
    file += "\nendobj\n";
  };
  for (std::string_view body : bodies) add(body);
  add("<< /Type /Pages /Kids [] /Count 0 >>");
  add("<< /Type /Catalog /Pages " + std::to_string(offsets.size()) + " 0 R >>");
  const size_t xref = file.size();
  file += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  char entry[32];
  for (size_t offset : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    file += entry;
  }
  file += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root " + std::to_string(offsets.size()) +
          " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return file;
}

void Exercise(const TPDFFontCollection& fonts, std::string_view bytes) {
  const TPDFFontCollectionData* font = fonts.Current();
  if (!font) return;
  for (int32_t code : fonts.SplitCodes(bytes)) {
    fonts.CodeToUnicode(code);
    fonts.CompositeWidth(code);
  }
  for (int32_t code : {-1, 0, 255, 256, 65535, 0x7FFFFFFF}) fonts.CodeToUnicode(code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TNoFonts noFonts;
  Platform::SetFontCatalogue(&noFonts);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t count = 0;
  TPDFDocument document;
  if (document.LoadFromBytes(BuildFile(input, count), u"") != TPDFDocument::LoadOk) return 0;
  TPDFFontCache cache;
  for (int pass = 0; pass < 2; ++pass) {
    TPDFFontCollection cached(&cache), fresh;
    cached.LoadFontPrograms = fresh.LoadFontPrograms = true;
    for (size_t n = 1; n <= count; ++n) {
      TPDFIndRef* ref = document.Pool().NewIndRef(static_cast<int32_t>(n), 0);
      cached.SelectFont(ref);
      fresh.SelectFont(ref);
      if (!SameFontRecord(*cached.Current(), *fresh.Current())) std::abort();
      Exercise(cached, input.substr(0, 64));
    }
  }
  return 0;
}
