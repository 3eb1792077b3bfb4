#include "text/PellarTextFunnel.h"

#include "pdf/PellarConvert.h"
#include "text/PellarFunnelIndex.h"

namespace {

// A gap narrower than NarrowGapShare of the size (at the default gap factor) joins the
// texts without a space.
constexpr double NarrowGapShare = 0.3;
constexpr double DefaultGapFactor = 0.7;

TPDFFunnelPoint Transform(const TPDFTextFunnel::TMatrix& m, double x, double y) {
  return {m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5]};
}

// A quoted CSV field: a CR would end the line, so it becomes a space, and a double quote
// would end the field, so it is escaped with a backslash.
std::u16string QuotedField(const std::u16string& text) {
  std::u16string out = u"\"";
  for (char16_t c : text) {
    if (c == u'\r') {
      out += u' ';
      continue;
    }
    if (c == u'"') out += u'\\';
    out += c;
  }
  return out + u'"';
}

std::u16string Number(int decimals, double value) { return AsciiToWide(FormatReal(decimals, value)); }

}  // namespace

TPDFTextFunnel::TPDFTextFunnel() : Index(std::make_unique<TPDFTextFunnelIndex>()) {}

TPDFTextFunnel::~TPDFTextFunnel() = default;

void TPDFTextFunnel::Clear() {
  BlockList.clear();
  Layout.clear();
  LayoutCurrent = false;
  Index->Clear();
}

void TPDFTextFunnel::AddPiece(const TMatrix& m, const std::u16string& text, const std::string& colour,
                              const std::string& font, double size, double x, double y, double w, double h,
                              const std::vector<double>& charWidths) {
  const TPDFFunnelPoint q0 = Transform(m, x, y), q1 = Transform(m, x + w, y);
  const TPDFFunnelPoint q2 = Transform(m, x + w, y + h), q3 = Transform(m, x, y + h);
  std::vector<double> widths;
  widths.reserve(charWidths.size());
  for (double cw : charWidths) widths.push_back(cw * m[0]);

  // The block keeps the elements concatenated; the comparison separates them, since
  // concatenations such as "1" "0" "0" "12" and "10" "0" "1" "2" coincide.
  std::string elements[4];
  for (int i = 0; i < 4; ++i) elements[i] = FormatReal(4, m[static_cast<size_t>(i)]);
  const std::string matrixText = elements[0] + elements[1] + elements[2] + elements[3];
  const std::string matrixKey = elements[0] + ' ' + elements[1] + ' ' + elements[2] + ' ' + elements[3];

  Index->SetCompared(!IgnoreFont, !IgnoreColour, !IgnoreMatrix);
  const TPDFTextFunnelIndex::TAttributes attributes = Index->Intern(font, colour, matrixKey);
  TPDFTextFunnelIndex::TMatch match;
  if (MergeAllowed) match = Index->Find(attributes, q0, size);
  MergeAllowed = true;
  LayoutCurrent = false;

  if (match.Block >= 0 && !(match.Gapped && NoGapJoin)) {
    const bool narrow = match.Distance < size * NarrowGapShare * GapFactor / DefaultGapFactor;
    if (match.Gapped && !narrow) {
      // The inserted space gets the gap as its width.
      BlockList[static_cast<size_t>(match.Block)].Text += u' ';
      BlockList[static_cast<size_t>(match.Block)].Widths.push_back(match.Distance);
    }
    AppendToBlock(match.Block, text, widths, q1, q2);
    return;
  }

  TPDFTextFunnelBlock block;
  block.P0 = q0;
  block.P1 = q1;
  block.P2 = q2;
  block.P3 = q3;
  block.Text = text;
  block.Widths = std::move(widths);
  block.Font = font;
  block.MatrixText = matrixText;
  block.Colour = colour;
  block.Size = size;
  BlockList.push_back(std::move(block));
  Index->Add(static_cast<int32_t>(BlockList.size() - 1), attributes, q1);
}

void TPDFTextFunnel::AppendToBlock(int32_t block, const std::u16string& text, const std::vector<double>& widths,
                                   const TPDFFunnelPoint& q1, const TPDFFunnelPoint& q2) {
  TPDFTextFunnelBlock& b = BlockList[static_cast<size_t>(block)];
  b.Text += text;
  b.Widths.insert(b.Widths.end(), widths.begin(), widths.end());
  b.P1 = q1;
  b.P2 = q2;
  Index->Move(block, q1);
}

double TPDFTextFunnel::OutputX(double x) const {
  return Origin == 2 || Origin == 3 ? PageWidth - x * UnitScale : x * UnitScale;
}

double TPDFTextFunnel::OutputY(double y) const {
  return Origin == 1 || Origin == 2 ? PageHeight - y * UnitScale : y * UnitScale;
}

std::u16string TPDFTextFunnel::CsvLine(const TPDFTextFunnelBlock& b) const {
  // The font is quoted like the text: a name may hold any byte, and an unescaped quote
  // would shift every field after it.
  std::u16string line = QuotedField(AsciiToWide(b.Font)) + u',' + AsciiToWide(b.Colour) + u',' + Number(2, b.Size);
  for (const TPDFFunnelPoint* p : {&b.P0, &b.P1, &b.P2, &b.P3})
    line += u',' + Number(4, OutputX(p->X)) + u',' + Number(4, OutputY(p->Y));
  return line + u',' + QuotedField(b.Text) + u"\r\n";
}

std::u16string TPDFTextFunnel::WidthsLine(const TPDFTextFunnelBlock& b) const {
  // Widths are lengths: they are scaled to output units but, unlike positions, not
  // mirrored at the page edge when the origin is on the right.
  std::u16string line;
  for (size_t i = 0; i < b.Widths.size(); ++i) {
    if (i > 0) line += u',';
    line += Number(4, b.Widths[i] * UnitScale);
  }
  return line + u"\r\n";
}

void TPDFTextFunnel::WriteCsv(std::u16string& out) const {
  out.clear();
  for (const TPDFTextFunnelBlock& b : BlockList) {
    out += CsvLine(b);
    if (WriteWidths) out += WidthsLine(b);
  }
}
