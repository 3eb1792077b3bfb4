// The indexed merge must pick exactly the block a plain scan over all blocks in creation
// order picks. The scan below is the reference; random pages compare every block.
#include "text/PellarTextFunnel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "pdf/PellarConvert.h"

namespace {

using TMatrix = TPDFTextFunnel::TMatrix;

struct TRefBlock {
  TPDFFunnelPoint P0, P1, P2, P3;
  std::u16string Text;
  std::vector<double> Widths;
  std::string Font, Colour, Elements[4];
  double Size = 0;
  std::string MergeKey;
};

struct TRefFunnel {
  std::vector<TRefBlock> Blocks;
  std::vector<std::pair<TPDFFunnelPoint, size_t>> Centres;  // of every piece, with its block
  bool MergeAllowed = true;
  int Adjacent = 0, Narrow = 0, Spaced = 0, Refused = 0, Between = 0;  // how pieces met a block

  bool Matches(const TRefBlock& b, const TRefBlock& piece, const TPDFTextFunnel& settings) const {
    if (!settings.IgnoreFont && b.Font != piece.Font) return false;
    if (!settings.IgnoreColour && b.Colour != piece.Colour) return false;
    return settings.IgnoreMatrix || b.MergeKey == piece.MergeKey;
  }

  // Whether the centre of a piece of another block lies between block b's end and the piece's
  // start along the piece's baseline, within the band of both lines across it.
  bool TextBetween(size_t block, const TRefBlock& piece, const TMatrix& m, double size) const {
    const TRefBlock& b = Blocks[block];
    const double scale = std::hypot(m[0], m[1]);
    if (!(scale > 0) || !std::isfinite(scale)) return false;
    const double ax = m[0] / scale, ay = m[1] / scale;
    double ux = -ay, uy = ax;
    if (m[2] * ux + m[3] * uy < 0) ux = -ux, uy = -uy;
    auto across = [&](const TPDFFunnelPoint& p) { return (p.X - b.P1.X) * ux + (p.Y - b.P1.Y) * uy; };
    const double tolerance = std::isfinite(size) ? std::fabs(size) * 0.1 : 0;
    const double low = std::min({0.0, across(b.P2), across(piece.P0), across(piece.P3)}) - tolerance;
    const double high = std::max({0.0, across(b.P2), across(piece.P0), across(piece.P3)}) + tolerance;
    const double length = (piece.P0.X - b.P1.X) * ax + (piece.P0.Y - b.P1.Y) * ay;
    const bool finite = std::isfinite(b.P1.X) && std::isfinite(b.P1.Y) && std::isfinite(piece.P0.X) &&
                        std::isfinite(piece.P0.Y);
    if (!(length > 0) || !finite || !(high >= low)) return false;
    for (const auto& [c, owner] : Centres) {
      const double t = (c.X - b.P1.X) * ax + (c.Y - b.P1.Y) * ay, n = (c.X - b.P1.X) * ux + (c.Y - b.P1.Y) * uy;
      if (owner != block && t > 0 && t < length && n >= low && n <= high) return true;
    }
    return false;
  }

  void Add(const TPDFTextFunnel& settings, const TMatrix& m, const std::u16string& text, const std::string& colour,
           const std::string& font, double size, double x, double y, double w, double h,
           const std::vector<double>& charWidths) {
    auto at = [&](double px, double py) {
      return TPDFFunnelPoint{m[0] * px + m[2] * py + m[4], m[1] * px + m[3] * py + m[5]};
    };
    TRefBlock piece{at(x, y), at(x + w, y), at(x + w, y + h), at(x, y + h), text, {}, font, colour, {}, size, {}};
    for (double cw : charWidths) piece.Widths.push_back(cw * m[0]);
    for (int i = 0; i < 4; ++i) piece.Elements[i] = FormatReal(4, m[static_cast<size_t>(i)]);
    piece.MergeKey = TPDFTextFunnel::MatrixMergeKey(m);
    auto distance = [&](const TRefBlock& b) { return std::hypot(b.P1.X - piece.P0.X, b.P1.Y - piece.P0.Y); };

    TRefBlock* found = nullptr;
    bool gapped = false;
    // The nearest qualifying block, the first created of equally near ones.
    auto nearer = [&](const TRefBlock& b) { return !found || distance(b) < distance(*found); };
    if (MergeAllowed) {
      for (TRefBlock& b : Blocks)
        if (Matches(b, piece, settings) && distance(b) < size / 3.75 && nearer(b)) found = &b;
      if (!found) {
        for (TRefBlock& b : Blocks)
          if (Matches(b, piece, settings) && std::fabs(b.P1.Y - piece.P0.Y) < 2.0 && distance(b) < size && nearer(b))
            found = &b;
        gapped = found != nullptr;
      }
    }
    MergeAllowed = true;
    if (found && TextBetween(static_cast<size_t>(found - Blocks.data()), piece, m, size)) {
      ++Between;
      found = nullptr;
    }
    const TPDFFunnelPoint centre{(piece.P0.X + piece.P2.X) / 2, (piece.P0.Y + piece.P2.Y) / 2};
    if (!found || (gapped && settings.NoGapJoin)) {
      Refused += found != nullptr;
      Centres.push_back({centre, Blocks.size()});
      Blocks.push_back(piece);
      return;
    }
    Centres.push_back({centre, static_cast<size_t>(found - Blocks.data())});
    double d = distance(*found);
    const bool narrow = d < size * 0.3 * settings.GapFactor / 0.7;
    Adjacent += !gapped;
    Narrow += gapped && narrow;
    if (gapped && !narrow) {
      ++Spaced;
      found->Text += u' ';
      found->Widths.push_back(d);
    }
    found->Text += text;
    found->Widths.insert(found->Widths.end(), piece.Widths.begin(), piece.Widths.end());
    found->P1 = piece.P1;
    found->P2 = piece.P2;
  }
};

bool Same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }
bool Same(const TPDFFunnelPoint& a, const TPDFFunnelPoint& b) { return Same(a.X, b.X) && Same(a.Y, b.Y); }

void ExpectSameBlocks(const TPDFTextFunnel& f, const TRefFunnel& ref) {
  ASSERT_EQ(f.Blocks().size(), ref.Blocks.size());
  for (size_t i = 0; i < ref.Blocks.size(); ++i) {
    SCOPED_TRACE(i);
    const TPDFTextFunnelBlock& b = f.Blocks()[i];
    const TRefBlock& r = ref.Blocks[i];
    EXPECT_TRUE(Same(b.P0, r.P0) && Same(b.P1, r.P1) && Same(b.P2, r.P2) && Same(b.P3, r.P3));
    EXPECT_EQ(b.Text, r.Text);
    ASSERT_EQ(b.Widths.size(), r.Widths.size());
    for (size_t k = 0; k < r.Widths.size(); ++k) EXPECT_TRUE(Same(b.Widths[k], r.Widths[k]));
    EXPECT_EQ(b.Font, r.Font);
    EXPECT_EQ(b.Colour, r.Colour);
    EXPECT_EQ(b.MatrixText, r.Elements[0] + r.Elements[1] + r.Elements[2] + r.Elements[3]);
    EXPECT_TRUE(Same(b.Size, r.Size));
  }
}

// Pieces that often start where a block ends, give or take the distances the merge
// distinguishes, with now and then a size, position or matrix that is far off or not a number.
class TPieceGenerator {
public:
  explicit TPieceGenerator(unsigned seed) : Random(seed) {}

  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(Random)];
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(Random); }
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(Random); }

  void AddPiece(TPDFTextFunnel& f, TRefFunnel& ref, int serial) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    static const double sizes[] = {12, 12, 12, 6, 24, 0.05, 400, 1e7, 0, -3, nan, inf};
    static const double gaps[] = {0, 0.5, 3.1, 3.2, 3.4, 3.6, 5, 11.9, 12, 15, -4};
    static const double lifts[] = {0, 0, 0.5, 1.99, 2, 2.5, -1.5, -14};
    static const double scales[4][4] = {{1, 0, 0, 1}, {0.012, 0, 0, 0.012}, {0, 1, -1, 0}, {1, 0, 0, 12}};
    static const char* fonts[] = {"F1", "F2"};
    static const char* colours[] = {"#000000", "#FF0000"};
    static const double farX[] = {nan, inf, -inf, 1e300, -1e300, 3e13};
    static const double farY[] = {nan, inf, 1e300, -3e13};

    double size = Pick(sizes);
    TPDFFunnelPoint start;
    if (!ref.Blocks.empty() && Chance(0.65)) {
      const TRefBlock& b = ref.Blocks[std::uniform_int_distribution<size_t>(0, ref.Blocks.size() - 1)(Random)];
      start = {b.P1.X + Pick(gaps) + (Chance(0.2) ? Uniform(-1, 1) : 0), b.P1.Y + Pick(lifts)};
    } else if (Chance(0.5)) {
      // On cell corners of body-text groups.
      start = {24.0 * std::uniform_int_distribution<int>(-3, 40)(Random),
               6.4 * std::uniform_int_distribution<int>(-3, 90)(Random)};
    } else {
      start = {Uniform(-100, 700), Uniform(-100, 800)};
    }
    if (Chance(0.02)) start.X = Pick(farX);
    if (Chance(0.02)) start.Y = Pick(farY);
    const double* s = scales[std::uniform_int_distribution<int>(0, 3)(Random)];
    TMatrix m{s[0], s[1], s[2], s[3], start.X, start.Y};
    if (Chance(0.01)) m[0] = nan;

    std::u16string text = u"p" + AsciiToWide(std::to_string(serial));
    std::vector<double> widths;
    for (size_t k = 0; k < text.size(); ++k) widths.push_back(Uniform(0, 600));
    double w = Chance(0.1) ? 0 : Uniform(-5, 60) / (s[0] == 0 ? 1 : s[0]);
    double h = Uniform(0, 15);
    std::string font = Pick(fonts), colour = Pick(colours);
    f.AddPiece(m, text, colour, font, size, 0, 0, w, h, widths);
    ref.Add(f, m, text, colour, font, size, 0, 0, w, h, widths);
  }

  std::mt19937 Random;
};

}  // namespace

TEST(FunnelIndex, MergesLikeAScanOverAllBlocks) {
  int adjacent = 0, narrow = 0, spaced = 0, refused = 0, between = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    TPieceGenerator gen(seed);
    TPDFTextFunnel f;
    TRefFunnel ref;
    f.NoGapJoin = gen.Chance(0.3);
    static const double gapFactors[] = {0.7, 0.7, 1.4, 0};
    f.GapFactor = gen.Pick(gapFactors);
    f.IgnoreFont = gen.Chance(0.3);
    f.IgnoreColour = gen.Chance(0.3);
    f.IgnoreMatrix = gen.Chance(0.2);
    const int pieces = seed % 10 == 0 ? 3000 : 400;
    for (int i = 0; i < pieces; ++i) {
      if (gen.Chance(0.1)) {
        f.SetMergeAllowed(false);
        ref.MergeAllowed = false;
      }
      if (gen.Chance(0.003)) f.IgnoreFont = !f.IgnoreFont;  // settings changed on the way
      if (gen.Chance(0.003)) f.IgnoreColour = !f.IgnoreColour;
      gen.AddPiece(f, ref, i);
    }
    ExpectSameBlocks(f, ref);
    if (HasFailure()) return;
    adjacent += ref.Adjacent;
    narrow += ref.Narrow;
    spaced += ref.Spaced;
    refused += ref.Refused;
    between += ref.Between;
  }
  // The pages are meant to exercise every kind of match.
  EXPECT_GT(adjacent, 1000);
  EXPECT_GT(narrow, 30);
  EXPECT_GT(spaced, 100);
  EXPECT_GT(refused, 100);
  EXPECT_GT(between, 30);
}

TEST(FunnelIndex, ClearStartsAfresh) {
  TPieceGenerator gen(99);
  TPDFTextFunnel f;
  TRefFunnel ref;
  for (int i = 0; i < 200; ++i) gen.AddPiece(f, ref, i);
  f.Clear();
  ref.Blocks.clear();
  ref.Centres.clear();
  for (int i = 0; i < 200; ++i) gen.AddPiece(f, ref, i);
  ExpectSameBlocks(f, ref);
}
