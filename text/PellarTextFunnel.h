#pragma once
// Collects positioned text pieces of one page and merges them into blocks.
#include <cstdint>
#include <string>
#include <vector>

class TPDFTextFunnel {
public:
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
};
