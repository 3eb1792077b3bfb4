// Runs the text-mode interpreter over arbitrary page content with a fixed set of fonts (a
// simple, a Type 3 and a composite one) and resources that hold two forms (one drawing
// itself, one whose content is also taken from the input), an annotation, colour spaces,
// an ExtGState and an optional-content group; then lays the pieces out both ways.
// The input is the page content, optionally followed by "%%FORM" and the second form's
// content.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "text/PellarRenderer.h"
#include "text/PellarTextFunnel.h"
#include "tests/support/PdfWriter.h"
#include "tests/support/TestFonts.h"

namespace {

std::string Stream(const std::string& entries, std::string_view data) {
  return "<< " + entries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + std::string(data) +
         "\nendstream";
}

// Objects 1 to n in order, with a cross-reference table; object 1 is the catalog.
std::string BuildPdf(const std::vector<std::string>& bodies) {
  TTestPdfWriter writer;
  for (const std::string& body : bodies) writer.Add(body);
  return writer.Build(1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view page = input, form;
  if (size_t marker = input.rfind("%%FORM"); marker != std::string_view::npos) {
    page = input.substr(0, marker);
    form = input.substr(marker + 6);
  }
  const std::string resources =
      "/Resources << /Font << /F1 5 0 R /F3 6 0 R /F0 7 0 R >> /XObject << /Fm1 8 0 R /Fm2 9 0 R >> "
      "/ColorSpace << /CS0 [/Indexed /DeviceRGB 1 <000000FF8000>] /CS1 [/Separation /Spot /DeviceCMYK 0 0 R] >> "
      "/ExtGState << /GS1 << /Font [6 0 R 20] >> >> /Properties << /oc1 << /Usage << /View << /ViewState /OFF >> >> >> >> >>";
  const std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R " + resources +
          " /Annots [10 0 R] >>",
      Stream("", page),
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
      "<< /Type /Font /Subtype /Type3 >>",
      "<< /Type /Font /Subtype /Type0 >>",
      Stream("/Type /XObject /Subtype /Form /BBox [0 0 10 10] /Matrix [2 0 0 2 5 5]",
             "q BT /F1 9 Tf (form) Tj ET /Fm1 Do /Fm2 Do Q"),
      Stream("/Type /XObject /Subtype /Form /BBox [0 0 10 10] " + resources, form),
      "<< /Type /Annot /Rect [10 10 50 50] /AP << /N 11 0 R >> >>",
      Stream("/BBox [0 0 20 20] /Matrix [0 1 -1 0 0 0]", "BT /F0 8 Tf <00410042> Tj ET /Fm2 Do"),
  };
  TPDFDocument document;
  if (document.LoadFromBytes(BuildPdf(bodies), u"") != TPDFDocument::LoadOk) std::abort();
  TPDFFontCollection fonts;
  fonts.AddRecord(SimpleTestFont(5));
  fonts.AddRecord(Type3TestFont(6));
  fonts.AddRecord(CompositeTestFont(7));
  TPDFTextFunnel funnel;
  funnel.NoGapJoin = size % 2 == 1;
  funnel.PageWidth = 612;
  funnel.PageHeight = 792;
  TPDFRenderer renderer(fonts);
  renderer.AttachFunnel(&funnel);
  renderer.RenderPage(document.PageTree().PageDictionary());
  std::u16string csv, smart;
  funnel.DropOverprints();
  funnel.WriteCsv(csv);
  funnel.LayoutBlocks();
  funnel.WriteSmartText(smart);
  return 0;
}
