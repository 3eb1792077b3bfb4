#include "text/PellarShowText.h"

#include <cmath>
#include <optional>

#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontSpace.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarParser.h"

namespace {

// Glyph units to text space at font size 1: a thousandth of an em, or the FontMatrix of
// a Type 3 font. A FontMatrix that cannot be inverted along the baseline or across it
// would make spacing and rise infinite; such a font is measured as an ordinary one.
TPDFMatrix GlyphMatrix(const TPDFFontCollectionData& font) {
  const TPDFMatrix& fm = font.FontMatrix;
  bool usable = font.ProgramKind == TFontProgramKind::Type3 && fm[0] != 0 && fm[3] != 0;
  for (double e : fm) usable = usable && std::isfinite(e);
  return usable ? fm : TPDFMatrix{0.001, 0, 0, 0.001, 0, 0};
}

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
    EffectiveSize = std::fabs(size) * std::hypot(textToUser[2], textToUser[3]);
    TextUnitsX = glyph[0] * size;
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
    if (!Pending.empty() && (Pending != u" " || !State.NoGapJoin)) AddPiece();
    Out.Shown = true;
    Out.Advance = C * Advance;
    Out.MergeAllowed = Merge;
  }

private:
  // A TJ adjustment in thousandths of text space, subtracted from the advance. A move to the
  // right of at least half the font's space, after text that does not end in one, is a word
  // space: writers such as groff space their words this way, and at a quarter em such a gap
  // is too narrow for the funnel to see a word break in. It becomes a space character of that
  // advance, as the content-order reader takes it too.
  void Adjust(double v) {
    const double move = -v / 1000 * SpacingUnit * State.FontSize;
    if (!Pending.empty() && Pending.back() != u' ' && move > 0 && move >= SpaceWidth() / 2) {
      Character(u" ", move);
      return;
    }
    if (!Pending.empty()) AddPiece();
    C += move;
    D = C;
  }

  void ShowBytes(const std::string& bytes) {
    const double charSpacing = State.CharSpacing * SpacingUnit, wordSpacing = State.WordSpacing * SpacingUnit;
    if (!Font.Composite) {
      for (unsigned char b : bytes)
        Character(Font.UnicodeText[b], Font.Widths[b] + charSpacing + (b == 32 ? wordSpacing : 0));
      return;
    }
    for (int32_t code : Fonts.SplitCodes(bytes)) {
      std::u16string text = Fonts.CodeToUnicode(code);
      // A code without text, or with a control character, shows nothing but still moves.
      if (!text.empty() && text[0] < u' ') text.clear();
      const double width = Fonts.CompositeAdvance(code);
      // Word spacing applies to the single-byte code 32 only.
      Character(text, width + charSpacing + (Font.OneByteCodes && code == 32 ? wordSpacing : 0));
    }
  }

  void Character(const std::u16string& text, double advance) {
    if (State.NoGapJoin && text == u" ") {
      // Every space ends a piece, and the next piece must not join this one.
      if (!Pending.empty()) {
        if (Font.Composite) Merge = false;
        AddPiece();
      }
      Merge = false;
      D = C + advance;
      C += advance;
      return;
    }
    Pending += text;
    C += advance;
    if (Pending.empty()) return;
    // The last unit of a character carries its advance; one without text adds its
    // advance to the character before it, so the widths still add up to the piece.
    while (Widths.size() < Pending.size()) Widths.push_back(0);
    Widths.back() += advance;
  }

  double SpaceWidth() {
    if (!Space) Space = FontSpace(Font).Width;
    return *Space;
  }

  void AddPiece() {
    TTextPiece& piece = Out.Pieces.emplace_back();
    piece.Matrix = Matrix;
    piece.Text = std::move(Pending);
    piece.Size = EffectiveSize;
    piece.X = D;
    piece.Y = RiseY + Font.Descent;
    piece.W = C - D;
    piece.H = Font.Ascent - Font.Descent;
    piece.Widths = std::move(Widths);
    piece.MergeAllowed = Merge;
    Merge = true;
    Pending.clear();
    Widths.clear();
  }

  const TShowState& State;
  const TPDFFontCollection& Fonts;
  const TPDFFontCollectionData& Font;
  TShowResult& Out;
  TPDFMatrix Matrix{};
  double EffectiveSize = 0;
  double TextUnitsX = 0;   // text space per glyph unit along the baseline, at this size
  double Advance = 0;      // the same with the horizontal scaling
  double SpacingUnit = 0;  // glyph units per text-space unit
  std::optional<double> Space;  // glyph units, measured on first need
  double RiseY = 0;
  double C = 0, D = 0;
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
