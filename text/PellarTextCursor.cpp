#include "text/PellarTextCursor.h"

#include <cmath>

void TTextCursor::BeginText() {
  LineX = LineY = 0;
  MatrixA = MatrixD = HorzScale = DirX = 1;
  MatrixB = MatrixC = DirY = 0;
}

void TTextCursor::SetMatrix(double a, double b, double c, double d, double e, double f) {
  MatrixA = a;
  MatrixB = b;
  MatrixC = c;
  MatrixD = d;
  const double length = std::hypot(a, b);
  const bool usable = std::isfinite(length) && length > 0;
  HorzScale = usable ? length : 1.0;
  DirX = usable ? a / length : 1;
  DirY = usable ? b / length : 0;
  MoveTo(e, f);
  MovedByTm = true;
}

void TTextCursor::MoveLine(double tx, double ty) {
  MoveTo(LineX + tx * MatrixA + ty * MatrixC, LineY + tx * MatrixB + ty * MatrixD);
}

void TTextCursor::NextLine(double leading) {
  LineX -= leading * MatrixC;
  LineY -= leading * MatrixD;
  PosX = ShownStartX = ShownEndX = LineX;
  PosY = ShownStartY = ShownEndY = LineY;
  Trailing = 0;
  Forget();
}

void TTextCursor::Advance(double length, double trailing) {
  Kern(length);
  Trailing = trailing;
}

void TTextCursor::Kern(double length) {
  PosX += length * AlongX();
  PosY += length * AlongY();
  Trailing = 0;
}

void TTextCursor::StartShown() {
  ShownStartX = PosX;
  ShownStartY = PosY;
}

void TTextCursor::EndShown() {
  ShownEndX = PosX - Trailing * AlongX();
  ShownEndY = PosY - Trailing * AlongY();
}

std::optional<TTextMove> TTextCursor::TakeMove() {
  if (!Moved) return std::nullopt;
  const double dx = PosX - ShownEndX, dy = PosY - ShownEndY, ux = AlongX(), uy = AlongY();
  TTextMove move;
  move.Along = dx * ux + dy * uy;
  move.Across = dy * ux - dx * uy;
  move.ShownLength = (ShownEndX - ShownStartX) * ux + (ShownEndY - ShownStartY) * uy;
  move.Absolute = MovedByTm;
  move.Vertical = Vertical;
  Forget();
  return move;
}

void TTextCursor::MoveTo(double x, double y) {
  PosX = LineX = x;
  PosY = LineY = y;
  Trailing = 0;
  Moved = true;
}
