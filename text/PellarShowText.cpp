#include "text/PellarShowText.h"

#include <cmath>
#include <optional>

#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontSpace.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarParser.h"
#include "text/PellarWordGap.h"

namespace {

// Glyph units per em of fonts other than Type 3.
constexpr double StandardGlyphUnit = 0.001;

// Glyph units to text space at font size 1: a thousandth of an em, or the FontMatrix of
// a Type 3 font. A FontMatrix that cannot be inverted along the baseline or across it
// would make spacing and rise infinite; such a font is measured as an ordinary one.
TPDFMatrix GlyphMatrix(const TPDFFontCollectionData& font) {
  const TPDFMatrix& fm = font.FontMatrix;
  bool usable = font.ProgramKind == TFontProgramKind::Type3 && fm[0] != 0 && fm[3] != 0;
  for (double e : fm) usable = usable && std::isfinite(e);
  return usable ? fm : TPDFMatrix{0.001, 0, 0, 0.001, 0, 0};
}

// Glyph units to a vertical piece's units: x runs down the column, y to the right.
constexpr TPDFMatrix VerticalTurn{0, -1, 1, 0, 0, 0};
// A vertical glyph stands centred on its column, taken as one em wide.
constexpr double VerticalHalfWidth = 500;

// The working values of one show operation. Advances are kept in glyph units from the
// start of the operation: C where the next character starts, D where the pending text
// started.
class TShower {
public:
  TShower(const TShowState& state, const TPDFFontCollection& fonts, TShowResult& out)
      : State(state), Fonts(fonts), Font(*fonts.Current()), Out(out), Merge(state.MergeAllowed) {
    const TPDFMatrix glyph = GlyphMatrix(Font);
    const double size = state.FontSize, scaling = state.HorizontalScaling / 100;
    const TPDFMatrix textToUser = Multiply(state.TextMatrix, state.CTM);
    Matrix = Multiply(Multiply(glyph, {size * scaling, 0, 0, size, 0, 0}), textToUser);
    // A vertical font's pieces run down their column: their baseline is the column's axis,
    // turned a quarter clockwise from the glyphs' x axis, with no horizontal scaling.
    Vertical = Font.Composite && Font.Vertical;
    if (Vertical)
      Matrix = Multiply(Multiply(VerticalTurn, glyph), Multiply(TPDFMatrix{size, 0, 0, size, 0, 0}, textToUser));
    EffectiveSize = std::fabs(size) * std::hypot(textToUser[2], textToUser[3]);
    TextUnitsX = glyph[0] * size;
    GlyphUnit = std::fabs(glyph[0]);
    Advance = TextUnitsX * scaling;
    // Char and word spacing, the rise and TJ adjustments are text-space values: in glyph
    // units they shrink as the font grows.
    SpacingUnit = 1 / TextUnitsX;
    RiseY = state.Rise / (glyph[3] * size);
  }

  void Operand(std::string_view token) {
    if (token.front() == '(' || token.front() == '<') {
      ShowBytes(token.front() == '(' ? UnescapeLiteral(token) : DecodeHexToken(token));
    } else if (IsDecimalText(token)) {
      Adjust(TextToReal(token));
    }
  }

  void Finish() {
    if (!Pending.empty() && (Pending != u" " || !State.NoGapJoin)) AddPiece(true);
    Out.Shown = true;
    if (Vertical) {
      Out.AdvanceY = -C * GlyphMatrix(Font)[3] * State.FontSize;
    } else {
      Out.Advance = C * Advance;
    }
    Out.MergeAllowed = Merge;
  }

private:
  // A TJ adjustment in thousandths of text space, subtracted from the advance. A move to the
  // right of at least half the font's space, after text that does not end in one, is a word
  // space: writers such as groff space their words this way, and at a quarter em such a gap
  // is too narrow for the funnel to see a word break in. It becomes a space character of that
  // advance, as the content-order reader takes it too.
  void Adjust(double v) {
    // A vertical font moves down by a positive adjustment, and its column has no word gaps.
    const double move = (Vertical ? v : -v) / 1000 * SpacingUnit * State.FontSize;
    if (!Vertical && !Pending.empty() && Pending.back() != u' ' && IsWordGap(move, SpaceWidth())) {
      Character(u" ", move, 0);
      return;
    }
    if (!Pending.empty()) AddPiece();
    C += move;
    D = C;
  }

  void ShowBytes(const std::string& bytes) {
    const double charSpacing = State.CharSpacing * SpacingUnit, wordSpacing = State.WordSpacing * SpacingUnit;
    // Character spacing of half a space or more between the two codes of a string is a word
    // gap: writers such as ghostscript set a word break inside a line as "2.5 Tc (wh) Tj". In a
    // longer string it spaces out the letters of words, which still read as words.
    const bool wideSpacing = IsWordGap(charSpacing, SpaceWidth());
    bool first = true;
    bool wordGaps = false;
    auto show = [&](const std::u16string& text, double width, double spacing) {
      if (wordGaps && !first) SpaceBetweenCodes(text);
      first = false;
      Character(text, width, spacing);
    };
    if (!Font.Composite) {
      wordGaps = wideSpacing && bytes.size() == 2;
      for (unsigned char b : bytes)
        show(Font.UnicodeText[b], Font.Widths[b], charSpacing + (b == 32 ? wordSpacing : 0));
      return;
    }
    const auto codes = Fonts.SplitCodes(bytes);
    // Character spacing runs along a vertical column, which joins its glyphs without spaces.
    wordGaps = !Vertical && wideSpacing && codes.size() == 2;
    for (int32_t code : codes) {
      std::u16string text = Fonts.CodeToUnicode(code);
      // A code without text, or with a control character, shows nothing but still moves.
      if (!text.empty() && text[0] < u' ') text.clear();
      const double width = Vertical ? -Fonts.CompositeVerticalAdvance(code) : Fonts.CompositeAdvance(code);
      // Word spacing applies to the single-byte code 32 only.
      show(text, width, charSpacing + (Font.OneByteCodes && code == 32 ? wordSpacing : 0));
    }
  }

  // The spacing after the character before becomes a space character between two texts
  // that have no blank between them.
  void SpaceBetweenCodes(const std::u16string& next) {
    if (Pending.empty() || IsBlankUnit(Pending.back()) || next.empty() || IsBlankText(next))
      return;
    const double spacing = Trailing;
    C -= spacing;
    Widths.back() -= spacing;
    Trailing = 0;
    Character(u" ", spacing, 0);
  }

  // width is the glyph's advance, spacing the character and word spacing after it.
  void Character(const std::u16string& text, double width, double spacing) {
    const double advance = width + spacing;
    if (State.NoGapJoin && text == u" ") {
      // Every space ends a piece, and the next piece must not join this one.
      if (!Pending.empty()) {
        if (Font.Composite) Merge = false;
        AddPiece();
      }
      Trailing = spacing;
      Merge = false;
      D = C + advance;
      C += advance;
      return;
    }
    Trailing = spacing;
    Pending += text;
    C += advance;
    if (Pending.empty()) return;
    // The last unit of a character carries its advance; one without text adds its
    // advance to the character before it, so the widths still add up to the piece.
    while (Widths.size() < Pending.size()) Widths.push_back(0);
    Widths.back() += advance;
  }

  // The font's space in glyph units. The width a font without a space is given is in
  // thousandths of an em; a Type 3 font's glyph units are those of its FontMatrix.
  double SpaceWidth() {
    if (Space) return *Space;
    Space = FontSpace(Font).Width;
    if (Font.ProgramKind == TFontProgramKind::Type3 && *Space == TPDFFontSpace().Width && GlyphUnit != 0)
      *Space *= StandardGlyphUnit / GlyphUnit;
    return *Space;
  }

  // A piece ends at its last glyph's advance: the spacing after it is not its text, and a
  // writer that cancels a large spacing with TJ moves would otherwise end every piece far
  // beyond its glyph. Blanks before the text, and blanks that end the shown strings, are cut
  // off too: a table cell padded with blanks clipped at its edge would otherwise reach into
  // the next column. The gap they leave is a word gap to the funnel. Blanks before a TJ move
  // stay, as the line goes on after them; a piece of blanks only stays whole, as it parts words.
  void AddPiece(bool cutEnd = false) {
    if (!Widths.empty()) Widths.back() -= Trailing;
    double start = D, end = C - Trailing;
    if (!IsBlankText(Pending)) {
      const size_t first = Pending.find_first_not_of(BlankUnits);
      const size_t last = cutEnd ? Pending.find_last_not_of(BlankUnits) : Pending.size() - 1;
      for (size_t i = 0; i < first; ++i) start += Widths[i];
      for (size_t i = last + 1; i < Pending.size(); ++i) end -= Widths[i];
      if (first > 0 || last + 1 < Pending.size()) {
        Pending = Pending.substr(first, last + 1 - first);
        Widths = std::vector<double>(Widths.begin() + static_cast<std::ptrdiff_t>(first),
                                     Widths.begin() + static_cast<std::ptrdiff_t>(last + 1));
      }
    }
    TTextPiece& piece = Out.Pieces.emplace_back();
    piece.Matrix = Matrix;
    piece.Text = std::move(Pending);
    piece.Size = EffectiveSize;
    piece.X = start;
    piece.Y = Vertical ? -VerticalHalfWidth : RiseY + Font.Descent;
    piece.W = end - start;
    piece.H = Vertical ? 2 * VerticalHalfWidth : Font.Ascent - Font.Descent;
    piece.Widths = std::move(Widths);
    // A column joins its glyphs without spaces: its pieces carry no space width, so the funnel
    // parts them only at a wide gap, as it does the pieces of a font without a space.
    piece.SpaceWidth = Vertical ? 0 : SpaceWidth();
    piece.MergeAllowed = Merge;
    Merge = true;
    Pending.clear();
    Widths.clear();
    Trailing = 0;
  }

  const TShowState& State;
  const TPDFFontCollection& Fonts;
  const TPDFFontCollectionData& Font;
  TShowResult& Out;
  bool Vertical = false;
  TPDFMatrix Matrix{};
  double EffectiveSize = 0;
  double TextUnitsX = 0;   // text space per glyph unit along the baseline, at this size
  double GlyphUnit = 0;    // the same at size 1
  double Advance = 0;      // the same with the horizontal scaling
  double SpacingUnit = 0;  // glyph units per text-space unit
  std::optional<double> Space;  // glyph units, measured on first need
  double RiseY = 0;
  double C = 0, D = 0;
  double Trailing = 0;  // the spacing after the last character, in C
  std::u16string Pending;
  std::vector<double> Widths;
  bool Merge;
};

}  // namespace

TShowResult ShowText(const TShowState& state, const TPDFFontCollection& fonts,
                     std::span<const std::string_view> operands) {
  TShowResult result;
  if (!fonts.Current() || state.FontSize == 0) return result;
  result.Pieces.reserve(operands.size());
  TShower shower(state, fonts, result);
  for (std::string_view token : operands)
    if (!token.empty()) shower.Operand(token);
  shower.Finish();
  return result;
}
