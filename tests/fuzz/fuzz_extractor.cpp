// Runs the content-order extractor over arbitrary content bytes, in both modes, with a
// fixed set of fonts: a simple font, one with hostile widths and no space text, two
// composite ones (a ToUnicode map, a predefined encoding), a direct font dictionary, and
// forms that draw each other.
// Seeds (seeds/fuzz_extractor): content streams with every operator the extractor reads;
// fuzz_extractor.dict lists the operators and resource names.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>

#include "fonts/PellarFontCache.h"
#include "fonts/PellarFontCollection.h"
#include "pdf/PellarStructure.h"
#include "text/PellarExtractor.h"

namespace {

std::unique_ptr<TPDFFontCollectionData> SimpleFont(int32_t id) {
  auto font = std::make_unique<TPDFFontCollectionData>();
  font->Id = id;
  font->LastChar = 255;
  for (int c = 0; c < 256; ++c) {
    font->Widths[c] = 500;
    font->AnsiText.Change(c) = std::string(1, static_cast<char>(c));
    font->UnicodeText.Change(c) = std::u16string(1, static_cast<char16_t>(c));
  }
  font->UnicodeText.Change('m') = u"many units of text";
  return font;
}

std::unique_ptr<TPDFFontCollectionData> HostileWidths(int32_t id) {
  auto font = SimpleFont(id);
  font->LastChar = 10;
  font->AnsiText.Change(32).clear();
  font->Widths[0] = -1e300;
  font->Widths[1] = 1e300;
  font->Widths[2] = std::numeric_limits<double>::quiet_NaN();
  font->Widths[255] = 0;
  return font;
}

std::unique_ptr<TPDFFontCollectionData> CompositeFont(int32_t id, bool predefined) {
  auto font = std::make_unique<TPDFFontCollectionData>();
  font->Id = id;
  font->Composite = true;
  if (predefined) {
    font->EncodingName = "90ms-RKSJ-H";
    font->CIDSystemInfo = "Adobe-Japan1-6";
  } else {
    font->ToUnicodeRanges = {{0x0000, 0xFFFF, {0x41}}, {0x20, 0x20, {0x20, 0x21, 0x22}}};
  }
  return font;
}

struct TFixture {
  TFixture() {
    std::map<int32_t, TPDFObject*> objects;
    Resources = As<TPDFDictionary>(pool.Parse(
        "<< /Font << /F1 10 0 R /F2 11 0 R /F3 12 0 R /F4 13 0 R /F5 << /Type /Font /Subtype /Type1 /BaseFont "
        "/Helvetica >> /F6 99 0 R >> /XObject << /A 20 0 R /B 21 0 R /I 22 0 R >> >>"));
    for (int32_t n = 10; n <= 13; ++n) objects[n] = pool.Parse("<< /Type /Font /BaseFont /Named >>");
    auto form = [&](const char* dictionary, const char* content) {
      TPDFStream* stream = pool.NewStream(content, false);
      stream->SetDictionary(As<TPDFDictionary>(pool.Parse(dictionary)));
      stream->SetData(content);
      return stream;
    };
    objects[20] = form("<< /Subtype /Form >>", "(a) Tj /B Do /B Do /A Do");
    objects[21] = form("<< /Subtype /Form /Resources << /Font << /F1 11 0 R >> /XObject << /A 20 0 R >> >> >>",
                       "/F1 9 Tf <0041> Tj /A Do [(b) -900 (c)] TJ");
    objects[22] = form("<< /Subtype /Image >>", "(image) Tj");
    pool.OnLookupIndirect = [objects](TPDFIndRef&, int32_t number, int32_t) -> TPDFObject* {
      auto found = objects.find(number);
      return found == objects.end() ? nullptr : found->second;
    };
    // Made once and shared by every run, as a document's cache shares them between pages: a
    // record's lookup indexes (the composite font's map spans every code) are built once.
    Fonts.Store(10, false, SimpleFont(10));
    Fonts.Store(11, false, CompositeFont(11, false));
    Fonts.Store(12, false, HostileWidths(12));
    Fonts.Store(13, false, CompositeFont(13, true));
  }
  TPDFStructure pool;
  TPDFDictionary* Resources = nullptr;
  TPDFFontCache Fonts;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFixture fixture;
  const std::string content(reinterpret_cast<const char*>(data), size);
  for (int mode : {TPDFExtractor::PlainMode, TPDFExtractor::ListingMode}) {
    TPDFFontCollection fonts(&fixture.Fonts);
    TPDFExtractor extractor(fixture.Resources, fonts);
    std::u16string text;
    extractor.ExtractText(content, mode, text);
  }
  return 0;
}
