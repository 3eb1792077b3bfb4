#pragma once
// Row-vector matrices [a b c d e f] as PDF writes them: (x, y) maps to
// (a x + c y + e, b x + d y + f).
#include <array>

using TPDFMatrix = std::array<double, 6>;

inline constexpr TPDFMatrix IdentityMatrix{1, 0, 0, 1, 0, 0};

// m x n: m is applied first, then n.
inline TPDFMatrix Multiply(const TPDFMatrix& m, const TPDFMatrix& n) {
  return {m[0] * n[0] + m[1] * n[2],        m[0] * n[1] + m[1] * n[3],
          m[2] * n[0] + m[3] * n[2],        m[2] * n[1] + m[3] * n[3],
          m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
}

inline TPDFMatrix Translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
