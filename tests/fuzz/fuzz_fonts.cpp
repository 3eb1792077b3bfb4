// Loads arbitrary font dictionaries. The input is split at "endobj" into the bodies of
// objects 1, 2, ...; they are written as a file with a correct cross-reference table, so
// that references between them (descendants, descriptors, encodings, programs, ToUnicode
// streams) resolve. Each object is selected as a font and its codes are looked up; the
// records a later collection takes from the per-document cache must equal those loaded anew.
// Seeds (seeds/fuzz_fonts): font object sets as ps2pdf, pdftocairo and hand-written files
// give them; fuzz_fonts.dict lists the keys.
#include <cstddef>
#include <cstdint>
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
#include "tests/support/PdfWriter.h"
#include "tests/fuzz/SanitizerDefaults.h"

namespace {

// The largest font graph (a Type0 font, its descendant, descriptor, programs, width arrays,
// maps and system info; or a Type 3 font's procedures, resources and arrays) takes a dozen
// objects. More objects per input only load more fonts of the same kinds: each input paid
// for up to 64 font loads, twice over, where one graph's worth finds the same paths.
constexpr size_t MaxObjects = 16;

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
  TTestPdfWriter writer;
  for (std::string_view body : bodies) writer.Add(std::string(body));
  const int pages = writer.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  return writer.Build(writer.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>"));
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
  // The first collection loads into the cache and the last takes every record from it;
  // a collection without the cache loads the fonts in reverse order, so that its records
  // also show that a record does not depend on the fonts loaded before it.
  TPDFFontCache cache;
  TPDFFontCollection first(&cache), reversed, again(&cache);
  first.LoadFontPrograms = reversed.LoadFontPrograms = again.LoadFontPrograms = true;
  std::vector<TPDFIndRef*> refs(count + 1);
  for (size_t n = 1; n <= count; ++n) refs[n] = document.Pool().NewIndRef(static_cast<int32_t>(n), 0);
  auto ref = [&](size_t n) { return refs[n]; };
  for (size_t n = 1; n <= count; ++n) {
    first.SelectFont(ref(n));
    Exercise(first, input.substr(0, 64));
  }
  for (size_t n = count; n >= 1; --n) reversed.SelectFont(ref(n));
  for (size_t n = 1; n <= count; ++n) {
    again.SelectFont(ref(n));
    reversed.SelectFont(ref(n));
    if (!SameFontRecord(*again.Current(), *reversed.Current())) std::abort();
  }
  return 0;
}
