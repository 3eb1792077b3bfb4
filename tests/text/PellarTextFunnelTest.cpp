#include "text/PellarTextFunnel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const TPDFTextFunnel::TMatrix Identity{1, 0, 0, 1, 0, 0};

struct TWord {
  std::u16string Text;
  double X = 0, Y = 0, W = 30;
  std::string Font = "F1";
  std::string Colour = "#000000";
  TPDFTextFunnel::TMatrix M = Identity;
  double Size = 12;
  double Space = 0;  // the font's space; 0: not known
};

// Identity-matrix pieces are given in user space; each character is W / length wide.
void Add(TPDFTextFunnel& f, const TWord& w) {
  std::vector<double> widths(w.Text.size(), w.Text.empty() ? 0 : w.W / static_cast<double>(w.Text.size()));
  f.AddPiece(w.M, w.Text, w.Colour, w.Font, w.Size, w.X, w.Y, w.W, 12, widths, w.Space);
}

std::vector<std::u16string> Texts(const TPDFTextFunnel& f) {
  std::vector<std::u16string> out;
  for (const auto& b : f.Blocks()) out.push_back(b.Text);
  return out;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::string Csv(const TPDFTextFunnel& f) {
  std::u16string out;
  f.WriteCsv(out);
  return Narrow(out);
}

// Pieces added in order, each at size 12 in a font whose space is 3 units (a quarter em), and
// the texts of the blocks they make.
struct TPage {
  const char* Name;
  std::vector<TWord> Words;
  std::vector<std::u16string> Expected;
  bool NoGapJoin = false;
};

void ExpectBlocks(const std::vector<TPage>& pages) {
  for (const TPage& page : pages) {
    TPDFTextFunnel f;
    f.NoGapJoin = page.NoGapJoin;
    for (TWord w : page.Words) {
      w.Space = 3;
      Add(f, w);
    }
    EXPECT_EQ(Texts(f), page.Expected) << page.Name;
  }
}

}  // namespace

// "Hello" ends at x = 0; "World" starts d units further on, dy units up, at size 12.
TEST(TextFunnel, MergeThresholds) {
  using Texts_t = std::vector<std::u16string>;
  struct {
    double D, Dy;
    bool NoGapJoin;
    double GapFactor;
    Texts_t Expected;
  } cases[] = {
      {0, 0, false, 0.7, {u"HelloWorld"}},
      {3.1, 0, false, 0.7, {u"HelloWorld"}},      // adjacent: below 12 / 3.75 = 3.2
      {3.2, 0, false, 0.7, {u"HelloWorld"}},      // narrowly gapped: below 12 * 0.3 = 3.6
      {3.5, 0, false, 0.7, {u"HelloWorld"}},
      {3.6, 0, false, 0.7, {u"Hello World"}},     // gapped
      {11.9, 0, false, 0.7, {u"Hello World"}},
      {12, 0, false, 0.7, {u"Hello", u"World"}},  // too far
      {-2, 0, false, 0.7, {u"HelloWorld"}},       // overlapping pieces still continue
      {3.1, 0, true, 0.7, {u"HelloWorld"}},       // no gap, so no-gap-join still joins
      {3.2, 0, true, 0.7, {u"Hello", u"World"}},
      {5, 0, true, 0.7, {u"Hello", u"World"}},
      {12, 0, true, 0.7, {u"Hello", u"World"}},
      {5, 0, false, 1.4, {u"HelloWorld"}},        // a larger gap factor widens the narrow gap
      {3.3, 0, false, 0, {u"Hello World"}},
      {5, 1.9, false, 0.7, {u"Hello World"}},     // about the same line
      {5, 2, false, 0.7, {u"Hello", u"World"}},
      {5, -2.5, false, 0.7, {u"Hello", u"World"}},
      {0, 2.5, false, 0.7, {u"HelloWorld"}},      // adjacent does not ask for the same line
      {-30, -14, false, 0.7, {u"Hello", u"World"}},  // the next line never joins
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "d=" << c.D << " dy=" << c.Dy << " nogap=" << c.NoGapJoin);
    TPDFTextFunnel f;
    f.NoGapJoin = c.NoGapJoin;
    f.GapFactor = c.GapFactor;
    Add(f, {u"Hello", -30, 100});
    Add(f, {u"World", c.D, 100 + c.Dy, 25});
    EXPECT_EQ(Texts(f), c.Expected);
  }
}

// "Hello" ends at 0; "World" starts d units further on.
TEST(TextFunnel, WordGapsByTheFontsSpace) {
  const TWord hello{u"Hello", -30, 0};
  ExpectBlocks({
      {"a full space, below 12 / 3.75", {hello, {u"World", 3, 0}}, {u"Hello World"}},
      {"half a space", {hello, {u"World", 1.5, 0}}, {u"Hello World"}},
      {"below half a space", {hello, {u"World", 1.4, 0}}, {u"HelloWorld"}},
      {"a kern back", {hello, {u"World", -2, 0}}, {u"HelloWorld"}},
      {"a little higher, no gap", {hello, {u"World", 0, 2.5}}, {u"HelloWorld"}},
      {"a blank at the start is the space", {hello, {u" World", 3, 0}}, {u"Hello World"}},
      {"no-gap-join keeps words apart", {hello, {u"World", 3, 0}}, {u"Hello", u"World"}, true},
      {"no-gap-join joins a kern", {hello, {u"World", 1, 0}}, {u"HelloWorld"}, true},
  });
}

// "A" ends at 10, a blank piece follows, "B" starts at 11.
TEST(TextFunnel, BlankPiecesPartWords) {
  const TWord a{u"A", 0, 0, 10}, b{u"B", 11, 0, 10}, nbsp{u"\u00A0", 10, 0, 1, "F2"};
  ExpectBlocks({
      {"a no-break space in its own font", {a, nbsp, b}, {u"A B", u"\u00A0"}},
      {"a space in the same font is not doubled", {a, {u" ", 10, 0, 1}, b}, {u"A B"}},
      {"a blank far off parts nothing", {a, {u" ", 300, 0, 1, "F2"}, {u"B", 10, 0, 10}}, {u"AB", u" "}},
      {"only the piece right after it", {a, nbsp, b, {u"C", 21, 0, 10}}, {u"A BC", u"\u00A0"}},
  });
}

// Of the blocks a piece could continue, the one whose end is nearest its start takes it: a
// table cell's clipped trailing blanks can end where the next column's digits begin.
TEST(TextFunnel, NearestBlockWins) {
  auto page = [](const char* name, double firstEnd, double secondEnd, std::vector<std::u16string> expected) {
    return TPage{name, {{u"cell   ", firstEnd - 30, 0}, {u"03/25/20", secondEnd - 40, 0, 40}, {u"16", 100, 0, 10}},
                 expected};
  };
  ExpectBlocks({
      page("the later block is nearer", 99, 100, {u"cell   ", u"03/25/2016"}),
      page("the earlier block is nearer", 100, 99.5, {u"cell   16", u"03/25/20"}),
      page("equally near: the earlier", 99, 101, {u"cell   16", u"03/25/20"}),
      page("both across a gap, the nearer", 92, 95, {u"cell   ", u"03/25/20 16"}),
  });
}

// "0" ends at 6 and "1" starts at 9 in font F1; the second piece is drawn in between.
TEST(TextFunnel, NoJoinAcrossOtherText) {
  const TWord zero{u"0", 0, 0, 6}, one{u"1", 9, 0, 6};
  const TPDFTextFunnel::TMatrix upright{0, 1, -1, 0, 0, 0};
  ExpectBlocks({
      {"a point in another font", {zero, {u".", 6, 0, 3, "F2"}, one}, {u"0", u".", u"1"}},
      {"a point in the same font", {zero, {u".", 6, 0, 3}, one}, {u"0.1"}},
      {"other text on the line above", {zero, {u".", 6, 14, 3, "F2"}, one}, {u"0 1", u"."}},
      {"other text before the end", {zero, {u".", -5, 0, 3, "F2"}, one}, {u"0 1", u"."}},
      {"a subscript in another font", {zero, {u"2", 6, -3, 3, "F2", "#000000", Identity, 7}, one},
       {u"0", u"2", u"1"}},
      {"rotated text between", {zero, {u".", 4.5, -13.5, 3, "F2", "#000000", upright}, one}, {u"0", u".", u"1"}},
  });
}

TEST(TextFunnel, MergedBlockKeepsItsStartAndTakesTheNewEnd) {
  TPDFTextFunnel f;
  Add(f, {u"Hello", -30, 100, 30, "F1", "#000000", Identity, 12});
  Add(f, {u"World", 5, 100.5, 25, "F1", "#000000", Identity, 14});
  ASSERT_EQ(f.Blocks().size(), 1u);
  const TPDFTextFunnelBlock& b = f.Blocks()[0];
  EXPECT_EQ(b.Text, u"Hello World");
  // The space is as wide as the gap.
  EXPECT_EQ(b.Widths, (std::vector<double>{6, 6, 6, 6, 6, std::hypot(5, 0.5), 5, 5, 5, 5, 5}));
  EXPECT_EQ(b.P0.X, -30);
  EXPECT_EQ(b.P0.Y, 100);
  EXPECT_EQ(b.P3.Y, 112);
  EXPECT_EQ(b.P1.X, 30);
  EXPECT_EQ(b.P1.Y, 100.5);
  EXPECT_EQ(b.P2.Y, 112.5);
  EXPECT_EQ(b.Size, 12);  // the first piece's
}

TEST(TextFunnel, AttributesThatKeepPiecesApart) {
  const TPDFTextFunnel::TMatrix slanted{1, 0, 0.25, 1, 0, 0}, rotated{0, 1, -1, 0, 0, 0};
  // Concatenated, both matrices read "10012"; they are still different matrices.
  const TPDFTextFunnel::TMatrix tall{1, 0, 0, 12, 0, 0}, sheared{10, 0, 1, 2, 0, 0};
  // "World" in the first piece's font and colour, drawn through the matrix given.
  const auto through = [](TPDFTextFunnel::TMatrix m) { return TWord{u"World", 0, 0, 30, "F1", "#000000", m}; };
  struct {
    const char* Name;
    TWord Second;
    TPDFTextFunnel::TMatrix FirstMatrix;
    bool IgnoreFont, IgnoreColour, IgnoreMatrix;
    size_t Blocks;
  } cases[] = {
      {"colour", {u"World", 0, 0, 30, "F1", "#FF0000"}, Identity, false, false, false, 2},
      {"colour ignored", {u"World", 0, 0, 30, "F1", "#FF0000"}, Identity, false, true, false, 1},
      {"font", {u"World", 0, 0, 30, "F2"}, Identity, false, false, false, 2},
      {"font ignored", {u"World", 0, 0, 30, "F2"}, Identity, true, false, false, 1},
      {"font ignored, colour not", {u"World", 0, 0, 30, "F2", "#FF0000"}, Identity, true, false, false, 2},
      {"another direction", through(rotated), Identity, false, false, false, 2},
      {"matrix ignored", through(rotated), Identity, false, false, true, 1},
      {"mirrored", through({1, 0, 0, -1, 0, 0}), Identity, false, false, false, 2},
      {"another height", through({1, 0, 0, 1.1, 0, 0}), Identity, false, false, false, 2},
      // Glyphs placed one by one, each with its own scale (an OCR layer), still make words.
      {"another horizontal scale", through({0.8, 0, 0, 1, 0, 0}), Identity, false, false, false, 1},
      {"slanted at the same height", through(slanted), Identity, false, false, false, 1},
      {"same text, other matrix", {u"World", 0, 0, 3, "F1", "#000000", sheared}, tall, false, false, false, 2},
      {"tiny difference", through({1.00004, 0, 0, 1, 0, 0}), Identity, false, false, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFTextFunnel f;
    f.IgnoreFont = c.IgnoreFont;
    f.IgnoreColour = c.IgnoreColour;
    f.IgnoreMatrix = c.IgnoreMatrix;
    TWord first{u"Hello", -30, 0};  // ends at (0, 0) through every first matrix here
    first.M = c.FirstMatrix;
    Add(f, first);
    Add(f, c.Second);
    EXPECT_EQ(f.Blocks().size(), c.Blocks);
  }
}

TEST(TextFunnel, MatrixText) {
  struct {
    TPDFTextFunnel::TMatrix M;
    const char* Expected;
  } cases[] = {
      {Identity, "1001"},
      {{0.012, 0, 0, 0.012, 5, 6}, "0.012000.012"},
      {{1.23456, -0.5, 0.00004, 2, 0, 0}, "1.2346-0.502"},
      {{1, 0, 0, 12, 0, 0}, "10012"},
  };
  for (const auto& c : cases) {
    TPDFTextFunnel f;
    f.AddPiece(c.M, u"x", "#000000", "F1", 12, 0, 0, 1, 1, {500});
    ASSERT_EQ(f.Blocks().size(), 1u);
    EXPECT_EQ(f.Blocks()[0].MatrixText, c.Expected);
    EXPECT_EQ(f.Blocks()[0].Widths, (std::vector<double>{500 * c.M[0]}));
  }
}

TEST(TextFunnel, MergePermissionAndCreationOrder) {
  TPDFTextFunnel f;
  Add(f, {u"A", -30, 0});
  f.SetMergeAllowed(false);
  EXPECT_FALSE(f.IsMergeAllowed());
  Add(f, {u"B", -20, 0, 20});  // not merged, though it starts right after "A" ends
  EXPECT_TRUE(f.IsMergeAllowed());
  Add(f, {u"C", 0, 0});  // "A" and "B" both end at 0: the first created wins
  Add(f, {u"D", 30, 0});
  EXPECT_EQ(Texts(f), (std::vector<std::u16string>{u"ACD", u"B"}));

  // An adjacent block wins over an earlier one that is only gapped.
  TPDFTextFunnel g;
  Add(g, {u"far", -35, 0});   // ends at -5: a gap of 5
  Add(g, {u"near", 0, 50});   // elsewhere, so that it is a block of its own
  Add(g, {u"x", 30, 50});
  Add(g, {u"y", -30, 200});   // ends at 0, 200
  g.SetMergeAllowed(false);
  Add(g, {u"z", -30, 0});     // ends at 0, 0 next to "far"
  Add(g, {u"!", 0, 0});
  EXPECT_EQ(Texts(g), (std::vector<std::u16string>{u"far", u"nearx", u"y", u"z!"}));

  g.Clear();
  EXPECT_TRUE(g.Blocks().empty());
  Add(g, {u"again", 0, 0});
  EXPECT_EQ(Texts(g), (std::vector<std::u16string>{u"again"}));
}

// Text printed again at nearly its own place reads once: the last copy drawn stays.
TEST(TextFunnel, OverprintedTextReadsOnce) {
  const TPDFTextFunnel::TMatrix rotated{0, 1, -1, 0, 0, 0};
  struct {
    const char* Name;
    std::vector<TWord> Words;
    std::vector<std::u16string> Expected;
    std::string LastColour;
  } cases[] = {
      {"a shadow a unit aside", {{u"Head", 1, 1}, {u"Head", 0, 0, 30, "F1", "#FF0000"}}, {u"Head"}, "#FF0000"},
      {"bold faked by three copies", {{u"Bold", 0, 0}, {u"Bold", 0.3, 0}, {u"Bold", 0.6, 0}}, {u"Bold"}, ""},
      {"a fifth of the size away is still a copy", {{u"a", 0, 0}, {u"a", 2.4, 0}}, {u"a"}, ""},
      {"further away, a second word", {{u"a", 0, 0}, {u"a", 0, 20}}, {u"a", u"a"}, ""},
      {"other text at the same place", {{u"one", 0, 0}, {u"two", 0, 0}}, {u"one", u"two"}, ""},
      {"blanks are never copies", {{u" ", 0, 0}, {u" ", 0, 0}}, {u" ", u" "}, ""},
      {"another direction", {{u"up", 0, 0}, {u"up", 0, 0, 30, "F1", "#000000", rotated}}, {u"up", u"up"}, ""},
  };
  for (const auto& c : cases) {
    TPDFTextFunnel f;
    for (const TWord& w : c.Words) {
      f.SetMergeAllowed(false);
      Add(f, w);
    }
    f.DropOverprints();
    EXPECT_EQ(Texts(f), c.Expected) << c.Name;
    if (!c.LastColour.empty()) {
      EXPECT_EQ(f.Blocks().back().Colour, c.LastColour) << c.Name;
    }
  }
}

TEST(TextFunnel, CsvLines) {
  const std::string hello = "\"F1\",#FF0000,10.13,";
  struct {
    const char* Name;
    int32_t Origin;
    double UnitScale;
    std::string Expected;
  } cases[] = {
      {"bottom left", 0, 1, hello + "72.5,700,102.5,700,102.5,712,72.5,712,\"Hello\"\r\n"},
      {"top left", 1, 1, hello + "72.5,92,102.5,92,102.5,80,72.5,80,\"Hello\"\r\n"},
      {"top right", 2, 1, hello + "539.5,92,509.5,92,509.5,80,539.5,80,\"Hello\"\r\n"},
      {"bottom right", 3, 1, hello + "539.5,700,509.5,700,509.5,712,539.5,712,\"Hello\"\r\n"},
      {"scaled", 0, 0.5, hello + "36.25,350,51.25,350,51.25,356,36.25,356,\"Hello\"\r\n"},
      {"scaled top left", 1, 2, hello + "145,184,205,184,205,160,145,160,\"Hello\"\r\n"},
      {"unknown origin", 7, 1, hello + "72.5,700,102.5,700,102.5,712,72.5,712,\"Hello\"\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFTextFunnel f;
    f.Origin = c.Origin;
    f.UnitScale = c.UnitScale;
    f.PageWidth = 612 * c.UnitScale;
    f.PageHeight = 792 * c.UnitScale;
    Add(f, {u"Hello", 72.5, 700, 30, "F1", "#FF0000", Identity, 10.125});
    EXPECT_EQ(Csv(f), c.Expected);
  }
}

TEST(TextFunnel, CsvFieldsAndNumbers) {
  struct {
    const char* Name;
    TWord Word;
    std::string Expected;
  } cases[] = {
      {"quotes and CR", {u"Say \"hi\"\rnow", 1, 2, 3},
       "\"F1\",#000000,12,1,2,4,2,4,14,1,14,\"Say \\\"hi\\\" now\"\r\n"},
      {"LF, comma and backslash stay", {u"a,b\\c\nd", 0, 0, 1},
       "\"F1\",#000000,12,0,0,1,0,1,12,0,12,\"a,b\\c\nd\"\r\n"},
      {"quote in the font", {u"x", 0, 0, 1, "F\"1"}, "\"F\\\"1\",#000000,12,0,0,1,0,1,12,0,12,\"x\"\r\n"},
      {"rounding", {u"", 1.23456, -3.25, 0.00004, "F1", "#000000", Identity, 12.3449},
       "\"F1\",#000000,12.34,1.2346,-3.25,1.2346,-3.25,1.2346,8.75,1.2346,8.75,\"\"\r\n"},
      {"empty text", {u"", 0, 0, 0}, "\"F1\",#000000,12,0,0,0,0,0,12,0,12,\"\"\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFTextFunnel f;
    Add(f, c.Word);
    EXPECT_EQ(Csv(f), c.Expected);
  }
  TPDFTextFunnel empty;
  EXPECT_EQ(Csv(empty), "");
}

TEST(TextFunnel, WidthsLines) {
  struct {
    const char* Name;
    int32_t Origin;
    double UnitScale;
    std::string Widths;
  } cases[] = {
      {"plain", 0, 1, "6,6,6,6,6,5,5,5,5,5,5\r\n"},
      {"scaled", 1, 0.5, "3,3,3,3,3,2.5,2.5,2.5,2.5,2.5,2.5\r\n"},
      // Widths are lengths: an origin on the right mirrors positions, not widths.
      {"origin on the right", 2, 1, "6,6,6,6,6,5,5,5,5,5,5\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFTextFunnel f;
    f.WriteWidths = true;
    f.Origin = c.Origin;
    f.UnitScale = c.UnitScale;
    f.PageWidth = 612;
    f.PageHeight = 792;
    Add(f, {u"Hello", -30, 0});
    Add(f, {u"World", 5, 0, 25});
    Add(f, {u"", 300, 300, 0});  // no widths at all
    std::string csv = Csv(f);
    size_t firstEnd = csv.find("\r\n") + 2;
    size_t secondEnd = csv.find("\r\n", firstEnd) + 2;
    EXPECT_EQ(csv.substr(firstEnd, secondEnd - firstEnd), c.Widths);
    EXPECT_EQ(csv.substr(csv.size() - 6), "\"\"\r\n\r\n");  // the empty block's widths line
  }
}

TEST(TextFunnel, HostileNumbers) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  TPDFTextFunnel f;
  f.PageWidth = 612;
  f.PageHeight = 792;
  // None of these can continue anything, nor be continued.
  const TPDFTextFunnel::TMatrix bad[] = {
      {nan, 0, 0, 1, 0, 0}, {1, 0, 0, 1, inf, 0}, {1, 0, 0, 1, 0, -inf}, {1, 0, 0, 1, nan, nan}};
  for (int round = 0; round < 2; ++round)
    for (const auto& m : bad) f.AddPiece(m, u"x", "#000000", "F1", 12, 0, 0, 0, 0, {1});
  EXPECT_EQ(f.Blocks().size(), 8u);
  // Sizes that are not positive, or not a number, merge nothing; an infinite one merges anything.
  for (double size : {0.0, -12.0, nan}) {
    TPDFTextFunnel g;
    Add(g, {u"a", 0, 0, 10, "F1", "#000000", Identity, size});
    Add(g, {u"b", 10, 0, 10, "F1", "#000000", Identity, size});
    EXPECT_EQ(g.Blocks().size(), 2u) << size;
  }
  TPDFTextFunnel g;
  Add(g, {u"a", 0, 0, 10, "F1", "#000000", Identity, inf});
  Add(g, {u"b", 1e300, -1e300, 10, "F1", "#000000", Identity, inf});
  EXPECT_EQ(Texts(g), (std::vector<std::u16string>{u"ab"}));

  f.WriteWidths = true;
  std::u16string csv;
  f.WriteCsv(csv);
  EXPECT_NE(csv.find(u"\"x\"\r\n"), std::u16string::npos);
  f.LayoutBlocks();
  std::u16string text;
  f.WriteSmartText(text);
  size_t count = 0;
  for (char16_t c : text) count += c == u'x';
  EXPECT_EQ(count, 8u);
}
