#pragma once
// What the move between two shown texts means for the content-order text: a word space,
// one line break or two. The move is measured once, from the end of the text shown last to
// where the next text starts, however many positioning operators made it.
#include <cstdint>

struct TTextMove {
  double Along = 0;        // along the text direction, from the end of the last text
  double Across = 0;       // across it, to the left of the direction positive
  double ShownLength = 0;  // length of the last text along the direction: it started at -ShownLength
  bool Absolute = false;   // a text matrix set among the moves: a jump down breaks as far as one up
  bool Vertical = false;   // the next text runs down a column: Along is down it
};

struct TTextJump {
  bool Space = false;
  uint8_t Breaks = 0;  // 0, 1 or 2
};

// A jump of half a space along the line is a word space; one of 1.7 / 2 line heights across
// is a line break, and an upward one (or either way after a text matrix) of 1.7 line heights
// a second. A move back on the same line, by less than a line height, that lands inside the
// text just shown is no gap: a raised or lowered letter pulled under its neighbour, as in the
// LaTeX logo. A column of vertical text joins its glyphs without spaces however far apart
// they stand; a move of half a space across it is a new column, which starts a new line.
TTextJump JudgeMove(const TTextMove& move, double halfSpace, double lineHeight);
