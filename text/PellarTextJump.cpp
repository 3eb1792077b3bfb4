#include "text/PellarTextJump.h"

#include <cmath>

namespace {

// A vertical jump of half this many line heights is a line break, a whole one two.
constexpr double BreakFactor = 1.7;

}  // namespace

TTextJump JudgeMove(const TTextMove& move, double halfSpace, double lineHeight) {
  TTextJump jump;
  if (move.Vertical) {
    jump.Breaks = std::fabs(move.Across) >= halfSpace ? 1 : 0;
    return jump;
  }
  if (std::fabs(move.Across) >= BreakFactor * lineHeight / 2) {
    jump.Breaks = 1;
    if ((move.Absolute ? std::fabs(move.Across) : move.Across) >= BreakFactor * lineHeight) jump.Breaks = 2;
  }
  // Back by less than a line height to a point after the start of the last text: a copy
  // printed again at its own start (as rotated copies of a label are) stays a word apart.
  const bool backInside =
      jump.Breaks == 0 && move.Along < 0 && move.Along > -move.ShownLength && -move.Along < lineHeight;
  jump.Space = std::fabs(move.Along) >= halfSpace && !backInside;
  return jump;
}
