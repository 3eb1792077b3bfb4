#include "text/PellarShowText.h"

#include <gtest/gtest.h>

#include "pdf/PellarConvert.h"
#include "tests/support/TestFonts.h"

namespace {

enum class TFont { Simple, Compact, Type3, Type3WithoutSpace, Composite, Vertical };

std::string Number(double v) { return FormatReal(4, v); }

// Each piece as text@X+W/Y+H[widths], "!" before it when merging is forbidden for it; then
// the effective size, the matrix's a (and b when turned) and the advance (and a vertical one).
std::string Summary(const TShowResult& r) {
  if (!r.Shown) return "not shown";
  std::string out;
  double size = 0, a = 0, b = 0;
  for (const TTextPiece& p : r.Pieces) {
    out += p.MergeAllowed ? "" : "!";
    out += std::string(p.Text.begin(), p.Text.end()) + "@" + Number(p.X) + "+" + Number(p.W) + "/" + Number(p.Y) +
           "+" + Number(p.H) + "[";
    for (size_t i = 0; i < p.Widths.size(); ++i) out += (i ? "," : "") + Number(p.Widths[i]);
    out += "] ";
    size = p.Size;
    a = p.Matrix[0];
    b = p.Matrix[1];
  }
  return out + "s=" + Number(size) + " a=" + Number(a) + (b ? " b=" + Number(b) : "") + " >" + Number(r.Advance) +
         (r.AdvanceY ? " v" + Number(r.AdvanceY) : "") + (r.MergeAllowed ? "" : " !");
}

}  // namespace

TEST(ShowText, PiecesWidthsAndAdvance) {
  struct Case {
    const char* Name;
    TFont Font;
    TShowState State;
    std::vector<std::string_view> Operands;
    const char* Expected;
  };
  auto with = [](auto change) {
    TShowState s;
    change(s);
    return s;
  };
  const TShowState plain;
  const TShowState noGap = with([](TShowState& s) { s.NoGapJoin = true; });
  const Case cases[] = {
      {"adjustment splits and moves", TFont::Simple, plain, {"(Hel)", "-20", "(lo)"},
       "Hel@0+1500/-200+900[500,500,500] lo@1520+1000/-200+900[500,500] s=12 a=0.012 >30.24"},
      {"a move of half a space or more after text is a word space", TFont::Simple, plain, {"(one)", "-250", "(two)"},
       "one two@0+3250/-200+900[500,500,500,250,500,500,500] s=12 a=0.012 >39"},
      {"text that ends in a space gets no second one", TFont::Simple, plain, {"(one )", "-250", "(two)"},
       "one @0+1750/-200+900[500,500,500,250] two@2000+1500/-200+900[500,500,500] s=12 a=0.012 >42"},
      {"blanks that end the strings are cut off", TFont::Simple, plain, {"(ab  )"},
       "ab@0+1000/-200+900[500,500] s=12 a=0.012 >18"},
      {"leading blanks are cut off", TFont::Simple, plain, {"(  ab)"}, "ab@500+1000/-200+900[500,500] s=12 a=0.012 >18"},
      {"a piece of blanks only stays", TFont::Simple, plain, {"( )"}, " @0+250/-200+900[250] s=12 a=0.012 >3"},
      {"a word-space move cuts like a space under no-gap-join", TFont::Simple, noGap, {"(one)", "-250", "(two)"},
       "one@0+1500/-200+900[500,500,500] !two@1750+1500/-200+900[500,500,500] s=12 a=0.012 >39"},
      {"a piece ends at its last glyph, not after the spacing that follows it", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = -1; }), {"(ab)"},
       "ab@0+900/-200+900[400,500] s=10 a=0.01 >8"},
      {"spacing of half a space (280 without a space in the font) parts the codes as words", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 1.4; }), {"(wh)"},
       "w h@0+1140/-200+900[500,140,500] s=10 a=0.01 >12.8"},
      {"spacing below half a space is letter spacing", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 1.3; }), {"(wh)"},
       "wh@0+1130/-200+900[630,500] s=10 a=0.01 >12.6"},
      {"in a longer string wide spacing spaces out letters", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 2.5; }), {"(ab c)"},
       "ab c@0+2500/-200+900[750,750,500,500] s=10 a=0.01 >27.5"},
      {"a blank of two spaced codes gets no second one", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 2.5; }), {"(a )", "(b)"},
       "a b@0+1750/-200+900[750,500,500] s=10 a=0.01 >20"},
      {"spaced codes under no-gap-join", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 2.5, s.NoGapJoin = true; }), {"(wh)"},
       "w@0+500/-200+900[500] !h@750+500/-200+900[500] s=10 a=0.01 >15"},
      {"zero size", TFont::Simple, with([](TShowState& s) { s.FontSize = 0; }), {"(abc)"}, "not shown"},
      {"horizontal scaling enters the advance", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.HorizontalScaling = 50; }), {"(ab)"},
       "ab@0+1000/-200+900[500,500] s=10 a=0.005 >5"},
      {"char and word spacing in text space", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 1, s.WordSpacing = 2; }), {"(a b)"},
       "a b@0+1650/-200+900[600,550,500] s=10 a=0.01 >17.5"},
      {"spacing scales with Tz", TFont::Simple,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 1, s.HorizontalScaling = 200; }), {"(ab)"},
       "ab@0+1100/-200+900[600,500] s=10 a=0.02 >24"},
      {"rise in glyph units", TFont::Simple, with([](TShowState& s) { s.Rise = 3; }), {"(a)"},
       "a@0+500/50+900[500] s=12 a=0.012 >6"},
      {"negative size runs the other way", TFont::Simple, with([](TShowState& s) { s.FontSize = -10; }), {"(ab)"},
       "ab@0+1000/-200+900[500,500] s=10 a=-0.01 >-10"},
      {"ligature widths", TFont::Simple, plain, {"(\\001)"}, "fi@0+500/-200+900[0,500] s=12 a=0.012 >6"},
      {"a code without text adds to the one before", TFont::Simple, plain, {"(a\\002b)"},
       "ab@0+1300/-200+900[800,500] s=12 a=0.012 >15.6"},
      {"other operands are passed over", TFont::Simple, plain, {"(a)", "/x", "true", "(b)"},
       "ab@0+1000/-200+900[500,500] s=12 a=0.012 >12"},
      {"scaled matrices", TFont::Simple,
       with([](TShowState& s) { s.TextMatrix = {2, 0, 0, 2, 5, 5}, s.CTM = {1, 0, 0, 3, 0, 0}; }), {"(a)"},
       "a@0+500/-200+900[500] s=72 a=0.024 >6"},
      {"no-gap-join cuts at spaces", TFont::Simple, noGap, {"(one two)"},
       "one@0+1500/-200+900[500,500,500] !two@1750+1500/-200+900[500,500,500] s=12 a=0.012 >39"},
      {"a leading space starts no piece", TFont::Simple, noGap, {"( x)"}, "!x@250+500/-200+900[500] s=12 a=0.012 >9"},
      {"a trailing space forbids the next merge", TFont::Simple, noGap, {"(x )"},
       "x@0+500/-200+900[500] s=12 a=0.012 >9 !"},
      {"/Widths are thousandths whatever the program's matrix", TFont::Compact, plain, {"(ab)"},
       "ab@0+1000/-200+900[500,500] s=12 a=0.012 >12"},
      {"Type 3 advance", TFont::Type3, with([](TShowState& s) { s.FontSize = 10; }), {"(AB)"},
       "AB@0+500/0+0[250,250] s=10 a=0.01 >5"},
      {"Type 3 spacing and adjustments in text space", TFont::Type3,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 1; }), {"(A)", "-100", "(B)"},
       "A@0+250/0+0[250] B@450+250/0+0[250] s=10 a=0.01 >8"},
      // Without a space, 280 thousandths of an em: 28 units of a FontMatrix of 0.01.
      {"Type 3 word space in its own units", TFont::Type3WithoutSpace, plain, {"(A)", "-150", "(B)"},
       "A B@0+515/0+0[250,15,250] s=12 a=0.12 >61.8"},
      {"Type 3 move below half its space", TFont::Type3WithoutSpace, plain, {"(A)", "-130", "(B)"},
       "A@0+250/0+0[250] B@263+250/0+0[250] s=12 a=0.12 >61.56"},
      {"composite string keeps the mapped codes", TFont::Composite, plain, {"<0041FFFF0042>"},
       "AB@0+2200/-200+1000[1600,600] s=12 a=0.012 >26.4"},
      {"composite control text is no text", TFont::Composite, plain, {"<00090041>"},
       "A@0+1600/-200+1000[600] s=12 a=0.012 >19.2"},
      {"composite no-gap-join", TFont::Composite, noGap, {"<004100200042>"},
       "!A@0+600/-200+1000[600] !B@1600+600/-200+1000[600] s=12 a=0.012 >26.4"},
      {"vertical glyphs run down their column by their vertical advances", TFont::Vertical, plain, {"<00410042>"},
       "AB@0+1800/-500+1000[1000,800] s=12 a=0 b=-0.012 >0 v-21.6"},
      {"a vertical adjustment moves along the column (up when negative) and makes no space", TFont::Vertical,
       with([](TShowState& s) { s.FontSize = 10, s.CharSpacing = 1, s.HorizontalScaling = 50; }),
       {"<0041>", "-300", "<0042>"}, "A@0+1000/-500+1000[1000] B@800+800/-500+1000[800] s=10 a=0 b=-0.01 >0 v-17"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFFontCollection fonts;
    const bool type3 = c.Font == TFont::Type3 || c.Font == TFont::Type3WithoutSpace;
    const bool composite = c.Font == TFont::Composite || c.Font == TFont::Vertical;
    auto font = type3 ? Type3TestFont(7) : composite ? CompositeTestFont(7) : SimpleTestFont(7);
    if (c.Font == TFont::Type3WithoutSpace) {
      font->FontMatrix = {0.01, 0, 0, 0.01, 0, 0};
      font->AnsiText.Change(32).clear();
      font->LastChar = 255;
    }
    if (c.Font == TFont::Vertical) {
      font->Vertical = true;
      font->VerticalAdvances.SetDefault(-1000);
      font->VerticalAdvances.Add(0x42, 0x42, -800);
    }
    if (c.Font == TFont::Compact) {
      font->ProgramKind = TFontProgramKind::Compact;
      font->WidthScale = 2;  // an embedded program with FontMatrix [0.002 ...]
    }
    fonts.AddRecord(std::move(font));
    fonts.SelectFontById(7);
    const TShowResult shown = ShowText(c.State, fonts, c.Operands);
    EXPECT_EQ(Summary(shown), c.Expected);
    for (const TTextPiece& p : shown.Pieces) EXPECT_EQ(p.SpaceWidth > 0, c.Font != TFont::Vertical) << p.SpaceWidth;
  }
}

TEST(ShowText, NothingWithoutAFont) {
  TPDFFontCollection fonts;
  const std::string_view operands[] = {"(a)"};
  EXPECT_FALSE(ShowText(TShowState(), fonts, operands).Shown);
}
