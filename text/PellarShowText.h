#pragma once
// Text showing: the strings of Tj, TJ, ' and " measured in the current font and cut into
// positioned pieces for the funnel, with the advance of the text matrix.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/PellarMatrix.h"

class TPDFFontCollection;

// What showing reads of the interpreter.
struct TShowState {
  TPDFMatrix TextMatrix = IdentityMatrix;
  TPDFMatrix CTM = IdentityMatrix;
  double FontSize = 12;
  double HorizontalScaling = 100;  // percent
  double CharSpacing = 0;
  double WordSpacing = 0;
  double Rise = 0;
  bool NoGapJoin = false;
  bool MergeAllowed = true;  // the funnel's flag when showing starts
};

// A piece as the funnel takes it: the box (X, Y)-(X + W, Y + H) and the widths in glyph
// units, mapped to user space by Matrix.
struct TTextPiece {
  TPDFMatrix Matrix{};
  std::u16string Text;
  double Size = 0;  // effective font size in user space
  double X = 0, Y = 0, W = 0, H = 0;
  std::vector<double> Widths;  // one per UTF-16 unit of Text
  double SpaceWidth = 0;       // the font's space in glyph units: the measure of a word gap
  bool MergeAllowed = true;    // the funnel's flag to set before adding the piece
};

struct TShowResult {
  bool Shown = false;   // false: no font or a zero size; nothing moves
  double Advance = 0;   // in text space: the text matrix moves by [1 0 0 1 Advance AdvanceY]
  double AdvanceY = 0;  // a vertical font's advance (negative: down)
  std::vector<TTextPiece> Pieces;
  bool MergeAllowed = true;  // the funnel's flag after the last piece
};

// Shows the operands (strings, and numbers as TJ adjustments; other tokens are passed
// over) in the collection's current font.
TShowResult ShowText(const TShowState& state, const TPDFFontCollection& fonts,
                     std::span<const std::string_view> operands);
