#include "text/PellarTextJump.h"

#include "text/PellarTextCursor.h"

#include <gtest/gtest.h>

TEST(PellarTextJump, MovesAndWhatTheyMean) {
  // Half a space of 1.5, line height 12: a break from 10.2 across, a second from 20.4.
  struct Case {
    TTextMove Move;
    bool Space;
    int Breaks;
  };
  const Case cases[] = {
      {{1.49, 0, 6, false}, false, 0},     // a kern within a word
      {{1.5, 0, 6, false}, true, 0},       // half a space
      {{-1.5, 0, 0, false}, true, 0},      // back, but nothing was shown there
      {{-5.9, 2.1, 6, false}, false, 0},   // back into the text just shown, raised: no gap
      {{-5.99, -1, 6, false}, false, 0},   // back to just after its start
      {{-6, 0, 6, false}, true, 0},        // back to its start: printed again
      {{-6.1, 0, 6, false}, true, 0},      // back beyond its start
      {{-12, 0, 30, false}, true, 0},      // back inside, but by a line height
      {{-6, -14, 6, false}, true, 1},      // the next line's start: a space, one break
      {{0, -10.19, 6, false}, false, 0},   // across, short of a break
      {{0, -30, 6, false}, false, 1},      // far down: one break
      {{0, 20.4, 6, false}, false, 2},     // up: two
      {{0, -20.4, 6, true}, false, 2},     // down after a text matrix: two
      {{-3, 10.2, 6, false}, true, 1},     // back inside the text, but on another line
      // Down a vertical column: moves along it join; half a space across starts a new line.
      {{40, 1.49, 6, false, true}, false, 0},
      {{-30, -1.5, 6, true, true}, false, 1},
  };
  for (const Case& c : cases) {
    const TTextJump jump = JudgeMove(c.Move, 1.5, 12);
    EXPECT_EQ(jump.Space, c.Space) << c.Move.Along << " " << c.Move.Across;
    EXPECT_EQ(jump.Breaks, c.Breaks) << c.Move.Along << " " << c.Move.Across;
  }
}

TEST(PellarTextCursor, OneNetMoveAlongTheTextDirection) {
  TTextCursor cursor;
  // Upwards text: "ab" 10 long, then a jump to the line start and back to 1 past its end.
  cursor.SetMatrix(0, 2, -2, 0, 100, 50);
  cursor.StartShown();
  cursor.Advance(10, 0.5);
  cursor.EndShown();
  cursor.MoveLine(-30, 0);
  cursor.MoveLine(35.25, 0.5);
  std::optional<TTextMove> move = cursor.TakeMove();
  ASSERT_TRUE(move);
  EXPECT_DOUBLE_EQ(move->Along, 1);
  EXPECT_DOUBLE_EQ(move->Across, 1);
  EXPECT_DOUBLE_EQ(move->ShownLength, 9.5);
  EXPECT_TRUE(move->Absolute);
  EXPECT_FALSE(cursor.TakeMove());
  // The next line starts below through the matrix, and is measured from there.
  cursor.NextLine(12);
  EXPECT_DOUBLE_EQ(cursor.X(), 123);
  EXPECT_DOUBLE_EQ(cursor.Y(), 60.5);
  EXPECT_FALSE(cursor.TakeMove());
  // A row of length 0 keeps scale 1 along x.
  cursor.SetMatrix(0, 0, 1, 1, 0, 0);
  EXPECT_DOUBLE_EQ(cursor.Scale(), 1);
}
