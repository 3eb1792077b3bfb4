#include "text/PellarTextFunnel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>
#include <unordered_map>

#include "pdf/PellarConvert.h"
#include "text/PellarFunnelIndex.h"
#include "text/PellarFunnelPieceGrid.h"
#include "text/PellarWordGap.h"

namespace {

// A gap narrower than NarrowGapShare of the size (at the default gap factor) joins the
// texts without a space.
constexpr double NarrowGapShare = 0.3;
constexpr double DefaultGapFactor = 0.7;
// The band in which other text parts a block from a piece reaches this share of the size
// beyond the lines of both.
constexpr double LineBandMargin = 0.1;

TPDFFunnelPoint Transform(const TPDFTextFunnel::TMatrix& m, double x, double y) {
  return {m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5]};
}

// Bytes widen one to one, as everywhere in the engine's texts.
void AppendAscii(std::u16string& out, const std::string& bytes) {
  for (unsigned char c : bytes) out += static_cast<char16_t>(c);
}

// A quoted CSV field: a CR would end the line, so it becomes a space, and a double quote
// would end the field, so it is escaped with a backslash.
template <typename Text>
void AppendQuoted(std::u16string& out, const Text& text) {
  out += u'"';
  for (auto unit : text) {
    const char16_t c = static_cast<char16_t>(static_cast<std::make_unsigned_t<decltype(unit)>>(unit));
    if (c == u'\r') {
      out += u' ';
      continue;
    }
    if (c == u'"') out += u'\\';
    out += c;
  }
  out += u'"';
}

}  // namespace

TPDFTextFunnel::TPDFTextFunnel()
    : Index(std::make_unique<TPDFTextFunnelIndex>()), Pieces(std::make_unique<TPDFFunnelPieceGrid>()) {}

TPDFTextFunnel::~TPDFTextFunnel() = default;

void TPDFTextFunnel::Clear() {
  BlockList.clear();
  AfterBlank = false;
  Layout.clear();
  LayoutCurrent = false;
  Index->Clear();
  Pieces->Clear();
}

void TPDFTextFunnel::DropOverprints() {
  // A copy lies within a fifth of the font size; each block is compared with the last few
  // kept blocks of its text only, so pages of many equal texts stay linear.
  constexpr double Near = 0.2;
  constexpr size_t Compared = 8;
  std::unordered_map<std::u16string, std::vector<size_t>> kept;
  std::vector<bool> drop(BlockList.size(), false);
  for (size_t i = BlockList.size(); i-- > 0;) {
    const TPDFTextFunnelBlock& b = BlockList[i];
    if (b.Text.find_first_not_of(u' ') == std::u16string::npos) continue;
    std::vector<size_t>& same = kept[b.Text];
    const double tolerance = Near * b.Size;
    for (size_t k = same.size(); k-- > 0 && same.size() - k <= Compared;) {
      const TPDFTextFunnelBlock& o = BlockList[same[k]];
      if (o.MatrixText == b.MatrixText && std::fabs(o.P0.X - b.P0.X) <= tolerance &&
          std::fabs(o.P0.Y - b.P0.Y) <= tolerance) {
        drop[i] = true;
        break;
      }
    }
    if (!drop[i]) same.push_back(i);
  }
  size_t out = 0;
  for (size_t i = 0; i < BlockList.size(); ++i) {
    if (drop[i]) continue;
    if (out != i) BlockList[out] = std::move(BlockList[i]);  // never onto itself: that empties it
    ++out;
  }
  BlockList.resize(out);
  LayoutCurrent = false;
}

std::string TPDFTextFunnel::MatrixMergeKey(const TMatrix& m) {
  // Pieces placed glyph by glyph, each with a matrix of its own horizontal scale (an OCR
  // layer), still form words: matrices merge when their baselines point the same way, they
  // keep or mirror the same handedness and their height across the baseline is the same.
  constexpr double DirectionStep = 1e-4;  // radians
  constexpr int HeightDigits = 5;
  const double baseline = std::hypot(m[0], m[1]), determinant = m[0] * m[3] - m[1] * m[2];
  if (baseline > 0 && std::isfinite(baseline) && std::isfinite(determinant) && determinant != 0) {
    const double direction = std::round(std::atan2(m[1], m[0]) / DirectionStep) + 0.0;  // no "-0"
    char height[32];
    std::snprintf(height, sizeof height, "%.*g", HeightDigits, std::fabs(determinant) / baseline);
    return FormatReal(0, direction) + (determinant > 0 ? " + " : " - ") + height;
  }
  // A matrix without a baseline or a height is compared element by element; the elements are
  // separated, since concatenations such as "1" "0" "0" "12" and "10" "0" "1" "2" coincide.
  std::string key;
  for (size_t i = 0; i < 4; ++i) key += FormatReal(4, m[i]) + ' ';
  return key;
}

const TPDFTextFunnel::TMatrixTexts& TPDFTextFunnel::MatrixTextsOf(const TMatrix& m) {
  const std::array<double, 4> elements{m[0], m[1], m[2], m[3]};
  if (LastMatrix.Valid && LastMatrix.Elements == elements) return LastMatrix;
  LastMatrix.Text.clear();
  for (double e : elements) LastMatrix.Text += FormatReal(4, e);
  LastMatrix.Key = MatrixMergeKey(m);
  LastMatrix.Elements = elements;
  LastMatrix.Valid = true;
  return LastMatrix;
}

bool TPDFTextFunnel::TextBetween(int32_t block, const TMatrix& m, const TPDFFunnelPoint& start,
                                 const TPDFFunnelPoint& top, double size) const {
  const TPDFTextFunnelBlock& b = BlockList[static_cast<size_t>(block)];
  const double scale = std::hypot(m[0], m[1]);
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  TPDFFunnelPieceGrid::TLine line;
  line.Along = {m[0] / scale, m[1] / scale};
  line.Up = {-line.Along.Y, line.Along.X};
  if (m[2] * line.Up.X + m[3] * line.Up.Y < 0) line.Up = {-line.Up.X, -line.Up.Y};
  // Across the line, the band covers the block's end and the piece, from the lower line to
  // the upper one, and a little more.
  auto across = [&](const TPDFFunnelPoint& p) { return (p.X - b.P1.X) * line.Up.X + (p.Y - b.P1.Y) * line.Up.Y; };
  const double values[] = {0, across(b.P2), across(start), across(top)};
  const double tolerance = std::isfinite(size) ? std::fabs(size) * LineBandMargin : 0;
  line.Low = *std::min_element(std::begin(values), std::end(values)) - tolerance;
  line.High = *std::max_element(std::begin(values), std::end(values)) + tolerance;
  return Pieces->TextBetween(block, b.P1, start, line);
}

bool TPDFTextFunnel::JoinsWithSpace(const TPDFTextFunnelBlock& block, const TMatrix& m, const TPDFFunnelPoint& start,
                                    const std::u16string& text, double size, double spaceWidth, bool gapped,
                                    double distance) const {
  // A blank already parts the texts.
  if ((!block.Text.empty() && IsBlankUnit(block.Text.back())) || (!text.empty() && IsBlankUnit(text.front())))
    return false;
  // A blank piece drawn right before, between the two, stands for the space.
  if (AfterBlank && std::hypot(BlankStart.X - block.P1.X, BlankStart.Y - block.P1.Y) < size) return true;
  const double scale = std::hypot(m[0], m[1]);
  if (!(spaceWidth > 0) || !(scale > 0) || !std::isfinite(scale)) {
    // Without the font's space, a gap of 0.3 em (at the default gap factor) is a word gap.
    return gapped && distance >= size * NarrowGapShare * GapFactor / DefaultGapFactor;
  }
  // The gap is measured along the baseline, so a piece that continues the block a little
  // higher up has none, and one that goes back over the block's end is kerned (logos such as
  // TeX's go back a sixth of an em, half the space of their font).
  const double gap = ((start.X - block.P1.X) * m[0] + (start.Y - block.P1.Y) * m[1]) / scale;
  return IsWordGap(gap, spaceWidth * scale);
}

void TPDFTextFunnel::AddPiece(const TMatrix& m, const std::u16string& text, const std::string& colour,
                              const std::string& font, double size, double x, double y, double w, double h,
                              const std::vector<double>& charWidths, double spaceWidth) {
  const TPDFFunnelPoint q0 = Transform(m, x, y), q1 = Transform(m, x + w, y);
  const TPDFFunnelPoint q2 = Transform(m, x + w, y + h), q3 = Transform(m, x, y + h);
  const TMatrixTexts& matrix = MatrixTextsOf(m);
  Index->SetCompared(!IgnoreFont, !IgnoreColour, !IgnoreMatrix);
  const TPDFTextFunnelIndex::TAttributes attributes = Index->Intern(font, colour, matrix.Key);
  TPDFTextFunnelIndex::TMatch match;
  if (MergeAllowed) match = Index->Find(attributes, q0, size);
  MergeAllowed = true;
  LayoutCurrent = false;

  // Blocks are matched by font: in "0.1" set in two fonts the "1" would join the "0" across
  // the "." of the other font.
  if (match.Block >= 0 && TextBetween(match.Block, m, q0, q3, size)) match.Block = -1;
  bool spaced = false;
  if (match.Block >= 0) {
    spaced = JoinsWithSpace(BlockList[static_cast<size_t>(match.Block)], m, q0, text, size, spaceWidth,
                            match.Gapped, match.Distance);
    // Without gap joins, a word gap or a gap on the line parts the pieces.
    if (NoGapJoin && (spaced || match.Gapped)) match.Block = -1;
  }
  const bool blank = IsBlankText(text);
  if (blank && !AfterBlank) BlankStart = q0;
  AfterBlank = blank;

  TPDFTextFunnelBlock* target;
  if (match.Block >= 0) {
    target = &BlockList[static_cast<size_t>(match.Block)];
    if (spaced) {
      // The inserted space gets the gap as its width.
      target->Text += u' ';
      target->Widths.push_back(match.Distance);
    }
    target->Text += text;
    target->P1 = q1;
    target->P2 = q2;
    Index->Move(match.Block, q1);
  } else {
    target = &BlockList.emplace_back();
    target->P0 = q0;
    target->P1 = q1;
    target->P2 = q2;
    target->P3 = q3;
    target->Text = text;
    target->Font = font;
    target->MatrixText = matrix.Text;
    target->Colour = colour;
    target->Size = size;
    Index->Add(static_cast<int32_t>(BlockList.size() - 1), attributes, q1, size);
  }
  for (double cw : charWidths) target->Widths.push_back(cw * m[0]);
  if (!blank)
    Pieces->Add(static_cast<int32_t>(target - BlockList.data()), {(q0.X + q2.X) / 2, (q0.Y + q2.Y) / 2},
                std::hypot(q3.X - q0.X, q3.Y - q0.Y));
}

double TPDFTextFunnel::OutputX(double x) const {
  return Origin == 2 || Origin == 3 ? PageWidth - x * UnitScale : x * UnitScale;
}

double TPDFTextFunnel::OutputY(double y) const {
  return Origin == 1 || Origin == 2 ? PageHeight - y * UnitScale : y * UnitScale;
}

void TPDFTextFunnel::AppendCsvLine(const TPDFTextFunnelBlock& b, std::u16string& out) const {
  // The font is quoted like the text: a name may hold any byte, and an unescaped quote
  // would shift every field after it.
  AppendQuoted(out, b.Font);
  out += u',';
  AppendAscii(out, b.Colour);
  out += u',';
  AppendAscii(out, FormatReal(2, b.Size));
  for (const TPDFFunnelPoint* p : {&b.P0, &b.P1, &b.P2, &b.P3}) {
    out += u',';
    AppendAscii(out, FormatReal(4, OutputX(p->X)));
    out += u',';
    AppendAscii(out, FormatReal(4, OutputY(p->Y)));
  }
  out += u',';
  AppendQuoted(out, b.Text);
  out += u"\r\n";
}

void TPDFTextFunnel::AppendWidthsLine(const TPDFTextFunnelBlock& b, std::u16string& out) const {
  // Widths are lengths: they are scaled to output units but, unlike positions, not
  // mirrored at the page edge when the origin is on the right.
  for (size_t i = 0; i < b.Widths.size(); ++i) {
    if (i > 0) out += u',';
    AppendAscii(out, FormatReal(4, b.Widths[i] * UnitScale));
  }
  out += u"\r\n";
}

void TPDFTextFunnel::WriteCsv(std::u16string& out) const {
  out.clear();
  out.reserve(BlockList.size() * 96);  // a short block's line, to spare most regrowth
  for (const TPDFTextFunnelBlock& b : BlockList) {
    AppendCsvLine(b, out);
    if (WriteWidths) AppendWidthsLine(b, out);
  }
}
