#include "text/PellarFunnelPieceGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// Cells twice the height of the first piece: the area between a block and a piece, at most an
// em long, covers a few of them. A height that is not a positive number sizes them like body
// text; the bounds keep cell numbers meaningful.
constexpr double BodyTextCell = 24, SmallestCell = 1e-3, LargestCell = 1e7;
// Work is counted in cells and pieces looked at; each filed piece adds this much to what the
// page may spend, so that checks stay linear in the pieces even when a hostile page piles them
// on one spot or asks across wide areas. Past it, no text counts as between.
constexpr int64_t WorkPerPiece = 256;
constexpr int64_t WorkAtStart = 1 << 22;
// Cell numbers are kept within 32 bits; points beyond share the outermost cells.
constexpr double CellLimit = 2147483647.0;


bool IsFinite(const TPDFFunnelPoint& p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

double Dot(const TPDFFunnelPoint& a, const TPDFFunnelPoint& b) { return a.X * b.X + a.Y * b.Y; }

}  // namespace

int64_t TPDFFunnelPieceGrid::CellNumber(double v) const {
  const double n = std::floor(v / CellSize);
  if (!(n > -CellLimit)) return static_cast<int64_t>(-CellLimit);  // also NaN
  return static_cast<int64_t>(std::min(n, CellLimit));
}

uint64_t TPDFFunnelPieceGrid::CellKey(int64_t x, int64_t y) {
  // Cell numbers lie within 32 bits; offset, the x half is never 0.
  return ((static_cast<uint64_t>(x + static_cast<int64_t>(CellLimit)) + 1) << 32) |
         static_cast<uint32_t>(y + static_cast<int64_t>(CellLimit));
}

size_t TPDFFunnelPieceGrid::SlotOf(uint64_t key) const {
  const size_t mask = Cells.size() - 1;
  uint64_t h = key * 0x9e3779b97f4a7c15ULL;
  size_t i = static_cast<size_t>(h ^ (h >> 29)) & mask;
  while (Cells[i].Key != 0 && Cells[i].Key != key) i = (i + 1) & mask;
  return i;
}

void TPDFFunnelPieceGrid::Clear() {
  All.clear();
  Cells.clear();
  UsedCells = 0;
  CellSize = 0;
  WorkLeft = 0;
}

void TPDFFunnelPieceGrid::Add(int32_t block, const TPDFFunnelPoint& centre, double height) {
  if (All.empty()) {
    WorkLeft = WorkAtStart;
    CellSize = std::isfinite(height) && height > 0 ? std::clamp(2 * height, SmallestCell, LargestCell) : BodyTextCell;
  }
  WorkLeft += WorkPerPiece;
  if (!IsFinite(centre)) return;
  if (2 * (UsedCells + 1) > Cells.size()) {
    std::vector<TSlot> old(std::max<size_t>(64, Cells.size() * 2));
    old.swap(Cells);
    for (const TSlot& slot : old)
      if (slot.Key != 0) Cells[SlotOf(slot.Key)] = slot;
  }
  const uint64_t key = CellKey(CellNumber(centre.X), CellNumber(centre.Y));
  TSlot& cell = Cells[SlotOf(key)];
  if (cell.Key == 0) {
    cell.Key = key;
    ++UsedCells;
  }
  All.push_back({centre, block, cell.Latest});
  cell.Latest = static_cast<int32_t>(All.size() - 1);
}

bool TPDFFunnelPieceGrid::Spend() const {
  if (WorkLeft <= 0) return false;
  --WorkLeft;
  return true;
}

bool TPDFFunnelPieceGrid::Between(const TPiece& piece, int32_t block, const TPDFFunnelPoint& end, double length,
                                  const TLine& line) const {
  if (piece.Block == block) return false;
  const TPDFFunnelPoint d{piece.Centre.X - end.X, piece.Centre.Y - end.Y};
  const double t = Dot(d, line.Along), n = Dot(d, line.Up);
  return t > 0 && t < length && n >= line.Low && n <= line.High;
}

bool TPDFFunnelPieceGrid::TextBetween(int32_t block, const TPDFFunnelPoint& end, const TPDFFunnelPoint& start,
                                      const TLine& line) const {
  const TPDFFunnelPoint gap{start.X - end.X, start.Y - end.Y};
  const double length = Dot(gap, line.Along);
  if (All.empty() || !(length > 0) || !IsFinite(end) || !IsFinite(start) || !(line.High >= line.Low)) return false;
  // The corners of the area between, to find the cells it covers.
  double x0 = end.X, x1 = end.X, y0 = end.Y, y1 = end.Y;
  for (double t : {0.0, length}) {
    for (double n : {line.Low, line.High}) {
      const double x = end.X + t * line.Along.X + n * line.Up.X, y = end.Y + t * line.Along.Y + n * line.Up.Y;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  const int64_t cx0 = CellNumber(x0), cx1 = CellNumber(x1), cy0 = CellNumber(y0), cy1 = CellNumber(y1);
  // An area of more cells than pieces is cheaper to check piece by piece.
  if (!(static_cast<double>(cx1 - cx0 + 1) * static_cast<double>(cy1 - cy0 + 1) <= static_cast<double>(All.size()))) {
    for (const TPiece& p : All) {
      if (!Spend()) return false;
      if (Between(p, block, end, length, line)) return true;
    }
    return false;
  }
  for (int64_t cx = cx0; cx <= cx1; ++cx) {
    for (int64_t cy = cy0; cy <= cy1; ++cy) {
      if (!Spend()) return false;
      for (int32_t i = Cells[SlotOf(CellKey(cx, cy))].Latest; i != -1; i = All[static_cast<size_t>(i)].Next) {
        if (!Spend()) return false;
        if (Between(All[static_cast<size_t>(i)], block, end, length, line)) return true;
      }
    }
  }
  return false;
}
