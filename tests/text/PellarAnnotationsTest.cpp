#include "text/PellarAnnotations.h"

#include <gtest/gtest.h>

#include "engine/PellarPageTree.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "tests/support/PdfWriter.h"

namespace {

// The views of a page whose /Annots is [10 0 R]; object 11 is an appearance with the given
// dictionary entries and content, 12 a parent field. Each view reads as "form a b c d e f"
// or "value <text> /<font> <size>".
std::string Views(const std::string& annotation, bool needAppearances, const std::string& appearance = "/BBox [0 0 100 50]",
                  const std::string& content = "BT (x) Tj ET") {
  TTestPdfWriter w;
  w.Set(1, "<< /Type /Catalog /Pages 2 0 R >>");
  w.Set(2, "<< /Type /Pages /Count 1 /Kids [3 0 R] >>");
  w.Set(3, "<< /Type /Page /Parent 2 0 R /Annots [10 0 R] >>");
  w.Set(10, "<< /Type /Annot " + annotation + " >>");
  w.SetStream(11, appearance, content);
  w.Set(12, "<< /FT /Ch /V (g) /Opt [[(r) (Red)] [(g) (Green)]] /DA (/Helv 9 Tf 0 g) >>");
  TPDFDocument document;
  EXPECT_EQ(document.LoadFromBytes(w.Build(1), u""), TPDFDocument::LoadOk);
  std::string out;
  for (const TAnnotationView& view : ViewedAnnotations(*document.PageTree().PageDictionary(), needAppearances)) {
    if (view.Appearance) {
      out += "form";
      for (double v : view.Matrix) out += " " + FormatReal(2, v);
    } else {
      out += "value " + UTF16ToUTF8(view.Value) + " /" + view.FontName + " " + FormatReal(2, view.FontSize);
    }
  }
  return out;
}

}  // namespace

TEST(PellarAnnotations, WhatEachAnnotationShows) {
  const std::string rect = "/Rect [200 150 100 100] ", ap = rect + "/AP << /N 11 0 R >>";
  const std::string widget = "/Subtype /Widget /FT /Tx /V (Ada) /DA (/Helv 11 Tf) " + rect;
  struct Case {
    std::string Annotation;
    bool NeedAppearances;
    const char* Expected;
    std::string Content = "(x) Tj";
    std::string AppearanceEntries = "/BBox [0 0 100 50]";
  };
  const Case cases[] = {
      // The bounding box onto the rectangle, the appearance's matrix first.
      {ap, false, "form 1 0 0 1 100 100"},
      {ap, false, "form 0 0.5 -2 0 200 100", "(x) Tj", "/BBox [0 0 100 50] /Matrix [0 1 -1 0 0 0]"},
      // The state /AS names; a missing state, a hiding flag or a direct stream shows nothing.
      {rect + "/AP << /N << /On 11 0 R >> >> /AS /On", false, "form 1 0 0 1 100 100"},
      {rect + "/AP << /N << /On 11 0 R >> >> /AS /Off", false, ""},
      {ap + " /F 2", false, ""},
      {ap + " /F 32", false, ""},
      {ap + " /F 4", false, "form 1 0 0 1 100 100"},
      {"/AP << /N 11 0 R >>", false, ""},
      // A field's value stands in for a missing or textless appearance when the form asks.
      {widget, true, "value Ada /Helv 11"},
      {widget, false, ""},
      {widget + "/AP << /N 11 0 R >>", true, "value Ada /Helv 11", "/Tx BMC EMC"},
      {widget + "/AP << /N 11 0 R >>", true, "form 1 0 0 1 100 100", "BT <41> Tj ET"},
      {"/Subtype /Widget /FT /Btn /V /Yes " + rect, true, ""},
      // Inherited type, value, options and appearance string; UTF-16 values; line ends.
      {"/Parent 12 0 R " + rect, true, "value Green /Helv 9"},
      {"/Parent 12 0 R /V [(r) (b)] " + rect, true, "value Red\nb /Helv 9"},
      {"/FT /Tx /V <FEFF00C40042> " + rect, true, "value \xc3\x84" "B / 0"},
      {"/FT /Tx /V (a\\r\\nb\\rc\x80) " + rect, true, "value a\nb\nc\xe2\x80\xa2 / 0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Views(c.Annotation, c.NeedAppearances, c.AppearanceEntries, c.Content), c.Expected) << c.Annotation;
}
