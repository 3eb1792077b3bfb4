#pragma once
// Collects positioned text pieces of one page, merges pieces that continue one another
// into blocks, and writes the blocks as CSV lines or as text laid out like the page.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPDFTextFunnelIndex;
class TPDFFunnelPieceGrid;

struct TPDFFunnelPoint {
  double X = 0;
  double Y = 0;
};

struct TPDFTextFunnelBlock {
  TPDFFunnelPoint P0;  // start of the text on its lower line (user space)
  TPDFFunnelPoint P1;  // end of the text on its lower line
  TPDFFunnelPoint P2;  // end of the text on its upper line
  TPDFFunnelPoint P3;  // start of the text on its upper line
  std::u16string Text;
  std::vector<double> Widths;  // one advance per UTF-16 unit of Text
  std::string Font;            // of the first piece, as are the three below
  std::string MatrixText;      // a, b, c, d with at most 4 decimals, concatenated
  std::string Colour;          // "#RRGGBB"
  double Size = 0;
  // Layout box in points from the page's top edge, and the chain links as positions
  // in the layout list (-1 for none).
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0, Width = 0, Height = 0;
  int32_t Previous = -1, Next = -1;
  // A smaller block inside a line (an index, an exponent, a mark) whose place lies within
  // a block of that line is written inside that block's text: Host is that block's position,
  // HostIndex the UTF-16 index its text goes before. -1 for blocks written on their own.
  int32_t Host = -1, HostIndex = 0;
  bool Printed = false;
  int32_t CentreX = 0, CentreY = 0;
};

class TPDFTextFunnel {
public:
  using TMatrix = std::array<double, 6>;  // a b c d e f

  TPDFTextFunnel();
  ~TPDFTextFunnel();
  TPDFTextFunnel(const TPDFTextFunnel&) = delete;
  TPDFTextFunnel& operator=(const TPDFTextFunnel&) = delete;

  // Settings handed over by the engine for page-text options 3 to 7.
  int32_t Origin = 0;  // 0 bottom left, 1 top left, 2 top right, 3 bottom right
  double UnitScale = 1.0;
  double PageWidth = 0;
  double PageHeight = 0;
  double GapFactor = 0.7;
  bool IgnoreFont = false;
  bool IgnoreColour = false;
  bool IgnoreMatrix = false;
  bool NoGapJoin = false;
  bool WriteWidths = false;

  void Clear();
  // A piece is the box (x, y)-(x + w, y + h) in glyph units, mapped to user space by m;
  // size is in user-space units, charWidths and spaceWidth (the font's space, 0 when unknown)
  // in glyph units.
  void AddPiece(const TMatrix& m, const std::u16string& text, const std::string& colour, const std::string& font,
                double size, double x, double y, double w, double h, const std::vector<double>& charWidths,
                double spaceWidth = 0);
  void SetMergeAllowed(bool flag) { MergeAllowed = flag; }
  bool IsMergeAllowed() const { return MergeAllowed; }

  // Once the page is complete: of blocks with one text drawn at nearly one place (a shadow, or
  // bold faked by printing the text again a little aside), only the last drawn stays.
  void DropOverprints();

  // One line per block in creation order, each followed by its widths when WriteWidths is set.
  void WriteCsv(std::u16string& out) const;

  // Fills the blocks' layout fields, sorts the layout list and chains blocks on one line.
  void LayoutBlocks();
  // The chains as text lines on a grid of 8 points per line and 5 points per column.
  void WriteSmartText(std::u16string& out);

  // Pieces merge only with blocks of an equal key (unless IgnoreMatrix is set).
  static std::string MatrixMergeKey(const TMatrix& m);

  const std::vector<TPDFTextFunnelBlock>& Blocks() const { return BlockList; }
  // Block numbers in layout order; positions in it are what Previous and Next refer to.
  const std::vector<int32_t>& LayoutList() const { return Layout; }

private:
  // A matrix's a, b, c, d as the block keeps them and as the merge compares them.
  struct TMatrixTexts {
    std::array<double, 4> Elements{};
    std::string Text;
    std::string Key;
    bool Valid = false;
  };
  const TMatrixTexts& MatrixTextsOf(const TMatrix& m);
  void AppendCsvLine(const TPDFTextFunnelBlock& block, std::u16string& out) const;
  void AppendWidthsLine(const TPDFTextFunnelBlock& block, std::u16string& out) const;
  double OutputX(double x) const;
  double OutputY(double y) const;
  // The blocks in layout order.
  std::vector<TPDFTextFunnelBlock*> ByPosition();

  // Whether the text of another block lies between block's end and a piece that would continue it.
  bool TextBetween(int32_t block, const TMatrix& m, const TPDFFunnelPoint& start, const TPDFFunnelPoint& top,
                   double size) const;
  // Whether a piece continuing block joins it with a space.
  bool JoinsWithSpace(const TPDFTextFunnelBlock& block, const TMatrix& m, const TPDFFunnelPoint& start,
                      const std::u16string& text, double size, double spaceWidth, bool gapped,
                      double distance) const;

  std::vector<TPDFTextFunnelBlock> BlockList;
  std::vector<int32_t> Layout;
  bool LayoutCurrent = false;
  bool MergeAllowed = true;
  TMatrixTexts LastMatrix;  // the pieces of one string share their matrix
  // The piece before was only blanks and started here: it parts the words on either side.
  bool AfterBlank = false;
  TPDFFunnelPoint BlankStart;
  std::unique_ptr<TPDFTextFunnelIndex> Index;
  std::unique_ptr<TPDFFunnelPieceGrid> Pieces;
};
