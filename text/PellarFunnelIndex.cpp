#include "text/PellarFunnelIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// A piece continues a block without a gap when it starts within size / AdjacentDivisor of
// the block's end, and across a gap when it starts within size of it on about the same line.
constexpr double AdjacentDivisor = 3.75;
constexpr double SameLineTolerance = 2.0;

// A group's grid is sized by its first piece, within these bounds; a size that is not a
// positive number sizes it like body text.
constexpr double SmallestCellSize = 1e-3, LargestCellSize = 1e7, BodyTextSize = 12;
// Far-off points share the outermost cells; the clamp keeps the cell numbers and their
// differences exact in 64 bits.
constexpr double CellLimit = 1099511627776.0;  // 2^40

// How far across and up or down from a block's end a piece of this size may start and
// still continue the block.
double ReachX(double size) { return size; }
double ReachY(double size) { return std::max(size / AdjacentDivisor, std::min(SameLineTolerance, size)); }

bool IsFinite(const TPDFFunnelPoint& p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

int64_t CellNumber(double v, double cellSize) {
  double n = std::floor(v / cellSize);
  if (!(n > -CellLimit)) return static_cast<int64_t>(-CellLimit);  // also NaN
  if (n > CellLimit) return static_cast<int64_t>(CellLimit);
  return static_cast<int64_t>(n);
}

size_t Mix(size_t seed, uint64_t v) {
  v ^= v >> 33;
  v *= 0xff51afd7ed558ccdULL;
  v ^= v >> 33;
  return seed ^ (static_cast<size_t>(v) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

}  // namespace

// One search: the piece's start and size, and the first qualifying blocks seen so far.
struct TPDFTextFunnelIndex::TSearch {
  TPDFFunnelPoint Start;
  double Size = 0;
  double AdjacentRadius = 0;
  TMatch Adjacent, Gapped;

  TSearch(const TPDFFunnelPoint& start, double size)
      : Start(start), Size(size), AdjacentRadius(size / AdjacentDivisor) {
    Gapped.Gapped = true;
  }

  // Blocks may come in any order; in each kind the nearest wins, and of equally near ones
  // the lowest number. The nearest, not the first: a table cell's clipped trailing blanks
  // may end where the next column's text starts, and that text continues its own column.
  void Consider(int32_t block, const TPDFFunnelPoint& end) {
    double distance = std::hypot(end.X - Start.X, end.Y - Start.Y);
    if (distance < AdjacentRadius)
      Keep(Adjacent, block, distance);
    else if (std::fabs(end.Y - Start.Y) < SameLineTolerance && distance < Size)
      Keep(Gapped, block, distance);
  }

  static void Keep(TMatch& match, int32_t block, double distance) {
    if (match.Block >= 0 && (match.Distance < distance || (match.Distance == distance && match.Block < block)))
      return;
    match.Block = block;
    match.Distance = distance;
  }

  TMatch Result() const { return Adjacent.Block >= 0 ? Adjacent : Gapped; }
};

size_t TPDFTextFunnelIndex::TCellTable::SlotOf(const TCell& cell) const {
  const size_t mask = Slots.size() - 1;
  size_t i = Mix(Mix(Mix(0, static_cast<uint32_t>(cell.Group)), static_cast<uint64_t>(cell.X)),
                 static_cast<uint64_t>(cell.Y)) & mask;
  while (Slots[i].Used && !(Slots[i].Cell == cell)) i = (i + 1) & mask;
  return i;
}

int32_t TPDFTextFunnelIndex::TCellTable::Head(const TCell& cell) const {
  if (Slots.empty()) return -1;
  const TSlot& slot = Slots[SlotOf(cell)];
  return slot.Used ? slot.Head : -1;
}

int32_t& TPDFTextFunnelIndex::TCellTable::HeadFor(const TCell& cell) {
  if (2 * (Count + 1) > Slots.size()) Grow();  // at most half full keeps probes short
  TSlot& slot = Slots[SlotOf(cell)];
  if (!slot.Used) {
    slot.Used = true;
    slot.Cell = cell;
    slot.Head = -1;
    ++Count;
  }
  return slot.Head;
}

void TPDFTextFunnelIndex::TCellTable::Grow() {
  std::vector<TSlot> old(std::max<size_t>(64, Slots.size() * 2));
  old.swap(Slots);
  for (const TSlot& slot : old)
    if (slot.Used) Slots[SlotOf(slot.Cell)] = slot;
}

void TPDFTextFunnelIndex::TCellTable::Clear() {
  Slots.clear();
  Count = 0;
}

size_t TPDFTextFunnelIndex::TGroupKeyHash::operator()(const TGroupKey& k) const {
  return Mix(Mix(Mix(0, static_cast<uint32_t>(k.Font)), static_cast<uint32_t>(k.Colour)),
             static_cast<uint32_t>(k.Matrix));
}

int32_t TPDFTextFunnelIndex::InternText(std::unordered_map<std::string, int32_t>& table, const std::string& text) {
  auto [it, added] = table.try_emplace(text, static_cast<int32_t>(table.size()));
  return it->second;
}

TPDFTextFunnelIndex::TAttributes TPDFTextFunnelIndex::Intern(const std::string& font, const std::string& colour,
                                                             const std::string& matrixKey) {
  return {InternText(Fonts, font), InternText(Colours, colour), InternText(Matrices, matrixKey)};
}

TPDFTextFunnelIndex::TGroupKey TPDFTextFunnelIndex::KeyOf(TAttributes a) const {
  return {CompareFont ? a.Font : -1, CompareColour ? a.Colour : -1, CompareMatrix ? a.Matrix : -1};
}

int32_t TPDFTextFunnelIndex::FindGroup(TAttributes attributes) const {
  auto it = Groups.find(KeyOf(attributes));
  return it == Groups.end() ? -1 : it->second;
}

int32_t TPDFTextFunnelIndex::GroupFor(TAttributes attributes, double size) {
  auto [it, added] = Groups.try_emplace(KeyOf(attributes), static_cast<int32_t>(GroupList.size()));
  if (added) {
    // Cells twice the reach of a piece of this size: such a piece looks at two cells each way.
    const double cellSize =
        std::isfinite(size) && size > 0 ? std::clamp(size, SmallestCellSize, LargestCellSize) : BodyTextSize;
    GroupList.push_back({{}, 2 * ReachX(cellSize), 2 * ReachY(cellSize)});
  }
  return it->second;
}

TPDFTextFunnelIndex::TCell TPDFTextFunnelIndex::CellOf(int32_t group, const TPDFFunnelPoint& p) const {
  const TGroup& g = GroupList[static_cast<size_t>(group)];
  return {group, CellNumber(p.X, g.CellWidth), CellNumber(p.Y, g.CellHeight)};
}

void TPDFTextFunnelIndex::File(int32_t block) {
  TEntry& e = Entries[static_cast<size_t>(block)];
  e.Filed = IsFinite(e.End);
  if (!e.Filed) return;
  e.Cell = CellOf(e.Group, e.End);
  int32_t& head = Cells.HeadFor(e.Cell);
  e.PreviousInCell = -1;
  e.NextInCell = head;
  if (head != -1) Entries[static_cast<size_t>(head)].PreviousInCell = block;
  head = block;
}

void TPDFTextFunnelIndex::Unfile(int32_t block) {
  TEntry& e = Entries[static_cast<size_t>(block)];
  if (!e.Filed) return;
  e.Filed = false;
  if (e.PreviousInCell != -1)
    Entries[static_cast<size_t>(e.PreviousInCell)].NextInCell = e.NextInCell;
  else
    Cells.HeadFor(e.Cell) = e.NextInCell;
  if (e.NextInCell != -1) Entries[static_cast<size_t>(e.NextInCell)].PreviousInCell = e.PreviousInCell;
}

void TPDFTextFunnelIndex::SetCompared(bool font, bool colour, bool matrix) {
  if (font == CompareFont && colour == CompareColour && matrix == CompareMatrix) return;
  CompareFont = font;
  CompareColour = colour;
  CompareMatrix = matrix;
  Regroup();
}

void TPDFTextFunnelIndex::Regroup() {
  Groups.clear();
  GroupList.clear();
  Cells.Clear();
  for (size_t i = 0; i < Entries.size(); ++i) {
    TEntry& e = Entries[i];
    e.Group = GroupFor(e.Attributes, e.Size);
    GroupList[static_cast<size_t>(e.Group)].Members.push_back(static_cast<int32_t>(i));
    File(static_cast<int32_t>(i));
  }
}

void TPDFTextFunnelIndex::Add(int32_t block, TAttributes attributes, const TPDFFunnelPoint& end, double size) {
  if (block != static_cast<int32_t>(Entries.size())) return;  // numbers are handed out in order
  TEntry e;
  e.Attributes = attributes;
  e.End = end;
  e.Size = size;
  e.Group = GroupFor(attributes, size);
  Entries.push_back(e);
  GroupList[static_cast<size_t>(e.Group)].Members.push_back(block);
  File(block);
}

void TPDFTextFunnelIndex::Move(int32_t block, const TPDFFunnelPoint& end) {
  if (block < 0 || static_cast<size_t>(block) >= Entries.size()) return;
  TEntry& e = Entries[static_cast<size_t>(block)];
  bool sameCell = e.Filed && IsFinite(end) && CellOf(e.Group, end) == e.Cell;
  e.End = end;
  if (sameCell) return;
  Unfile(block);
  File(block);
}

void TPDFTextFunnelIndex::Clear() {
  Fonts.clear();
  Colours.clear();
  Matrices.clear();
  Groups.clear();
  GroupList.clear();
  Cells.Clear();
  Entries.clear();
}

TPDFTextFunnelIndex::TMatch TPDFTextFunnelIndex::Find(TAttributes attributes, const TPDFFunnelPoint& start,
                                                      double size) const {
  // No distance is below a size that is not positive, and nothing is near a point at infinity.
  if (!(size > 0) || !IsFinite(start)) return {};
  int32_t group = FindGroup(attributes);
  if (group < 0) return {};
  TSearch search(start, size);
  if (!ScanGrid(search, group)) ScanGroup(search, group);
  return search.Result();
}

bool TPDFTextFunnelIndex::ScanGrid(TSearch& search, int32_t group) const {
  const TGroup& g = GroupList[static_cast<size_t>(group)];
  const double rx = ReachX(search.Size), ry = ReachY(search.Size);
  if (!std::isfinite(rx)) return false;
  // The slack covers the rounding of the distance, so that every block the exact test
  // accepts lies inside the scanned cells.
  const double slackX = (std::fabs(search.Start.X) + rx) * 1e-12;
  const double slackY = (std::fabs(search.Start.Y) + ry) * 1e-12;
  const int64_t x0 = CellNumber(search.Start.X - rx - slackX, g.CellWidth);
  const int64_t x1 = CellNumber(search.Start.X + rx + slackX, g.CellWidth);
  const int64_t y0 = CellNumber(search.Start.Y - ry - slackY, g.CellHeight);
  const int64_t y1 = CellNumber(search.Start.Y + ry + slackY, g.CellHeight);
  const double cellCount = static_cast<double>(x1 - x0 + 1) * static_cast<double>(y1 - y0 + 1);
  if (cellCount > static_cast<double>(g.Members.size())) return false;
  for (int64_t y = y0; y <= y1; ++y) {
    for (int64_t x = x0; x <= x1; ++x) {
      for (int32_t block = Cells.Head(TCell{group, x, y}); block != -1;
           block = Entries[static_cast<size_t>(block)].NextInCell)
        search.Consider(block, Entries[static_cast<size_t>(block)].End);
    }
  }
  return true;
}

void TPDFTextFunnelIndex::ScanGroup(TSearch& search, int32_t group) const {
  for (int32_t block : GroupList[static_cast<size_t>(group)].Members) {
    const TEntry& e = Entries[static_cast<size_t>(block)];
    if (!e.Filed) continue;
    search.Consider(block, e.End);
  }
}
