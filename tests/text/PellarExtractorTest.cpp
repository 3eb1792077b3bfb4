#include "text/PellarExtractor.h"

#include <gtest/gtest.h>

#include "engine/PellarPageTree.h"
#include "fonts/PellarFontCollection.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarDocument.h"
#include "text/PellarTextLimits.h"
#include "tests/support/PdfWriter.h"

namespace {

// Object numbers of the test page's fonts; the records carry them as their Id, so the
// collection finds them without loading.
constexpr int LatinFont = 10;   // /F1: ASCII, widths 500, space 250
constexpr int UpperFont = 11;   // /F1 inside the form Fm3: every letter upper case
constexpr int LendingFont = 12; // /F4: no space text, LastChar 200, code 255 "_" width 100
constexpr int PlainFont = 13;   // /F5: no space text, LastChar 255: space width 280
constexpr int WideFont = 14;    // /F9: composite, two-byte codes, ToUnicode 0x41.. to "A"..
constexpr int NoSpaceFont = 15; // /F10: code 32 is a space of width 0, as in TeX's fonts
constexpr int TallFont = 16;    // /F11: /F9 written vertically, one em down per glyph

std::unique_ptr<TPDFFontCollectionData> Record(int id, bool upper) {
  auto font = std::make_unique<TPDFFontCollectionData>();
  font->Id = id;
  font->LastChar = 255;
  font->Widths.fill(500);
  font->Widths[32] = 250;
  for (int c = 32; c < 127; ++c) {
    font->AnsiText.Change(c) = std::string(1, static_cast<char>(c));
    font->UnicodeText.Change(c) = std::u16string(1, static_cast<char16_t>(upper && c >= 'a' && c <= 'z' ? c - 32 : c));
  }
  font->UnicodeText.Change('\r') = u"\r";
  font->UnicodeText.Change('\n') = u"\n";
  font->UnicodeText.Change(0) = std::u16string(1, u'\0');
  font->UnicodeText.Change(1) = u"one";
  return font;
}

// One page whose resources name the test fonts and forms:
//   Fm1 shows "inner", Fm2 draws itself, Fm3 has its own /F1 (upper case), Im1 is an image,
//   N1 .. N(MaxFormNesting + 2) each show "n" and draw the next.
struct TExtractorPage {
  TExtractorPage() {
    TTestPdfWriter w;
    w.Set(1, "<< /Type /Catalog /Pages 2 0 R >>");
    w.Set(2, "<< /Type /Pages /Count 1 /Kids [3 0 R] >>");
    std::string nested;
    const int chain = MaxFormNesting + 2;
    for (int i = 1; i <= chain; ++i) nested += " /N" + std::to_string(i) + " " + std::to_string(100 + i) + " 0 R";
    w.Set(3,
          "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Resources << /Font << /F1 10 0 R /F4 12 0 R /F5 13 0 R /F9 14 0 R /F10 15 0 R /F11 16 0 R"
          " /F#36 10 0 R /F7 << /Type /Font /BaseFont /Direct >> /F8 99 >> /XObject << /Fm1 20 0 R /Fm2 21 0 R"
          " /Fm3 22 0 R /Im1 23 0 R" +
              nested + " >> >> /Annots [30 0 R 31 0 R 32 0 R] >>");
    // A note whose appearance has no resources of its own, a hidden one, and a stamp.
    const std::string note = "/Type /Annot /Rect [0 0 50 20] /AP << /N 33 0 R >>";
    w.Set(30, "<< " + note + " >>");
    w.Set(31, "<< " + note + " /F 2 >>");
    w.Set(32, "<< /Type /Annot /Rect [0 0 50 20] /AP << /N 34 0 R >> >>");
    w.SetStream(33, "/BBox [0 0 50 20]", "BT /F1 10 Tf 5 5 Td (note) Tj ET");
    w.SetStream(34, "/BBox [0 0 50 20] /Resources << /Font << /F1 11 0 R >> >>", "BT /F1 10 Tf (st) Tj 30 0 Td (amp) Tj ET");
    w.SetStream(4, "", "");
    w.Set(10, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    w.Set(11, "<< /Type /Font /Subtype /Type1 /BaseFont /Upper >>");
    w.Set(12, "<< /Type /Font /Subtype /Type1 /BaseFont /Lending >>");
    w.Set(13, "<< /Type /Font /Subtype /Type1 /BaseFont /Plain >>");
    w.SetStream(20, "/Type /XObject /Subtype /Form", "BT (inner) Tj ET");
    w.SetStream(21, "/Subtype /Form", "(again) Tj /Fm2 Do");
    w.SetStream(22, "/Subtype /Form /Resources << /Font << /F1 11 0 R >> >>", "/F1 12 Tf (up) Tj");
    w.SetStream(23, "/Subtype /Image /Width 1 /Height 1", "(image) Tj");
    for (int i = 1; i <= chain; ++i)
      w.SetStream(100 + i, "/Subtype /Form", "(n) Tj /N" + std::to_string(i + 1) + " Do");
    EXPECT_EQ(Doc.LoadFromBytes(w.Build(1), u""), TPDFDocument::LoadOk);
    Fonts.AddRecord(Record(LatinFont, false));
    Fonts.AddRecord(Record(UpperFont, true));
    auto lending = Record(LendingFont, false);
    lending->AnsiText.Change(32) = "";
    lending->LastChar = 200;
    lending->UnicodeText.Change(255) = u"_";
    lending->Widths[255] = 100;
    Fonts.AddRecord(std::move(lending));
    auto plain = Record(PlainFont, false);
    plain->AnsiText.Change(32) = "";
    Fonts.AddRecord(std::move(plain));
    auto zero = Record(NoSpaceFont, false);
    zero->Widths[32] = 0;
    Fonts.AddRecord(std::move(zero));
    auto wide = std::make_unique<TPDFFontCollectionData>();
    wide->Id = WideFont;
    wide->Composite = true;
    wide->Widths.fill(500);
    wide->Widths[32] = 250;
    wide->AnsiText.Change(32) = " ";
    wide->ToUnicodeRanges = {{0x0041, 0x005A, {0x41}}, {0x0020, 0x0020, {0x20}}};
    wide->CIDWidths.Add(0x41, 0x5A, 600);
    auto tall = std::make_unique<TPDFFontCollectionData>(*wide);
    Fonts.AddRecord(std::move(wide));
    tall->Id = TallFont;
    tall->Vertical = true;
    tall->VerticalAdvances.SetDefault(-1000);
    Fonts.AddRecord(std::move(tall));
  }

  // The text of the content as the page tree gathers it: a blank before the stream and
  // the blank of the page's own empty last stream.
  std::string Extract(const std::string& content, int mode, bool annotations = false) {
    TPDFExtractor extractor(Doc.PageTree().PageResources(), Fonts);
    std::u16string text;
    extractor.ExtractText(" " + content + " ", mode, text, annotations ? Doc.PageTree().PageDictionary() : nullptr);
    return UTF16ToUTF8(text);
  }

  TPDFDocument Doc;
  TPDFFontCollection Fonts;
};

struct TCase {
  const char* Content;
  const char* Expected;
};

void Check(TExtractorPage& page, const TCase* cases, size_t count, int mode) {
  for (size_t i = 0; i < count; ++i) EXPECT_EQ(page.Extract(cases[i].Content, mode), cases[i].Expected) << cases[i].Content;
}

}  // namespace

TEST(PellarExtractor, PlainText) {
  const TCase cases[] = {
      // A space and two breaks from (0, 0); back from the end of "A" and down one line.
      {"BT /F1 12 Tf 72 700 Td (A) Tj 0 -14 Td (B) Tj ET", "\r\n\r\nA \r\nB"},
      // Only an upward jump adds the second break; Tm measures both ways.
      {"BT /F1 12 Tf 72 700 Td (A) Tj 0 -30 Td (B) Tj ET", "\r\n\r\nA \r\nB"},
      {"BT /F1 12 Tf 72 700 Td (A) Tj 1 0 0 1 72 670 Tm (B) Tj ET", "\r\n\r\nA \r\n\r\nB"},
      {"BT /F1 12 Tf 72 700 Td (A) Tj 0 30 Td (B) Tj ET", "\r\n\r\nA \r\n\r\nB"},
      // A jump smaller than half a space (250 / 2 × 12 / 1000 = 1.5) is no space.
      {"BT /F1 12 Tf (A) Tj 7.4 0 Td (B) Tj 7.5 0 Td (C) Tj ET", "AB C"},
      // Moves count once, net, when text is shown: a glyph in a text object of its own, or
      // after a jump to the line start and back, continues its word; a raised or lowered
      // letter pulled back into the one before (the LaTeX logo as pdfTeX writes it) too.
      {"BT /F1 10 Tf 72 700 Td (N) Tj ET BT /F1 10 Tf 77 700 Td (a) Tj ET BT 1 0 0 1 82.5 700 Tm (m) Tj ET", "\r\n\r\nNam"},
      {"BT /F1 10 Tf (S) Tj -5 0 Td 10 0 Td (t) Tj 0 0 Td -10 0 Td 15.1 0 Td (r) Tj ET", "Str"},
      {"BT /F1 10 Tf [(of) -344 (L)] TJ 15 2 Td (A) Tj 3.6 -2 Td (T) Tj 5.5 -2.1 Td (E) Tj 5.5 2.1 Td (X.) Tj ET", "of LATEX."},
      // Kerning: more than half a space to the left is a space.
      {"BT /F1 12 Tf [(W) -600 (orld)] TJ [(a) -125 (b) -126 (c)] TJ ET", "W orldab c"},
      {"BT /F5 12 Tf [(W) -141 (orld)] TJ [(a) -140 (b)] TJ ET", "W orldab"},
      // A space of width 0 measures nothing: the default 280 takes its place.
      {"BT /F10 10 Tf [(lo) -29 (cal) -141 (x)] TJ ET", "local x"},
      // Letter spacing of a space's width (2.5 at size 10) or more spaces the letters of
      // every string; the spaces read in take no room.
      {"BT /F1 10 Tf 3 Tc [(abc) (de)] TJ (abc) Tj ET", "a b cd ea b c"},
      {"BT /F1 10 Tf (sho) Tj 2.5 Tc (wh) Tj 0 Tc (ow) Tj 2.5 Tc (yz) ' 2.4 Tc (xy) Tj 0 2.5 (ab) \" ET",
       "show how\r\ny zxy\r\na b"},
      {"BT /F1 10 Tf 2.5 Tc (ab) Tj 13.7 0 Td (c) Tj ET", "a bc"},
      // A string with spaces of its own keeps them as its only word gaps.
      {"BT /F1 10 Tf 4 Tc (ab cd) Tj [(ef) (g h)] TJ ET", "ab cde fg h"},
      {"BT /F1 10 Tf 2.5 Tc (ab) Tj 13.75 0 Td (c) Tj ET", "a b c"},
      // Runs of T* breaks: odd runs end as one, even runs as two.
      {"BT /F1 12 Tf 14 TL (a) Tj T* T* T* (b) Tj ET", "a\r\nb"},
      {"BT /F1 12 Tf 14 TL (a) Tj T* T* T* T* (b) Tj ET", "a\r\n\r\nb"},
      {"BT /F1 12 Tf 14 TL (a) Tj T* T* T* T* T* (b) Tj ET", "a\r\nb"},
      // A line holding a single space disappears; trimming keeps breaks at the ends.
      {"BT /F1 12 Tf 14 TL (a) Tj T* ( ) Tj T* (b) Tj ET", "a\r\nb"},
      {"BT /F1 12 Tf 14 TL T* ( x ) Tj T* ET", "\r\n x \r\n"},
      {"BT /F1 12 Tf 10 0 Td (x) Tj ( ) Tj ET", "x"},
      // ' and " start a new line unless one was just started; the position stays.
      {"BT /F1 12 Tf (a) Tj (b) ' 1 2 (c) \" T* (d) ' ET", "a\r\nb\r\nc\r\nd"},
      // Character spacing is in text space units, and the spacing after the last glyph is
      // no gap: a letter-spaced part reaches the next one; a real gap stays a space.
      {"BT /F1 10 Tf 2 Tc (wh) Tj 12 0 Td (ow) Tj ET", "whow"},
      {"BT /F1 10 Tf 2 Tc [(w) -10 (h)] TJ 13.1 0 Td (ow) Tj 13 0 Td (x) Tj ET", "whowx"},
      {"BT /F1 10 Tf 2 Tc (wh) Tj 13.25 0 Td (ow) Tj 1 0 0 1 29.25 0 Tm (x) Tj ET", "wh ow x"},
      // ' moves to the next line's start, from where the next Td measures.
      {"BT /F1 10 Tf 12 TL 72 700 Td (NA) ' 10 0 Td (ME) Tj ET", "\r\n\r\nNAME"},
      // TD sets the leading that T* then uses.
      {"BT /F1 10 Tf 0 -12 TD (a) Tj T* (b) Tj ET", "\r\na\r\nb"},
      // Inline image data ends where /L says, else at an "EI" that stands as a token.
      {"BT /F1 12 Tf BI /W 1 ID \x01\xff" "EI(A)Tj EI (B) Tj ET", "B"},
      {"BT /F1 12 Tf BI /L 3 ID EI( EI (B) Tj ET", "B"},
      // ASCII85 data whose group "!EI(!" holds "EI" and a bracket (0x0155C48F).
      {"BT /F1 12 Tf (A) Tj BI /W 2 /H 2 /BPC 8 /CS /G /F /A85 ID !EI(!~> EI (B) Tj ET", "AB"},
      {"BT /F1 12 Tf (A) Tj BI ID (B) Tj", "A"},
      // U+0000 becomes a space; a code of several units keeps them all.
      {"BT /F1 12 Tf <610062> Tj <01> Tj ET", "a bone"},
      // A name not among the fonts keeps the font and takes the size; names decode #xx.
      {"BT /F1 12 Tf (a) Tj /Nope 12 Tf (b) Tj /F8 12 Tf (c) Tj /F#36 12 Tf (d) Tj ET", "abcd"},
      // Before any Tf the size is 12: a break takes a jump of 1.7 × 12 / 2 = 10.2.
      {"0 -10.1 Td /F1 12 Tf (b) Tj", "b"},
      {"0 -10.2 Td /F1 12 Tf (b) Tj", "\r\nb"},
      // No font yet: nothing to show, but the scan goes on.
      {"BT (a) Tj /F1 12 Tf (b) Tj ET", "b"},
      // Forms are read where they are drawn, with their own resources when they have any.
      {"BT /F1 12 Tf (a) Tj ET /Fm1 Do BT (b) Tj ET /Fm3 Do (c) Tj", "ainnerbUPC"},
      // A form drawing itself is entered once; images are not read.
      {"/F1 12 Tf /Fm2 Do /Im1 Do (x) Tj", "againx"},
      // Composite fonts: kerning and letter spacing insert a space character between code
      // texts; a byte inserted among two-byte codes would shift every later code.
      {"/F9 10 Tf [<00410042> -600 <0043>] TJ 3 Tc [<00410042> <0043>] TJ", "AB CA BC"},
      {"/F9 10 Tf [<0041> <00> <0042>] TJ <004100> Tj", "ABA"},
      // Glyphs placed one by one are measured by their CID widths (600 at size 10 is 6).
      {"/F9 10 Tf <0041> Tj 6 0 Td <0042> Tj 9 0 Td <0043> Tj", "AB C"},
      // A slash ends a token: "]TJ/F5" is an operator and a name.
      {"BT /F1 12 Tf [(a)]TJ/F4 12 Tf [(b) -60 (c)]TJ ET", "ab c"},
      // Operators are case-sensitive; other operators do nothing.
      {"BT /F1 12 Tf (a) tj (b) Tj q 1 0 0 1 50 50 cm (c) Tj Q ET", "bc"},
      // An unterminated string runs to the end.
      {"BT /F1 12 Tf (ab) Tj (cd", "ab"},
      {"", ""},
  };
  TExtractorPage page;
  Check(page, cases, std::size(cases), TPDFExtractor::PlainMode);
}

// A vertical font's glyphs go down a column: a column reads as one line without spaces, and
// a move across starts a new line (columns shown at once: tests/fixtures/cjk/vertical.pdf).
TEST(PellarExtractor, VerticalColumns) {
  const TCase cases[] = {
      {"BT /F11 10 Tf 300 700 Td <0041> Tj 0 -10 Td <0042> Tj 0 -15 Td <0043> Tj -20 25 Td <0044> Tj ET",
       "\r\nABC\r\nD"},
      // Adjustments move along the column and make no spaces; a small sideways move is none.
      {"BT /F11 10 Tf [<0041> -600 <0042>] TJ 1 -30 Td <0043> Tj ET", "ABC"},
      // Back to a horizontal font, jumps make spaces and breaks again.
      {"BT /F11 10 Tf <0041> Tj /F9 10 Tf 0 -20 Td <0042> Tj 20 0 Td <0043> Tj ET", "A\r\nB C"},
  };
  TExtractorPage page;
  Check(page, cases, std::size(cases), TPDFExtractor::PlainMode);
}

TEST(PellarExtractor, ListingLines) {
  const TCase cases[] = {
      {"BT /F1 12 Tf 72 700 Td (say \"hi\", a\\\\b) Tj ET", "72,700,#000000,12,\"Helvetica\",\"say \\\"hi\\\", a\\b\"\r\n"},
      // Colours: ties round to even; components outside 0 to 1 are clamped.
      {"/F1 10 Tf 1 0 0 rg (a) Tj 0 0 1 rg (b) Tj 0.5 g (c) Tj 2 -1 0.5 rg (d) Tj",
       "0,0,#FF0000,10,\"Helvetica\",\"a\"\r\n5,0,#0000FF,10,\"Helvetica\",\"b\"\r\n"
       "10,0,#808080,10,\"Helvetica\",\"c\"\r\n15,0,#FF0080,10,\"Helvetica\",\"d\"\r\n"},
      // Every Tm scales by its first row's length and advances along that row.
      {"/F1 10 Tf 2 0.0 0 2 10 20 Tm (ab) Tj (c) Tj",
       "10,20,#000000,10,\"Helvetica\",\"ab\"\r\n30,20,#000000,10,\"Helvetica\",\"c\"\r\n"},
      {"/F1 10 Tf 0 2 -2 0.0 10 20 Tm (ab) Tj 10 0 Td (c) Tj BT 0 0 0 0 1 1 Tm (d) Tj (e) Tj",
       "10,20,#000000,10,\"Helvetica\",\"ab\"\r\n10,40,#000000,10,\"Helvetica\",\"c\"\r\n"
       "1,1,#000000,10,\"Helvetica\",\"d\"\r\n6,1,#000000,10,\"Helvetica\",\"e\"\r\n"},
      // Every bracket starts an array: a dash pattern moves the position left.
      {"/F1 10 Tf 100 0 Td [3 2] 0 d (x) Tj", "99.95,0,#000000,10,\"Helvetica\",\"x\"\r\n"},
      // A TJ line sits where its array began; word spacing (text space units) widens the
      // space code only.
      {"/F1 10 Tf [(a) -1000 (b)] TJ 1 Tw (a b) Tj (c) Tj",
       "0,0,#000000,10,\"Helvetica\",\"a b\"\r\n20,0,#000000,10,\"Helvetica\",\"a b\"\r\n"
       "33.5,0,#000000,10,\"Helvetica\",\"c\"\r\n"},
      // " sets the word and character spacing, then shows its string on the next line.
      {"/F1 10 Tf 12 TL 2 1 (a b) \" (c) Tj",
       "0,-12,#000000,10,\"Helvetica\",\"a b\"\r\n17.5,-12,#000000,10,\"Helvetica\",\"c\"\r\n"},
      // An unknown name keeps the font and its base font; the size applies. A direct
      // font dictionary gives its own base font.
      {"/F1 10 Tf /Nope 20 Tf (a) Tj /F7 8 Tf <> Tj",
       "0,0,#000000,20,\"Helvetica\",\"a\"\r\n10,0,#000000,8,\"Direct\",\"\"\r\n"},
      // A font without a space text lends code 255 when its codes end before: its width
      // (100) sets the kerning threshold, but the space reads as a space, not as its "_".
      {"/F4 10 Tf [(a) -60 (b)] TJ /F5 10 Tf [(a) -60 (b)] TJ",
       "0,0,#000000,10,\"Lending\",\"a b\"\r\n10.6,0,#000000,10,\"Plain\",\"ab\"\r\n"},
      // Before any Tf: size 12, widths 750, no text.
      {"(ab) Tj (c) Tj", "0,0,#000000,12,\"\",\"\"\r\n18,0,#000000,12,\"\",\"\"\r\n"},
      // Two values of size with at most two decimals; the text is not escaped further.
      {"/F1 10.456 Tf 1.006 2 Td (a,\\r\\nb) Tj", "1.01,2,#000000,10.46,\"Helvetica\",\"a,\r\nb\"\r\n"},
  };
  TExtractorPage page;
  Check(page, cases, std::size(cases), TPDFExtractor::ListingMode);
}

TEST(PellarExtractor, AnnotationsFollowTheContent) {
  TExtractorPage page;
  // Each from a new line, with the page's resources when it has none, and with the text
  // state an appearance starts with.
  EXPECT_EQ(page.Extract("BT /F1 10 Tf 3 Tc 72 700 Td (ab) Tj ET", TPDFExtractor::PlainMode, true),
            "\r\n\r\na b\r\nnote\r\nST AMP");
  EXPECT_EQ(page.Extract("", TPDFExtractor::PlainMode, true), "note\r\nST AMP");
  EXPECT_EQ(page.Extract("", TPDFExtractor::ListingMode, true),
            "5,5,#000000,10,\"Helvetica\",\"note\"\r\n0,0,#000000,10,\"Upper\",\"ST\"\r\n30,0,#000000,10,\"Upper\",\"AMP\"\r\n");
}

TEST(PellarExtractor, DirectFontLoadedOnce) {
  TExtractorPage page;
  const int before = page.Fonts.RecordCount();
  page.Extract("/F7 8 Tf /F7 9 Tf /F7 10 Tf", TPDFExtractor::PlainMode);
  EXPECT_EQ(page.Fonts.RecordCount(), before + 1);
}

TEST(PellarExtractor, FormsNestNoDeeperThanTheBound) {
  TExtractorPage page;
  EXPECT_EQ(page.Extract("/F1 12 Tf /N1 Do", TPDFExtractor::PlainMode), std::string(MaxFormNesting, 'n'));
}

TEST(PellarExtractor, OtherModesGiveNothing) {
  TExtractorPage page;
  for (int mode : {-1, 1, 3, 7}) EXPECT_EQ(page.Extract("/F1 12 Tf (a) Tj", mode), "") << mode;
}
