// Lays the funnel's blocks out as plain text: blocks on one visual line are chained left
// to right, and the chains are placed on a grid of lines and character columns.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "text/PellarTextFunnel.h"
#include "text/PellarWordGap.h"

namespace {

using TByPosition = std::vector<TPDFTextFunnelBlock*>;

constexpr int32_t RowCount = 10000;        // rows of one point, from the page's top edge down
constexpr int32_t AnchorMaxHeight = 175;   // taller blocks span several lines and define none
constexpr int64_t AnchorMaxDistance = 9999;
constexpr int32_t ChainOverlap = 5;        // a block may start this much before its left neighbour ends
constexpr double LinePoints = 8;
constexpr double ColumnPoints = 5;
// Blocks closer than this share of the later one's height touch: word gaps are wider.
constexpr double TouchShare = 0.1;
// An index or an exponent stands off its base by the base's italic correction, up to this
// share of the taller one's height, and still belongs to the word; line numbers set in a
// smaller size stand off their line by more.
constexpr double MinorTouchShare = 0.15;
// Blocks far to the right or far down are pulled in to the end of the row table's reach,
// so that they cost no more output than a block there; their text is always written.
constexpr int64_t LastColumn = static_cast<int64_t>(RowCount / ColumnPoints);
constexpr int64_t LastLine = static_cast<int64_t>(RowCount / LinePoints);
// A column may lean this share of its length sideways.
constexpr double ColumnSlant = 0.01;
// Columns of one passage of vertical writing stand at most this many column widths apart.
constexpr double ColumnGapShare = 1.5;
// A block printed this much smaller than the text covering its rows (an index, an exponent,
// a footnote mark) belongs to that text's line: LaTeX sets indices at 0.7 of the text size
// and footnote text at 0.8, while a line in the next size up (0.9) stays a line of its own.
constexpr double MinorSizeShare = 0.9;
// Layout coordinates are clamped so that their sums and differences stay well inside int32.
constexpr double CoordinateLimit = 268435456.0;  // 2^28

// Nearest integer, ties to even; NaN counts as 0.
int32_t LayoutRound(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::nearbyint(std::clamp(v, -CoordinateLimit, CoordinateLimit)));
}

// A block whose text runs straight down the page: a column of vertical writing. It is laid
// out as one line of its own, and neither defines a line nor joins one.
bool RunsDown(const TPDFTextFunnelBlock& b) {
  const double down = b.P0.Y - b.P1.Y;
  return down > 0 && std::fabs(b.P1.X - b.P0.X) <= down * ColumnSlant;
}

void SetLayoutBox(TPDFTextFunnelBlock& b, double pageHeight) {
  if (RunsDown(b)) {
    b.Left = LayoutRound(std::min(b.P0.X, b.P3.X));
    b.Top = LayoutRound(pageHeight - std::max(b.P0.Y, b.P3.Y));
    b.Right = LayoutRound(std::max(b.P0.X, b.P3.X));
    b.Bottom = LayoutRound(pageHeight - std::min(b.P1.Y, b.P2.Y));
  } else {
    b.Left = LayoutRound(b.P0.X);
    b.Top = LayoutRound(pageHeight - b.P2.Y);
    b.Right = LayoutRound(b.P2.X);
    b.Bottom = LayoutRound(pageHeight - b.P0.Y);
  }
  b.Width = b.Right - b.Left;
  b.Height = b.Bottom - b.Top;
  b.Previous = -1;
  b.Next = -1;
  b.Host = -1;
  b.HostIndex = 0;
  b.CentreY = b.Top + LayoutRound(b.Height / 2.0);
  b.CentreX = b.Left + LayoutRound(b.Width / 2.0);
}

// Blocks that define lines, searchable by their centre.
class TAnchorTable {
public:
  // Each row of the page belongs to the first block, in layout order, that covers it; a
  // block that gets more than half of its rows defines a line.
  // Blocks that belong to a larger block's line (lineOf not -1) claim no rows.
  TAnchorTable(const TByPosition& at, const std::vector<int32_t>& lineOf) {
    std::vector<int32_t> rows(RowCount, -1);
    for (size_t i = 0; i < at.size(); ++i) {
      const TPDFTextFunnelBlock& b = *at[i];
      if (b.Height > AnchorMaxHeight || lineOf[i] != -1 || RunsDown(b)) continue;
      int64_t claimed = 0;
      for (int32_t y = std::max(b.Top, 0); y <= std::min(b.Bottom, RowCount - 1); ++y) {
        if (rows[static_cast<size_t>(y)] != -1) continue;
        rows[static_cast<size_t>(y)] = static_cast<int32_t>(i);
        ++claimed;
      }
      if (claimed > 0 && static_cast<double>(claimed) > b.Height / 2.0)
        Anchors.push_back({b.CentreY, static_cast<int32_t>(i)});
    }
    // Anchors come in layout order; of those with one centre only the first can be chosen.
    auto lower = [](const TAnchor& a, const TAnchor& b) { return a.Y < b.Y; };
    auto same = [](const TAnchor& a, const TAnchor& b) { return a.Y == b.Y; };
    std::stable_sort(Anchors.begin(), Anchors.end(), lower);
    Anchors.erase(std::unique(Anchors.begin(), Anchors.end(), same), Anchors.end());
  }

  // The position of the anchor whose centre is closest to y, the earlier one on equal
  // distances; -1 when there is none within AnchorMaxDistance.
  int32_t Closest(int32_t y) const {
    auto below = [](const TAnchor& a, int32_t v) { return a.Y < v; };
    auto above = std::lower_bound(Anchors.begin(), Anchors.end(), y, below);
    const TAnchor* best = nullptr;
    int64_t bestDistance = 0;
    auto consider = [&](const TAnchor& a) {
      int64_t d = std::abs(static_cast<int64_t>(a.Y) - y);
      if (!best || d < bestDistance || (d == bestDistance && a.Position < best->Position)) {
        best = &a;
        bestDistance = d;
      }
    };
    if (above != Anchors.end()) consider(*above);
    if (above != Anchors.begin()) consider(*(above - 1));
    return best && bestDistance < AnchorMaxDistance ? best->Position : -1;
  }

private:
  struct TAnchor {
    int32_t Y;
    int32_t Position;
  };
  std::vector<TAnchor> Anchors;
};

bool InRows(int32_t y) { return y >= 0 && y < RowCount; }

// For each position, the position of the block whose line it belongs to, or -1 for a block
// that finds its line by itself: a block belongs to the largest block covering its centre
// row, or, when more than half of its rows are covered, to the one covering the row nearest
// its centre, if that block's text is larger than its own by MinorSizeShare. Followed to the
// end, since an index of an index belongs to the line of the text its base belongs to.
// Columns of vertical writing are lines of their own: they neither own a line nor join one.
std::vector<int32_t> LineOwners(const TByPosition& at) {
  const size_t n = at.size();
  std::vector<int32_t> cover(RowCount, -1);  // the largest block covering each row
  for (size_t i = 0; i < n; ++i) {
    const TPDFTextFunnelBlock& b = *at[i];
    if (b.Height > AnchorMaxHeight || !(b.Size > 0) || RunsDown(b)) continue;
    for (int32_t y = std::max(b.Top, 0); y <= std::min(b.Bottom, RowCount - 1); ++y) {
      int32_t& c = cover[static_cast<size_t>(y)];
      if (c == -1 || at[static_cast<size_t>(c)]->Size < b.Size) c = static_cast<int32_t>(i);
    }
  }
  std::vector<int32_t> owner(n, -1);
  for (size_t i = 0; i < n; ++i) {
    const TPDFTextFunnelBlock& b = *at[i];
    // A blank in a small font of its own has parted the words it stands between already;
    // written inside its line's text it would double the space.
    if (b.Height > AnchorMaxHeight || !(b.Size > 0) || IsBlankText(b.Text) || RunsDown(b)) continue;
    auto larger = [&](int32_t y) {
      const int32_t c = cover[static_cast<size_t>(y)];
      return c != -1 && b.Size < at[static_cast<size_t>(c)]->Size * MinorSizeShare ? c : -1;
    };
    if (InRows(b.CentreY) && (owner[i] = larger(b.CentreY)) != -1) continue;
    int64_t covered = 0, nearest = 0;
    int32_t best = -1;
    for (int32_t y = std::max(b.Top, 0); y <= std::min(b.Bottom, RowCount - 1); ++y) {
      const int32_t c = larger(y);
      if (c == -1) continue;
      ++covered;
      const int64_t d = std::abs(static_cast<int64_t>(y) - b.CentreY);
      if (best == -1 || d < nearest) {
        best = c;
        nearest = d;
      }
    }
    if (static_cast<double>(covered) > b.Height / 2.0) owner[i] = best;
  }
  // Owners are larger than what they own, so taking blocks from the largest down finds
  // each owner's own owner settled.
  std::vector<int32_t> bySize(n);
  std::iota(bySize.begin(), bySize.end(), 0);
  auto size = [&](int32_t p) { return at[static_cast<size_t>(p)]->Size > 0 ? at[static_cast<size_t>(p)]->Size : 0.0; };
  std::stable_sort(bySize.begin(), bySize.end(), [&](int32_t a, int32_t b) { return size(a) > size(b); });
  for (int32_t i : bySize) {
    int32_t& o = owner[static_cast<size_t>(i)];
    if (o != -1 && owner[static_cast<size_t>(o)] != -1) o = owner[static_cast<size_t>(o)];
  }
  return owner;
}

// The UTF-16 index in the block's text before which a text centred on x goes: after every
// character whose middle lies left of x. Characters are placed by their advances along the
// block, or evenly when the advances are missing.
int32_t IndexAt(const TPDFTextFunnelBlock& b, int32_t x) {
  const size_t count = b.Text.size();
  const bool measured = b.Widths.size() == count;
  double total = 0;
  for (size_t k = 0; measured && k < count; ++k) total += std::fabs(b.Widths[k]);
  const bool even = !measured || !(total > 0) || !std::isfinite(total);
  double start = 0;
  for (size_t k = 0; k < count; ++k) {
    const double share = even ? 1.0 / static_cast<double>(count) : std::fabs(b.Widths[k]) / total;
    if (b.Left + (start + share / 2) * b.Width >= x) return static_cast<int32_t>(k);
    start += share;
  }
  return static_cast<int32_t>(count);
}

// Links each block to the end of its anchor's chain. Walks along a chain follow a link only
// when the block it leads to links back, and stop at a block met before in the same walk.
class TChainBuilder {
public:
  explicit TChainBuilder(const TByPosition& at)
      : At(at), TailHint(at.size(), -1), HintEpoch(at.size(), 0), Seen(at.size(), 0), Lead(at.size(), -1) {}

  // A minor block (an index, an exponent, a mark, a line number) that the chain's end reaches
  // over is written inside the end's text at its place; one left of the anchor that begins
  // the line leads the line.
  void AttachMinor(int32_t i, int32_t anchor) {
    TPDFTextFunnelBlock& block = Block(i);
    TPDFTextFunnelBlock& first = Block(anchor);
    if (block.Right >= first.Left + ChainOverlap || (first.Previous != -1 && Lead[static_cast<size_t>(anchor)] == -1))
      return Attach(i, anchor, true);
    // Blocks come from left to right, so what leads the line grows at its right end, next to the anchor.
    const int32_t lead = Lead[static_cast<size_t>(anchor)];
    if (lead != -1 && Block(lead).Right >= block.Left + ChainOverlap) {
      Absorb(i, lead);
      return;
    }
    if (lead != -1) {
      Block(lead).Next = i;
      block.Previous = lead;
    }
    block.Next = anchor;
    first.Previous = i;
    Lead[static_cast<size_t>(anchor)] = i;
  }

  void Attach(int32_t i, int32_t anchor, bool minor = false) {
    const int32_t p = ChainEnd(anchor);
    TPDFTextFunnelBlock& end = Block(p);
    TPDFTextFunnelBlock& block = Block(i);
    if (end.Next == i) return;
    if (end.Right >= block.Left + ChainOverlap) {
      // An index that reaches over the closing bracket after it takes the bracket in; a block
      // that others already follow keeps its own place.
      if ((minor || end.Size < block.Size * MinorSizeShare) && block.Previous == -1 && block.Next == -1) Absorb(i, p);
      return;
    }
    if (end.Next == -1) {
      if (block.Previous == -1) {
        block.Previous = p;
        if (block.Next != -1) ++Epoch;  // two chains join, which may close a loop
      }
      end.Next = i;
      return;
    }
    // The end links to a block that does not link back: the one closer to the end's line wins.
    const int32_t q = end.Next;
    if (std::abs(block.CentreY - end.CentreY) < std::abs(Block(q).CentreY - end.CentreY)) {
      Block(q).Previous = -1;
      block.Previous = p;
      end.Next = i;
      ++Epoch;  // a chain was cut
    }
  }

private:
  TPDFTextFunnelBlock& Block(int32_t p) { return *At[static_cast<size_t>(p)]; }

  void Absorb(int32_t i, int32_t host) {
    Block(i).Host = host;
    Block(i).HostIndex = IndexAt(Block(host), Block(i).CentreX);
  }

  // Chains only grow at their ends until one is cut or joined to another, so a walk may
  // resume where the last walk from the same start ended as long as neither happened since.
  int32_t ChainEnd(int32_t start) {
    const size_t s = static_cast<size_t>(start);
    int32_t p = HintEpoch[s] == Epoch ? TailHint[s] : start;
    ++Walk;
    Seen[static_cast<size_t>(p)] = Walk;
    bool loop = false;
    while (true) {
      const int32_t next = Block(p).Next;
      if (next == -1 || Block(next).Previous != p) break;
      if (Seen[static_cast<size_t>(next)] == Walk) {
        loop = true;
        break;
      }
      Seen[static_cast<size_t>(next)] = Walk;
      p = next;
    }
    TailHint[s] = p;
    HintEpoch[s] = loop ? 0 : Epoch;
    return p;
  }

  const TByPosition& At;
  std::vector<int32_t> TailHint;
  std::vector<uint32_t> HintEpoch;  // 0: no hint
  uint32_t Epoch = 1;
  std::vector<uint32_t> Seen;
  uint32_t Walk = 0;
  std::vector<int32_t> Lead;  // per anchor, the block placed last before it, or -1
};

// The top by which each block's chain is placed: its own, but for a column of vertical
// writing the top of its passage, the columns that stand side by side (each at most
// ColumnGapShare of its width from the next) and overlap down the page.
std::vector<int32_t> PlacingTops(const TByPosition& at) {
  std::vector<int32_t> tops(at.size());
  std::vector<int32_t> columns;
  for (size_t i = 0; i < at.size(); ++i) {
    tops[i] = at[i]->Top;
    if (RunsDown(*at[i])) columns.push_back(static_cast<int32_t>(i));
  }
  // Right to left; each passage is a run of neighbours in that order.
  auto block = [&](int32_t i) -> const TPDFTextFunnelBlock& { return *at[static_cast<size_t>(i)]; };
  std::stable_sort(columns.begin(), columns.end(), [&](int32_t a, int32_t b) { return block(a).Left > block(b).Left; });
  for (size_t first = 0, last = 0; first < columns.size(); first = last) {
    int32_t top = block(columns[first]).Top, bottom = block(columns[first]).Bottom;
    for (last = first + 1; last < columns.size(); ++last) {
      const TPDFTextFunnelBlock &right = block(columns[last - 1]), &left = block(columns[last]);
      const bool near = right.Left - left.Right <= std::max(right.Width, left.Width) * ColumnGapShare;
      if (!near || left.Top > bottom || left.Bottom < top) break;
      top = std::min(top, left.Top);
      bottom = std::max(bottom, left.Bottom);
    }
    for (size_t k = first; k < last; ++k) tops[static_cast<size_t>(columns[k])] = top;
  }
  return tops;
}

// Every block without a predecessor begins a chain, unless it is written inside its host;
// chains are written from the top down, the columns of one passage of vertical writing right
// to left.
std::vector<int32_t> ChainHeads(const TByPosition& at, const std::vector<int32_t>& tops) {
  std::vector<int32_t> heads;
  for (size_t i = 0; i < at.size(); ++i)
    if (at[i]->Previous == -1 && at[i]->Host == -1) heads.push_back(static_cast<int32_t>(i));
  std::sort(heads.begin(), heads.end(), [&](int32_t a, int32_t b) {
    const size_t x = static_cast<size_t>(a), y = static_cast<size_t>(b);
    if (tops[x] != tops[y]) return tops[x] < tops[y];
    const bool downX = RunsDown(*at[x]), downY = RunsDown(*at[y]);
    if (downX != downY) return downY;
    return downX && at[x]->Left != at[y]->Left ? at[x]->Left > at[y]->Left : a < b;
  });
  return heads;
}

bool SizeChanges(const TPDFTextFunnelBlock& a, const TPDFTextFunnelBlock& b) {
  return a.Size < b.Size * MinorSizeShare || b.Size < a.Size * MinorSizeShare;
}

// How far apart a block may start from the end of the one before it and still continue it.
double TouchReach(const TPDFTextFunnelBlock& previous, const TPDFTextFunnelBlock& b) {
  if (SizeChanges(previous, b)) return MinorTouchShare * std::max(previous.Height, b.Height);
  return TouchShare * b.Height;
}

// The text of one chain, each block at its column or, when that would touch the block
// before it, one column after it (two when the gap is wide for the block's height). A block
// that continues the one before it without a gap (a word in another font or colour, a link,
// a subscript) follows it directly: a space there would split "(git)" into "( git )".
// The line buffer is the caller's, so that one allocation serves every line.
class TGuests {
public:
  // Blocks written inside others, by host, then index, then position.
  explicit TGuests(const TByPosition& at) : At(at) {
    for (size_t i = 0; i < at.size(); ++i)
      if (at[i]->Host != -1) List.push_back(static_cast<int32_t>(i));
    std::sort(List.begin(), List.end(), [&](int32_t a, int32_t b) {
      const TPDFTextFunnelBlock &x = *at[static_cast<size_t>(a)], &y = *at[static_cast<size_t>(b)];
      if (x.Host != y.Host) return x.Host < y.Host;
      return x.HostIndex != y.HostIndex ? x.HostIndex < y.HostIndex : a < b;
    });
  }

  // The block's text with its guests' texts in it; the guests are marked printed.
  const std::u16string& TextOf(int32_t c) {
    const TPDFTextFunnelBlock& b = *At[static_cast<size_t>(c)];
    auto first = std::lower_bound(List.begin(), List.end(), c,
                                  [&](int32_t g, int32_t host) { return At[static_cast<size_t>(g)]->Host < host; });
    if (first == List.end() || At[static_cast<size_t>(*first)]->Host != c) return b.Text;
    Text.clear();
    size_t from = 0;
    for (auto g = first; g != List.end() && At[static_cast<size_t>(*g)]->Host == c; ++g) {
      TPDFTextFunnelBlock& guest = *At[static_cast<size_t>(*g)];
      const size_t at = std::clamp(static_cast<size_t>(std::max(guest.HostIndex, 0)), from, b.Text.size());
      Text.append(b.Text, from, at - from);
      Text += guest.Text;
      guest.Printed = true;
      from = at;
    }
    Text.append(b.Text, from);
    return Text;
  }

private:
  const TByPosition& At;
  std::vector<int32_t> List;
  std::u16string Text;
};

void AppendChainLine(const TByPosition& at, TGuests& guests, int32_t head, std::u16string& line,
                     std::u16string& out) {
  line.clear();
  int64_t last = -1;
  const TPDFTextFunnelBlock* previous = nullptr;
  // Everything after a block placed earlier is placed too, so the walk stops there; this
  // also ends walks around loops.
  for (int32_t c = head; c != -1 && !at[static_cast<size_t>(c)]->Printed; c = at[static_cast<size_t>(c)]->Next) {
    TPDFTextFunnelBlock& b = *at[static_cast<size_t>(c)];
    int64_t column = std::min(static_cast<int64_t>(std::nearbyint(b.Left / ColumnPoints)), LastColumn);
    const int64_t gap = previous ? static_cast<int64_t>(b.Left) - previous->Right : b.Left + 1;
    // A block reaching back over the one before it (a kern, a logo's letters) touches it too.
    if (previous && static_cast<double>(gap) <= TouchReach(*previous, b))
      column = last;  // even where the grid would leave a blank: it would split the word
    else if (last + 1 >= column)
      column = b.Height / ColumnPoints >= static_cast<double>(gap) ? last + 1 : last + 2;
    const std::u16string& text = guests.TextOf(c);
    const size_t first = static_cast<size_t>(column + 1);
    if (line.size() < first + text.size()) line.resize(first + text.size(), u' ');
    line.replace(first, text.size(), text);
    last = column + static_cast<int64_t>(text.size());
    b.Printed = true;
    previous = &b;
  }
  size_t end = line.size();
  while (end > 0 && line[end - 1] <= u' ') --end;
  out.append(line, 0, end);
  out += u"\r\n";
}

int64_t LineOf(int32_t top) { return std::min(static_cast<int64_t>(std::nearbyint(top / LinePoints)), LastLine); }

}  // namespace

std::vector<TPDFTextFunnelBlock*> TPDFTextFunnel::ByPosition() {
  std::vector<TPDFTextFunnelBlock*> at;
  at.reserve(Layout.size());
  for (int32_t i : Layout) at.push_back(&BlockList[static_cast<size_t>(i)]);
  return at;
}

void TPDFTextFunnel::LayoutBlocks() {
  for (TPDFTextFunnelBlock& b : BlockList) SetLayoutBox(b, PageHeight);
  // Ties keep creation order, so that one page always gives one text.
  Layout.resize(BlockList.size());
  std::iota(Layout.begin(), Layout.end(), 0);
  std::stable_sort(Layout.begin(), Layout.end(), [this](int32_t a, int32_t b) {
    const TPDFTextFunnelBlock &x = BlockList[static_cast<size_t>(a)], &y = BlockList[static_cast<size_t>(b)];
    return x.Left != y.Left ? x.Left < y.Left : x.Top < y.Top;
  });
  const TByPosition at = ByPosition();
  // A block that belongs to a larger block's line goes to the line that block's centre is on.
  const std::vector<int32_t> lineOf = LineOwners(at);
  const TAnchorTable anchors(at, lineOf);
  TChainBuilder chains(at);
  for (size_t i = 0; i < at.size(); ++i) {
    if (RunsDown(*at[i])) continue;
    const int32_t owner = lineOf[i];
    const int32_t anchor = anchors.Closest(at[owner == -1 ? i : static_cast<size_t>(owner)]->CentreY);
    if (anchor == -1 || anchor == static_cast<int32_t>(i)) continue;
    if (owner == -1) {
      chains.Attach(static_cast<int32_t>(i), anchor);
    } else {
      chains.AttachMinor(static_cast<int32_t>(i), anchor);
    }
  }
  for (size_t i = 0; i < at.size(); ++i)
    if (at[i]->Next != -1) at[static_cast<size_t>(at[i]->Next)]->Previous = static_cast<int32_t>(i);
  LayoutCurrent = true;
}

void TPDFTextFunnel::WriteSmartText(std::u16string& out) {
  out.clear();
  if (!LayoutCurrent) LayoutBlocks();
  const TByPosition at = ByPosition();
  for (TPDFTextFunnelBlock* b : at) b->Printed = false;
  int64_t n = 1;
  std::u16string line;
  TGuests guests(at);
  const std::vector<int32_t> tops = PlacingTops(at);
  for (int32_t head : ChainHeads(at, tops)) {
    const int64_t target = LineOf(tops[static_cast<size_t>(head)]);
    if (n < target) {
      for (int64_t k = n + 1; k < target; ++k) out += u"\r\n";
      n = target;
    }
    AppendChainLine(at, guests, head, line, out);
    ++n;
  }
}
