#pragma once
// Where the content-order reader stands: the position of the next text, the start of its
// line, the text matrix's linear part with its scale and direction, and the text shown last,
// from whose end the move to the next text is measured once, however many operators made it.
// A vertical font's text runs down a column, a quarter turn clockwise from the direction.
#include <optional>

#include "text/PellarTextJump.h"

class TTextCursor {
public:
  // BT: the identity matrix, the line start at the origin; the position stays.
  void BeginText();
  // Tm: the scale is the first row's length and the direction that row's (scale 1 along x
  // when its length is 0 or not a number); the translation is taken as it stands.
  void SetMatrix(double a, double b, double c, double d, double e, double f);
  // Td: the line start moves by a text-space vector through the matrix.
  void MoveLine(double tx, double ty);
  // T* and the quotes: down by the leading (text space) through the matrix. The line break
  // is the operator's own, so the next text is measured from there.
  void NextLine(double leading);
  // Text of a vertical font: shown text, adjustments and moves run down the column.
  void SetVertical(bool vertical) { Vertical = vertical; }
  // Along the direction past shown text; `trailing` is the spacing after its last glyph,
  // which is no gap to the next text.
  void Advance(double length, double trailing);
  // Along the direction without a glyph (a TJ adjustment).
  void Kern(double length);

  void StartShown();
  void EndShown();
  // The move from the end of the text shown last to the position, once; none when the
  // position did not move since.
  std::optional<TTextMove> TakeMove();
  // The next text is measured from where it starts: it stands apart.
  void Forget() { Moved = MovedByTm = false; }

  double X() const { return PosX; }
  double Y() const { return PosY; }
  double Scale() const { return HorzScale; }

private:
  void MoveTo(double x, double y);
  // The unit vector text advances along: the direction, or down the column.
  double AlongX() const { return Vertical ? DirY : DirX; }
  double AlongY() const { return Vertical ? -DirX : DirY; }

  double PosX = 0, PosY = 0;
  double Trailing = 0;
  double LineX = 0, LineY = 0;
  double MatrixA = 1, MatrixB = 0, MatrixC = 0, MatrixD = 1;
  double HorzScale = 1;
  double DirX = 1, DirY = 0;
  double ShownStartX = 0, ShownStartY = 0, ShownEndX = 0, ShownEndY = 0;
  bool Moved = false, MovedByTm = false;
  bool Vertical = false;
};
