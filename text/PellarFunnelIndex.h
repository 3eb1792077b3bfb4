#pragma once
// Finds the block a new text piece continues without comparing the piece with every block.
// Blocks are grouped by the attributes the merge compares, and within a group filed in a
// grid by the end point of their lower line, which is where a continuing piece starts.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "text/PellarTextFunnel.h"

class TPDFTextFunnelIndex {
public:
  // Interned attribute texts: equal numbers for equal texts.
  struct TAttributes {
    int32_t Font = 0;
    int32_t Colour = 0;
    int32_t Matrix = 0;
  };
  struct TMatch {
    int32_t Block = -1;  // -1: no block continues
    bool Gapped = false;
    double Distance = 0;  // from the block's end to the piece's start
  };

  TAttributes Intern(const std::string& font, const std::string& colour, const std::string& matrixKey);
  // Which attributes take part in the comparison; a change regroups the blocks filed so far.
  void SetCompared(bool font, bool colour, bool matrix);
  // Blocks are numbered 0, 1, 2 ... in the order they are added; size is that of their first
  // piece, which sizes the grid of a new group.
  void Add(int32_t block, TAttributes attributes, const TPDFFunnelPoint& end, double size);
  void Move(int32_t block, const TPDFFunnelPoint& end);
  // The block whose end lies nearest start within size / 3.75; failing that, the nearest whose
  // end lies within size of start and less than 2 units above or below it. Of equally near
  // blocks, the first created.
  TMatch Find(TAttributes attributes, const TPDFFunnelPoint& start, double size) const;
  void Clear();

private:
  struct TCell {
    int32_t Group;
    int64_t X, Y;
    bool operator==(const TCell&) const = default;
  };
  // Open addressing from a cell to the first block filed in it; cells are never removed,
  // an emptied cell keeps -1, so there are at most as many as pieces were filed.
  class TCellTable {
  public:
    int32_t Head(const TCell& cell) const;
    int32_t& HeadFor(const TCell& cell);  // adds the cell when new
    void Clear();

  private:
    struct TSlot {
      TCell Cell{};
      int32_t Head = -1;
      bool Used = false;
    };
    size_t SlotOf(const TCell& cell) const;
    void Grow();
    std::vector<TSlot> Slots;
    size_t Count = 0;
  };
  struct TGroupKey {
    int32_t Font, Colour, Matrix;
    bool operator==(const TGroupKey&) const = default;
  };
  struct TGroupKeyHash {
    size_t operator()(const TGroupKey& k) const;
  };
  struct TGroup {
    std::vector<int32_t> Members;  // block numbers in creation order
    double CellWidth = 0, CellHeight = 0;
  };
  struct TEntry {
    TAttributes Attributes;
    TPDFFunnelPoint End;
    double Size = 0;
    int32_t Group = -1;
    bool Filed = false;  // only finite end points are in the grid; the others never match
    TCell Cell{};
    int32_t PreviousInCell = -1, NextInCell = -1;
  };
  struct TSearch;

  static int32_t InternText(std::unordered_map<std::string, int32_t>& table, const std::string& text);
  TGroupKey KeyOf(TAttributes attributes) const;
  int32_t FindGroup(TAttributes attributes) const;
  int32_t GroupFor(TAttributes attributes, double size);
  TCell CellOf(int32_t group, const TPDFFunnelPoint& p) const;
  void File(int32_t block);
  void Unfile(int32_t block);
  void Regroup();
  // False when the grid would cost more than looking at every member of the group.
  bool ScanGrid(TSearch& search, int32_t group) const;
  void ScanGroup(TSearch& search, int32_t group) const;

  std::unordered_map<std::string, int32_t> Fonts, Colours, Matrices;
  std::unordered_map<TGroupKey, int32_t, TGroupKeyHash> Groups;
  std::vector<TGroup> GroupList;
  TCellTable Cells;
  std::vector<TEntry> Entries;
  bool CompareFont = true, CompareColour = true, CompareMatrix = true;
};
