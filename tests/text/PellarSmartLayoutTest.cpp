#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "pdf/PellarConvert.h"
#include "text/PellarTextFunnel.h"

namespace {

const TPDFTextFunnel::TMatrix Identity{1, 0, 0, 1, 0, 0};

// A block of its own from (left, bottom) to (right, top) in user space (y upwards), its text
// printed at the given size with its characters evenly spread.
void AddBox(TPDFTextFunnel& f, const std::u16string& text, double left, double bottom, double right, double top,
            double size = 12) {
  f.SetMergeAllowed(false);
  f.AddPiece(Identity, text, "#000000", "F1", size, left, bottom, right - left, top - bottom,
             std::vector<double>(text.size(), 1));
}

std::string Smart(TPDFTextFunnel& f) {
  f.LayoutBlocks();
  std::u16string out;
  f.WriteSmartText(out);
  return std::string(out.begin(), out.end());
}

std::string Blank(size_t lines) {
  std::string out;
  for (size_t i = 0; i < lines; ++i) out += "\r\n";
  return out;
}

std::string Spaces(size_t n) { return std::string(n, ' '); }

struct TBox {
  std::u16string Text;
  double Left, Bottom, Right, Top;
  double Size = 12;
};

}  // namespace

TEST(SmartLayout, Pages) {
  // Lines of 12 points on a 792-point page: top 92 is line round(92 / 8) = 12.
  struct {
    const char* Name;
    std::vector<TBox> Boxes;
    std::string Expected;
  } cases[] = {
      {"no text", {}, ""},
      {"one block", {{u"Hello", 72, 688, 102, 700}}, Blank(10) + Spaces(15) + "Hello\r\n"},
      {"two blocks on one line",
       {{u"Hello", 72, 688, 102, 700}, {u"World", 142, 688, 172, 700}},
       Blank(10) + Spaces(15) + "Hello" + Spaces(9) + "World\r\n"},
      // Columns would overlap: one space when the gap is narrow for the height, else two.
      {"touching blocks", {{u"Hello", 72, 688, 80, 700}, {u"World", 82, 688, 90, 700}},
       Blank(10) + Spaces(15) + "Hello World\r\n"},
      // Within a tenth of the height the second block continues the first: another font or
      // colour inside a word.
      {"continuing blocks", {{u"(", 72, 688, 80, 700}, {u"git", 81, 688, 90, 700}, {u")", 90, 688, 92, 700}},
       Blank(10) + Spaces(15) + "(git)\r\n"},
      {"touching blocks with a gap", {{u"Hello", 72, 688, 80, 700}, {u"World", 85, 688, 90, 700}},
       Blank(10) + Spaces(15) + "Hello  World\r\n"},
      {"overlapping blocks", {{u"Left", 72, 688, 150, 700}, {u"Over", 140, 688, 200, 700}},
       Blank(10) + Spaces(15) + "Left\r\n" + Spaces(29) + "Over\r\n"},
      {"later line", {{u"One", 72, 688, 102, 700}, {u"Two", 72, 600, 102, 612}},
       Blank(10) + Spaces(15) + "One\r\n" + Blank(8) + Spaces(15) + "Two\r\n"},  // top 180: line 22
      // Created first, "Two" still follows "One", which is further left and anchors the line.
      {"chain order", {{u"Two", 300, 688, 330, 700}, {u"One", 72, 688, 102, 700}},
       Blank(10) + Spaces(15) + "One" + Spaces(43) + "Two\r\n"},
      // A tall block does not anchor a line, so the small block right of it gets its own.
      {"tall block", {{u"Tall", 50, 492, 60, 712}, {u"small", 100, 530, 120, 542}},
       Blank(8) + Spaces(11) + "Tall\r\n" + Blank(19) + Spaces(21) + "small\r\n"},
      // ... but a tall block joins the line of an anchor near its centre.
      {"tall block on a line", {{u"Line", 72, 596, 100, 608}, {u"Tall", 200, 492, 210, 712}},
       Blank(21) + Spaces(15) + "Line" + Spaces(22) + "Tall\r\n"},
      {"above the page", {{u"up", 72, 800, 90, 812}}, Spaces(15) + "up\r\n"},
      {"far below the page", {{u"down", 72, -9300, 90, -9288}}, Blank(1248) + Spaces(15) + "down\r\n"},
      {"very far below", {{u"down", 72, -1e12, 90, -1e12 + 12}}, Blank(1248) + Spaces(15) + "down\r\n"},
      {"far right", {{u"right", 1e9, 688, 1e9 + 30, 700}}, Blank(10) + Spaces(2001) + "right\r\n"},
      {"far left", {{u"left", -1e9, 688, -1e9 + 30, 700}}, Blank(10) + Spaces(1) + "left\r\n"},
      {"trailing blanks", {{u"a \t ", 72, 688, 102, 700}}, Blank(10) + Spaces(15) + "a\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFTextFunnel f;
    f.PageWidth = 612;
    f.PageHeight = 792;
    for (const TBox& b : c.Boxes) AddBox(f, b.Text, b.Left, b.Bottom, b.Right, b.Top, b.Size);
    EXPECT_EQ(Smart(f), c.Expected);
  }
}

// Indices, exponents and marks, printed smaller than their line, stay on it at their place.
TEST(SmartLayout, SmallerBlocksStayOnTheirLine) {
  // Lines of 12-point text 14 points apart (rows 92 to 104 and 106 to 118): output lines 12 and 13.
  const std::string at12 = Blank(10) + Spaces(15);
  struct {
    const char* Name;
    std::vector<TBox> Boxes;
    std::string Expected;
  } cases[] = {
      // Its centre is nearer the next line's (112) than its own tall line's (87).
      {"index of a tall line",
       {{u"Big", 72, 688, 122, 722, 30}, {u"2", 122, 688, 126, 696, 8}, {u"small", 72, 674, 102, 686}},
       Blank(7) + Spaces(15) + "Big2\r\n" + Blank(2) + Spaces(15) + "small\r\n"},
      {"exponent standing off its base", {{u"y", 72, 688, 78, 700}, {u"2", 79, 694, 83, 702, 8}}, at12 + "y2\r\n"},
      {"line number before its line", {{u"12", 60, 690, 70, 698, 7}, {u"code", 72, 688, 100, 700, 9}},
       Blank(10) + Spaces(13) + "12 code\r\n"},
      // Inside a block of its line, which reaches over it.
      {"mark within a block",
       {{u"itself. For", 72, 688, 120, 700}, {u"1", 100, 685, 104, 691, 7}, {u"every", 72, 674, 102, 686}},
       at12 + "itself.1 For\r\n" + Spaces(15) + "every\r\n"},
      // Straddling the gap: it goes with the line whose rows come nearest its centre.
      {"index between two lines",
       {{u"upper", 72, 688, 102, 700}, {u"lower", 72, 674, 102, 686}, {u"i", 110, 682, 113, 691, 6}},
       at12 + "upper   i\r\n" + Spaces(15) + "lower\r\n"},
      // The logo: a smaller A pulled back under the L, then a lowered E reaching back over the T.
      {"LaTeX", {{u"LT", 72, 688, 86, 700}, {u"A", 77, 692, 83, 700, 8.5}, {u"EX", 85, 686, 99, 698}},
       at12 + "LATEX\r\n"},
      // Left of its line, the mark used to claim the line's rows first and take a line of its
      // own; it leads the line now, whose place its top decides.
      {"mark before its line", {{u"1", 72, 694, 76, 702, 8}, {u"Note", 76, 688, 100, 700}},
       Blank(9) + Spaces(15) + "1Note\r\n"},
      {"marks before their line",
       {{u"a", 72, 694, 76, 702, 8}, {u"b", 74, 694, 78, 702, 8}, {u"c", 80, 694, 84, 702, 8},
        {u"Note", 90, 688, 110, 700}},
       Blank(9) + Spaces(15) + "ab  c  Note\r\n"},
      {"index of an index", {{u"x", 72, 688, 78, 700}, {u"n", 78, 685, 83, 693, 8}, {u"k", 83, 683, 86, 688, 6}},
       at12 + "xnk\r\n"},
      // The index was set over the closing bracket: the bracket goes into it at its place.
      {"bracket inside an index", {{u"(x", 72, 688, 84, 700}, {u"n n", 84, 685, 100, 693, 8}, {u")", 88, 688, 92, 700}},
       at12 + "(xn) n\r\n"},
      // As large as its neighbours, a line close under another stays a line of its own.
      {"a real second line", {{u"upper", 72, 688, 102, 700}, {u"lower", 110, 678, 140, 690}},
       at12 + "upper\r\n" + Spaces(23) + "lower\r\n"},
      {"a line in the next size down", {{u"upper", 72, 688, 102, 700}, {u"lower", 110, 679, 140, 690, 11}},
       at12 + "upper\r\n" + Spaces(23) + "lower\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFTextFunnel f;
    f.PageHeight = 792;
    for (const TBox& b : c.Boxes) AddBox(f, b.Text, b.Left, b.Bottom, b.Right, b.Top, b.Size);
    EXPECT_EQ(Smart(f), c.Expected);
  }
}

TEST(SmartLayout, LongLinesKeepTheirText) {
  TPDFTextFunnel f;
  f.PageHeight = 792;
  std::u16string longText(100, u'x');
  longText.back() = u'!';
  AddBox(f, longText, 2400, 688, 2500, 700);  // column 480: runs past 500 characters
  std::string out = Smart(f);
  ASSERT_EQ(out.size(), 20u + 481 + 100 + 2);
  EXPECT_EQ(out.substr(20 + 481), std::string(99, 'x') + "!\r\n");
}

TEST(SmartLayout, EqualBoxesKeepCreationOrder) {
  for (int round = 0; round < 2; ++round) {
    TPDFTextFunnel f;
    f.PageHeight = 792;
    AddBox(f, round == 0 ? u"A" : u"B", 72, 688, 102, 700);
    AddBox(f, round == 0 ? u"B" : u"A", 72, 688, 102, 700);
    const std::string first = round == 0 ? "A" : "B", second = round == 0 ? "B" : "A";
    EXPECT_EQ(Smart(f), Blank(10) + Spaces(15) + first + "\r\n" + Spaces(15) + second + "\r\n");
    EXPECT_EQ(f.LayoutList(), (std::vector<int32_t>{0, 1}));
  }
}

TEST(SmartLayout, LayoutFields) {
  TPDFTextFunnel f;
  f.PageHeight = 792;
  AddBox(f, u"b", 72.5, 688.5, 101.5, 699.5);  // ties go to even: 72, 92 (92.5), 102, 104 (103.5)
  AddBox(f, u"a", 10, 688, 20, 700);
  AddBox(f, u"c", 300, 100, 310, 105);  // half its height, 2.5, rounds to 2
  f.LayoutBlocks();
  const TPDFTextFunnelBlock &b = f.Blocks()[0], &a = f.Blocks()[1], &c = f.Blocks()[2];
  EXPECT_EQ(std::vector<int32_t>({b.Left, b.Top, b.Right, b.Bottom, b.Width, b.Height, b.CentreX, b.CentreY}),
            std::vector<int32_t>({72, 92, 102, 104, 30, 12, 87, 98}));
  EXPECT_EQ(std::vector<int32_t>({c.Top, c.Height, c.CentreY}), std::vector<int32_t>({687, 5, 689}));
  EXPECT_EQ(f.LayoutList(), (std::vector<int32_t>{1, 0, 2}));
  // "a" (position 0) anchors the line and "b" (position 1) follows it.
  EXPECT_EQ(std::vector<int32_t>({a.Previous, a.Next, b.Previous, b.Next, c.Previous, c.Next}),
            std::vector<int32_t>({-1, 1, 0, -1, -1, -1}));
}

TEST(SmartLayout, WritesWithoutAnExplicitLayout) {
  TPDFTextFunnel f;
  f.PageHeight = 792;
  AddBox(f, u"one", 72, 688, 102, 700);
  std::u16string out;
  f.WriteSmartText(out);
  EXPECT_EQ(out, u"\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n               one\r\n");
  AddBox(f, u"two", 142, 688, 172, 700);  // the layout is out of date now
  f.WriteSmartText(out);
  EXPECT_NE(out.find(u"one           two"), std::u16string::npos);
}

namespace {

// The chains as a direct reading of the layout rules: a linear search for the closest anchor
// and a full walk along the chain for every block.
struct TRefLayout {
  struct TBoxFields {
    int32_t Left, Top, Right, Bottom, Height, CentreY;
    int32_t Previous = -1, Next = -1;
  };
  std::vector<int32_t> Order;
  std::vector<TBoxFields> At;  // by position

  TRefLayout(const TPDFTextFunnel& f) {
    std::vector<TBoxFields> boxes;
    for (const TPDFTextFunnelBlock& b : f.Blocks()) {
      auto r = [](double v) { return static_cast<int32_t>(std::nearbyint(v)); };
      TBoxFields x{r(b.P0.X), r(f.PageHeight - b.P2.Y), r(b.P2.X), r(f.PageHeight - b.P0.Y), 0, 0};
      x.Height = x.Bottom - x.Top;
      x.CentreY = x.Top + r(x.Height / 2.0);
      boxes.push_back(x);
      Order.push_back(static_cast<int32_t>(Order.size()));
    }
    std::stable_sort(Order.begin(), Order.end(), [&](int32_t a, int32_t b) {
      return boxes[a].Left != boxes[b].Left ? boxes[a].Left < boxes[b].Left : boxes[a].Top < boxes[b].Top;
    });
    for (int32_t i : Order) At.push_back(boxes[static_cast<size_t>(i)]);

    std::vector<int32_t> rows(10000, -1);
    std::vector<std::pair<int32_t, int32_t>> anchors;
    for (int32_t i = 0; i < static_cast<int32_t>(At.size()); ++i) {
      if (At[i].Height > 175) continue;
      int count = 0;
      for (int32_t y = At[i].Top; y <= At[i].Bottom; ++y)
        if (y >= 0 && y < 10000 && rows[y] == -1) {
          rows[y] = i;
          ++count;
        }
      if (count > 0 && count > At[i].Height / 2.0) anchors.push_back({At[i].CentreY, i});
    }
    for (int32_t i = 0; i < static_cast<int32_t>(At.size()); ++i) {
      int32_t p = -1, best = 9999;
      for (const auto& a : anchors)
        if (std::abs(a.first - At[i].CentreY) < best) {
          best = std::abs(a.first - At[i].CentreY);
          p = a.second;
        }
      if (p == -1 || p == i) continue;
      std::vector<bool> seen(At.size());
      seen[p] = true;
      while (At[p].Next != -1 && At[At[p].Next].Previous == p && !seen[At[p].Next]) {
        seen[At[p].Next] = true;
        p = At[p].Next;
      }
      if (At[p].Next == i || At[p].Right >= At[i].Left + 5) continue;
      if (At[p].Next == -1) {
        if (At[i].Previous == -1) At[i].Previous = p;
        At[p].Next = i;
      } else {
        int32_t q = At[p].Next;
        if (std::abs(At[i].CentreY - At[p].CentreY) < std::abs(At[q].CentreY - At[p].CentreY)) {
          At[q].Previous = -1;
          At[i].Previous = p;
          At[p].Next = i;
        }
      }
    }
    for (int32_t i = 0; i < static_cast<int32_t>(At.size()); ++i)
      if (At[i].Next != -1) At[At[i].Next].Previous = i;
  }
};

// The block texts of the output, each "b" and a number: touching blocks are written without a
// blank between them, so a "b" starts a text too.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + " ") {
    if (c == 'b' && !word.empty()) {
      words.push_back(word);
      word = c;
    } else if (static_cast<unsigned char>(c) > ' ') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  std::sort(words.begin(), words.end());
  return words;
}

}  // namespace

// Random pages with many blocks per line, boxes of any height and boxes drawn right to left:
// the chains match the direct reading, and every block's text is written exactly once.
TEST(SmartLayout, ChainsLikeTheDirectReading) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    static const int heights[] = {-5, 0, 3, 12, 12, 12, 12, 30, 176, 250};
    static const int widths[] = {-60, -20, -3, 0, 4, 10, 30, 30, 30, 80, 200};
    TPDFTextFunnel f;
    f.PageHeight = 792;
    std::vector<std::string> texts;
    const int blocks = seed % 15 == 0 ? 2000 : 150;
    const int lines = pick(1, 40);
    for (int i = 0; i < blocks; ++i) {
      double bottom = seed % 3 == 0 ? pick(-500, 11000) : 700 - 14 * pick(0, lines) + pick(-3, 3);
      double left = pick(-40, 600);
      double height = heights[pick(0, 9)];
      double width = widths[pick(0, 10)];
      texts.push_back("b" + std::to_string(i));
      AddBox(f, AsciiToWide(texts.back()), left, bottom, left + width, bottom + height);
    }
    std::string out = Smart(f);
    TRefLayout ref(f);
    ASSERT_EQ(f.LayoutList(), ref.Order);
    for (size_t p = 0; p < ref.At.size(); ++p) {
      const TPDFTextFunnelBlock& b = f.Blocks()[static_cast<size_t>(f.LayoutList()[p])];
      EXPECT_EQ(b.Previous, ref.At[p].Previous) << p;
      EXPECT_EQ(b.Next, ref.At[p].Next) << p;
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(Words(out), texts);
    if (HasFailure()) return;
  }
}

// Random pages of blocks in many sizes, indices inside blocks and between lines: every
// character of every block is written exactly once, whichever block takes it in.
TEST(SmartLayout, EveryCharacterOnceWhateverTheSizes) {
  static const double sizes[] = {5, 7, 8, 10, 12, 12, 20};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    TPDFTextFunnel f;
    f.PageHeight = 792;
    std::u16string all, written;
    for (int i = 0; i < 300; ++i) {
      std::u16string text;
      for (int k = pick(1, 4); k > 0; --k) text += static_cast<char16_t>(0x4E00 + all.size() + text.size());
      all += text;
      const double size = sizes[pick(0, 6)], bottom = 700 - 14 * pick(0, 30) + pick(-6, 6), left = pick(0, 500);
      AddBox(f, text, left, bottom, left + pick(-5, 60), bottom + size * pick(5, 12) / 10.0, size);
    }
    f.WriteSmartText(written);
    written.erase(std::remove_if(written.begin(), written.end(), [](char16_t c) { return c <= u' '; }), written.end());
    std::sort(written.begin(), written.end());
    ASSERT_EQ(written, all) << seed;
  }
}

// Columns of vertical writing (blocks whose text runs down): each column is a line of its
// own, the columns of a passage right to left from the passage's top, whatever order they
// were drawn in; they join no line of horizontal text.
TEST(SmartLayout, VerticalColumns) {
  // A column centred on x with its top at y, `length` points long and 12 wide.
  auto column = [](TPDFTextFunnel& f, const std::u16string& text, double x, double top, double length) {
    f.SetMergeAllowed(false);
    f.AddPiece({0, -1, 1, 0, x, top}, text, "#000000", "F1", 12, 0, -6, length, 12,
               std::vector<double>(text.size(), 1));
  };
  TPDFTextFunnel f;
  f.PageWidth = 612;
  f.PageHeight = 792;
  AddBox(f, u"Title", 72, 688, 102, 700);
  column(f, u"left", 360, 680, 100);
  column(f, u"right", 400, 690, 100);
  column(f, u"middle", 380, 680, 60);
  AddBox(f, u"Beside", 72, 660, 102, 672);  // top 120, within the passage
  column(f, u"apart", 200, 680, 100);       // too far left: a passage of its own
  column(f, u"lower", 340, 500, 100);       // below the passage's columns
  AddBox(f, u"note", 72, 640, 92, 646, 8);  // smaller than the columns beside it: still a line
  // Column left edges 394, 374, 354, 194 and 334 are columns 79, 75, 71, 39 and 67; the lower
  // column's top, 292, is line 36.
  EXPECT_EQ(Smart(f), Blank(10) + Spaces(15) + "Title\r\n" + Spaces(80) + "right\r\n" + Spaces(76) + "middle\r\n" +
                          Spaces(72) + "left\r\n" + Spaces(40) + "apart\r\n" + Spaces(15) + "Beside\r\n" + Spaces(15) +
                          "note\r\n" + Blank(16) + Spaces(68) + "lower\r\n");
}
