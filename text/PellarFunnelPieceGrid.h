#pragma once
// The centres of the text pieces drawn so far, filed in a grid of user space, so that the
// funnel can ask whether other text lies between a block's end and a piece that would
// continue it: in "0.1" set in two fonts, the "1" must not join the "0" across the ".".
#include <cstdint>
#include <vector>

#include "text/PellarTextFunnel.h"

class TPDFFunnelPieceGrid {
public:
  // The band across the line, relative to the block's end: from Low to High along the unit
  // vector Up, which stands at right angles to the unit vector Along of the text direction.
  struct TLine {
    TPDFFunnelPoint Along, Up;
    double Low = 0, High = 0;
  };

  void Clear();
  // A piece of the numbered block with its centre; points that are not finite are not filed.
  // The first piece's height sizes the grid's cells.
  void Add(int32_t block, const TPDFFunnelPoint& centre, double height);
  // Whether the centre of a piece of another block lies strictly between end and start along
  // the line and within its band across it.
  bool TextBetween(int32_t block, const TPDFFunnelPoint& end, const TPDFFunnelPoint& start,
                   const TLine& line) const;

private:
  struct TPiece {
    TPDFFunnelPoint Centre;
    int32_t Block;
    int32_t Next;  // the piece filed before it in its cell, -1 for none
  };
  int64_t CellNumber(double v) const;
  static uint64_t CellKey(int64_t x, int64_t y);
  // Counts one step of work; false when the page's work is used up.
  bool Spend() const;
  bool Between(const TPiece& piece, int32_t block, const TPDFFunnelPoint& end, double length,
               const TLine& line) const;

  std::vector<TPiece> All;
  // Open addressing from a cell to the latest piece filed in it (a position in All); at most
  // half full. Key 0 is free: CellKey never makes it, as the first number is offset.
  struct TSlot {
    uint64_t Key = 0;
    int32_t Latest = -1;
  };
  size_t SlotOf(uint64_t key) const;
  std::vector<TSlot> Cells;
  size_t UsedCells = 0;
  double CellSize = 0;
  mutable int64_t WorkLeft = 0;
};
