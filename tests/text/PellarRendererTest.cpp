#include "text/PellarRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/PellarFontCollection.h"
#include "pdf/PellarConvert.h"
#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "text/PellarTextFunnel.h"
#include "text/PellarTextLimits.h"
#include "tests/support/PdfWriter.h"
#include "tests/support/TestFonts.h"

namespace {

using TObjects = std::vector<std::pair<int, std::string>>;

// A one-page document (catalog 1, pages 2, page 3) whose resources name /F1 (object 5, the
// simple test font), /F3 (6, Type 3) and /F0 (7, composite) besides the extra resources;
// each content becomes a stream of its own (100, 101, ...). Extra objects take numbers
// from 10 to 99.
struct TRenderedPage {
  TRenderedPage(const std::vector<std::string>& contents, const std::string& resources = "",
                const TObjects& objects = {}, const std::string& pageExtra = "") {
    TTestPdfWriter w;
    w.Set(1, "<< /Type /Catalog /Pages 2 0 R >>");
    w.Set(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    std::string streams;
    for (size_t i = 0; i < contents.size(); ++i) {
      w.SetStream(100 + static_cast<int>(i), "", contents[i]);
      streams += std::to_string(100 + i) + " 0 R ";
    }
    w.Set(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents [" + streams +
                 "] /Resources << /Font << /F1 5 0 R /F3 6 0 R /F0 7 0 R >> " + resources + " >> " + pageExtra + " >>");
    for (int font : {5, 6, 7}) w.Set(font, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (const auto& [number, body] : objects) w.Set(number, body);
    EXPECT_EQ(Document.LoadFromBytes(w.Build(1), u""), TPDFDocument::LoadOk);
    Fonts.AddRecord(SimpleTestFont(5));
    Fonts.AddRecord(Type3TestFont(6));
    Fonts.AddRecord(CompositeTestFont(7));
  }

  // Each block as text@P0.x,P0.y-P1.x, then its colour and font when they are not black
  // and the simple test font.
  std::string Blocks(bool noGapJoin = false, const TPDFMatrix& start = IdentityMatrix) {
    TPDFRenderer renderer(Fonts);
    renderer.Funnel().NoGapJoin = noGapJoin;
    renderer.RenderPage(Document.PageTree().PageDictionary(), start);
    Error = renderer.ErrorText();
    std::string out;
    for (const TPDFTextFunnelBlock& b : renderer.Funnel().Blocks()) {
      out += (out.empty() ? "" : " ") + std::string(b.Text.begin(), b.Text.end()) + "@" + FormatReal(2, b.P0.X) +
             "," + FormatReal(2, b.P0.Y) + "-" + FormatReal(2, b.P1.X);
      if (b.Colour != "#000000") out += b.Colour;
      if (b.Font != "TestSans") out += "/" + b.Font;
    }
    return out;
  }

  TPDFDocument Document;
  TPDFFontCollection Fonts;
  std::string Error;
};

const std::string Hello = "BT /F1 10 Tf 72 700 Td (Hello) Tj ET";

// A form XObject stream with the given extra dictionary entries and content.
std::string Form(const std::string& entries, const std::string& content) {
  return "<< /Type /XObject /Subtype /Form /BBox [0 0 500 500] " + entries + " /Length " +
         std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream";
}

const std::string ShowF = "BT /F1 10 Tf 5 5 Td (F) Tj ET";

}  // namespace

TEST(Renderer, ContentOperatorsAndState) {
  struct Case {
    const char* Name;
    std::vector<std::string> Contents;
    std::string Resources;
    TObjects Objects;
    std::string PageExtra;
    const char* Expected;
  };
  const std::string hiddenGroup = "<< /Type /OCG /Name (x) /Usage << /View << /ViewState /OFF >> >> >>";
  const Case cases[] = {
      {"plain", {Hello}, "", {}, "", "Hello@72,698-97"},
      {"/Rotate does not apply", {Hello}, "", {}, "/Rotate 90", "Hello@72,698-97"},
      {"streams join without a blank: Qq is one token",
       {"q 2 0 0 2 0 0 cm Q", "q BT /F1 10 Tf 10 10 Td (A) Tj ET"}, "", {}, "", "A@20,16-30"},
      {"q cm Q", {"q 2 0 0 2 0 0 cm BT /F1 10 Tf 10 20 Td (A) Tj ET Q BT /F1 10 Tf 10 20 Td (B) Tj ET"}, "", {}, "",
       "A@20,36-30 B@10,18-15"},
      {"Q restores the text matrix and the font",
       {"BT /F1 10 Tf 72 700 Td q /F3 20 Tf 0 50 Td (A) Tj Q (B) Tj ET"}, "", {}, "",
       "A@72,750-77/TestType3 B@72,698-77"},
      {"render mode 3 still gives text", {"BT /F1 10 Tf 3 Tr 72 700 Td (A) Tj ET"}, "", {}, "", "A@72,698-77"},
      {"hidden optional content keeps its text but skips its forms",
       {"/OC /oc1 BDC BT /F1 10 Tf 72 700 Td (A) Tj ET /Fm1 Do EMC /Fm1 Do"},
       "/Properties << /oc1 10 0 R >> /XObject << /Fm1 11 0 R >>", {{10, hiddenGroup}, {11, Form("", ShowF)}}, "",
       "A@72,698-77 F@5,3-10"},
      {"quote moves by the leading", {"BT /F1 10 Tf 14 TL 72 700 Td (A) ' (B) Tj ET"}, "", {}, "", "AB@72,684-82"},
      {"double quote sets word and char spacing", {"BT /F1 10 Tf 14 TL 72 700 Td 5 1 (a b) \" ET"}, "", {}, "",
       "a b@72,684-91.5"},
      {"TJ adjustment of a word space", {"BT /F1 10 Tf 72 700 Td [(Hel) -200 (lo)] TJ ET"}, "", {}, "", "Hel lo@72,698-99"},
      {"zero font size shows nothing and does not move", {"BT /F1 0 Tf 72 700 Td (abc) Tj /F1 10 Tf (d) Tj ET"},
       "", {}, "", "d@72,698-77"},
      {"Tz condenses the advance, and the scales merge", {"BT /F1 10 Tf 50 Tz 72 700 Td (ab) Tj 100 Tz (c) Tj ET"},
       "", {}, "", "abc@72,698-82"},
      {"Type 3 advance with its FontMatrix", {"BT /F3 20 Tf 72 700 Td (AB) Tj (C) Tj ET"}, "", {}, "",
       "ABC@72,700-87/TestType3"},
      {"a Tf name with escapes", {"BT /F3 10 Tf /F#31 10 Tf 72 700 Td (A) Tj ET"}, "", {}, "", "A@72,698-77"},
      {"an ExtGState font applies at once", {"BT /F1 10 Tf /GS1 gs 72 700 Td (AB) Tj ET"},
       "/ExtGState << /GS1 10 0 R >>", {{10, "<< /Type /ExtGState /Font [6 0 R 20] >>"}}, "",
       "AB@72,700-82/TestType3"},
      {"an unknown font keeps the current one", {"BT /F1 10 Tf /F9 20 Tf 72 700 Td (A) Tj ET"}, "", {}, "",
       "A@72,696-82"},
      {"fill colours",
       {"BT /F1 10 Tf 72 700 Td 1 0 0 rg (A) Tj 0.5 g 0 -20 Td (B) Tj 0 1 0 0 k 0 -20 Td (C) Tj 2 g 0 -20 Td (D) Tj "
        "/CS0 cs 1 sc 0 -20 Td (E) Tj /DeviceGray cs 0 sc 0 -20 Td (F) Tj ET"},
       "/ColorSpace << /CS0 [/Indexed /DeviceRGB 1 <000000FF8000>] >>", {}, "",
       "A@72,698-77#FF0000 B@72,678-77#808080 C@72,658-77#FF00FF D@72,638-77#FFFFFF E@72,618-77#FF8000 "
       "F@72,598-77"},
      {"d1 locks the colours", {"1 0 0 0 0 0 d1 BT /F1 10 Tf 1 0 0 rg 72 700 Td (A) Tj ET"}, "", {}, "",
       "A@72,698-77"},
      {"form without resources uses the drawing content's",
       {"q 1 0 0 1 100 100 cm /Fm1 Do Q BT /F1 10 Tf 72 700 Td (A) Tj ET"}, "/XObject << /Fm1 10 0 R >>",
       {{10, Form("", ShowF)}}, "", "F@105,103-110 A@72,698-77"},
      {"form matrix", {"/Fm1 Do"}, "/XObject << /Fm1 10 0 R >>", {{10, Form("/Matrix [2 0 0 2 50 0]", ShowF)}}, "",
       "F@60,6-70"},
      {"a form drawing itself is entered once",
       {"/Fm1 Do BT /F1 10 Tf 72 700 Td (A) Tj ET"}, "/XObject << /Fm1 10 0 R >>",
       {{10, Form("/Resources << /Font << /F1 5 0 R >> /XObject << /Fm1 10 0 R >> >>", ShowF + " /Fm1 Do")}}, "",
       "F@5,3-10 A@72,698-77"},
      {"a form's unbalanced q and BDC stay inside it",
       {"/Fm1 Do BT /F1 10 Tf 72 700 Td (A) Tj ET /Fm1 Do"},
       "/XObject << /Fm1 10 0 R >> /Properties << /oc1 11 0 R >>",
       {{10, Form("", "q 3 0 0 3 0 0 cm /OC /oc1 BDC " + ShowF)}, {11, hiddenGroup}}, "",
       "FF@15,9-30 A@72,698-77"},
      {"images are passed over",
       {"/Im1 Do BI /W 1 /H 1 /BPC 8 /CS /G /L 3 ID (((\nEI BI /W 2 /H 1 ID ((EI)) EI " + Hello},
       "/XObject << /Im1 10 0 R >>",
       {{10, "<< /Type /XObject /Subtype /Image /Width 1 /Height 1 /Filter /DCTDecode /Length 3 >>\nstream\n(((\nendstream"}},
       "", "Hello@72,698-97"},
      {"a [ never closed takes the rest as operands", {"BT /F1 10 Tf 72 700 Td (A) Tj [ (B) Tj ET"}, "", {}, "",
       "A@72,698-77"},
      {"a font size near zero", {"BT /F1 0.000000001 Tf 1 Tc 72 700 Td (ab) Tj ET"}, "", {}, "", "a b@72,700-73"},
      {"thousands of unbalanced q and marks", {[] {
         std::string c;
         for (int i = 0; i < 5000; ++i) c += "q /Tag BMC ";
         c += "2 0 0 2 0 0 cm ";
         for (int i = 0; i < 5000; ++i) c += "Q ";
         return c + Hello;
       }()},
       "", {}, "", "Hello@72,698-97"},
      {"overflowing matrices end in numbers, not in a crash", {[] {
         std::string c;
         for (int i = 0; i < 40; ++i) c += "9223372036854775807 0 0 9223372036854775807 0 0 cm ";
         return c + "0 0 0 0 0 0 cm " + Hello;
       }()},
       "", {}, "", "Hello@0,0-0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TRenderedPage page(c.Contents, c.Resources, c.Objects, c.PageExtra);
    EXPECT_EQ(page.Blocks(), c.Expected);
    EXPECT_EQ(page.Error, "");
  }
}

TEST(Renderer, AnnotationAppearances) {
  struct Case {
    const char* Name;
    std::string Annotation;
    std::string AppearanceEntries;
    const char* Expected;
    TPDFMatrix Start = IdentityMatrix;
  };
  const Case cases[] = {
      // The page seen turned by 90 degrees: the appearance is placed on the page, then turned.
      {"from the page's start matrix", "", "", "Hello@698,540-698 N@108,512-108", {0, -1, 1, 0, 0, 612}},
      {"bounding box onto the rectangle", "", "", "Hello@72,698-97 N@100,108-105"},
      {"the appearance matrix applies first", "", "/Matrix [0 1 -1 0 0 0]", "Hello@72,698-97 N@184,100-184"},
      {"hidden", "/F 2", "", "Hello@72,698-97"},
      {"no view", "/F 32", "", "Hello@72,698-97"},
      {"printable only is still viewed", "/F 4", "", "Hello@72,698-97 N@100,108-105"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string content = "BT /F1 10 Tf 0 10 Td (N) Tj ET";
    TRenderedPage page({Hello}, "",
                       {{10, "<< /Type /Annot /Subtype /FreeText /Rect [200 150 100 100] /AP << /N 11 0 R >> " +
                                 c.Annotation + " >>"},
                        {11, "<< /BBox [0 0 100 50] " + c.AppearanceEntries + " /Length " +
                                 std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream"}},
                       "/Annots [10 0 R]");
    EXPECT_EQ(page.Blocks(false, c.Start), c.Expected);
  }
}

TEST(Renderer, FailureEndsTheRunAndKeepsItsPieces) {
  const std::string content = "BT /F1 10 Tf 0 10 Td (N) Tj ET";
  // The page fails: its pieces so far stay, and annotations are not drawn.
  TRenderedPage page({Hello + " BI /W 1 /H 1 ID xyz"}, "",
                     {{10, "<< /Type /Annot /Rect [0 0 10 10] /AP << /N 11 0 R >> >>"},
                      {11, "<< /BBox [0 0 10 10] /Length " + std::to_string(content.size()) + " >>\nstream\n" +
                               content + "\nendstream"}},
                     "/Annots [10 0 R]");
  EXPECT_EQ(page.Blocks(), "Hello@72,698-97");
  EXPECT_EQ(page.Error, "Rendering exception: inline image without end\r\nToken position 54");

  // A failing form stops only itself.
  TRenderedPage form({"/Fm1 Do " + Hello}, "/XObject << /Fm1 10 0 R >>", {{10, Form("", ShowF + " BI ID")}});
  EXPECT_EQ(form.Blocks(), "F@5,3-10 Hello@72,698-97");
}

TEST(Renderer, FormNestingAndWorkAreBounded) {
  // Forms 10 to 49 each show a letter and draw the next: only MaxFormNesting levels run.
  TObjects chain;
  for (int i = 0; i < 40; ++i)
    chain.push_back({10 + i, Form("/Resources << /Font << /F1 5 0 R >> /XObject << /Fm 0 R >> >>",
                                  "BT /F1 10 Tf " + std::to_string(i * 10) + " 0 Td (x) Tj ET /Fm Do")});
  for (int i = 0; i < 39; ++i) {
    auto& body = chain[static_cast<size_t>(i)].second;
    body.replace(body.find("/Fm 0 R"), 7, "/Fm " + std::to_string(11 + i) + " 0 R");
  }
  TRenderedPage nested({"/Fm Do"}, "/XObject << /Fm 10 0 R >>", chain);
  const std::string shown = nested.Blocks();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), 'x'), MaxFormNesting) << shown;

  // Thirty levels of forms that each draw the next one twice would be a billion runs.
  TObjects doubling;
  for (int i = 0; i < 30; ++i)
    doubling.push_back({10 + i, Form("/Resources << /XObject << /Fm " + std::to_string(11 + i) + " 0 R >> >>",
                                     "/Fm Do /Fm Do")});
  TRenderedPage wide({"/Fm Do " + Hello}, "/XObject << /Fm 10 0 R >>", doubling);
  EXPECT_EQ(wide.Blocks(), "Hello@72,698-97");
}

TEST(Renderer, OperandsWithoutOperatorKeepTheNewest) {
  std::string content = "BT /F1 10 Tf 72 700 Td ";
  for (size_t i = 0; i < MaxPendingOperands + 10; ++i) content += "1 ";
  TRenderedPage page({content + "(A) Tj ET"});
  EXPECT_EQ(page.Blocks(), "A@72,698-77");
}
