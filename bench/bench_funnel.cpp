// Times the text funnel on synthetic pages: merging pieces into blocks, the CSV output and
// the smart layout, for pages of 1 000, 10 000 and 100 000 pieces.
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "text/PellarTextFunnel.h"

namespace {

struct TPiece {
  double X, Y, W;
  std::string Colour;
  double Size = 10;
};

// Lines of words 4 units apart (joined with a space) in runs of five, the runs 30 units
// apart (separate blocks), like a dense table; a word in twenty is red.
std::vector<TPiece> TablePage(int count) {
  std::vector<TPiece> page;
  const int wordsPerLine = 100;
  for (int i = 0; i < count; ++i) {
    int line = i / wordsPerLine, word = i % wordsPerLine;
    double x = 20 + word * 24.0 + (word / 5) * 30.0;
    page.push_back({x, 10000.0 - line * 10.0, 20, i % 20 == 7 ? "#FF0000" : "#000000"});
  }
  return page;
}

// Words anywhere on a large page: nearly every piece becomes a block of its own.
std::vector<TPiece> ScatteredPage(int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> x(0, 3000), y(0, 10000);
  std::vector<TPiece> page;
  for (int i = 0; i < count; ++i) page.push_back({x(random), y(random), 20, "#000000"});
  return page;
}

// The table drawn forty times larger, as on a poster or in a drawing in large units.
std::vector<TPiece> LargeTypePage(int count) {
  std::vector<TPiece> page = TablePage(count);
  for (TPiece& p : page) p = {p.X * 40, p.Y * 40, p.W * 40, p.Colour, p.Size * 40};
  return page;
}

// One baseline of separate words: every block chains onto the same line.
std::vector<TPiece> OneLinePage(int count) {
  std::vector<TPiece> page;
  for (int i = 0; i < count; ++i) page.push_back({i * 50.0, 5000, 20, "#000000"});
  return page;
}

double Milliseconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Run(const char* name, const std::vector<TPiece>& page) {
  const TPDFTextFunnel::TMatrix m{1, 0, 0, 1, 0, 0};
  const std::u16string text = u"word5";
  const std::vector<double> widths(text.size(), 4);
  TPDFTextFunnel funnel;
  funnel.PageWidth = 3500;
  funnel.PageHeight = page.empty() || page[0].Size <= 10 ? 10050 : 402000;
  std::u16string csv, smart;
  double add = Milliseconds([&] {
    for (const TPiece& p : page) funnel.AddPiece(m, text, p.Colour, "F1", p.Size, p.X, p.Y, p.W, p.Size, widths);
  });
  double writeCsv = Milliseconds([&] { funnel.WriteCsv(csv); });
  double layout = Milliseconds([&] {
    funnel.LayoutBlocks();
    funnel.WriteSmartText(smart);
  });
  std::printf("%-10s %7zu pieces %7zu blocks  AddPiece %8.1f ms  WriteCsv %7.1f ms  Layout+Smart %7.1f ms"
              "  (%zu / %zu chars)\n",
              name, page.size(), funnel.Blocks().size(), add, writeCsv, layout, csv.size(), smart.size());
}

}  // namespace

int main() {
  for (int count : {1000, 10000, 100000}) {
    Run("table", TablePage(count));
    Run("scattered", ScatteredPage(count));
    Run("one line", OneLinePage(count));
    Run("large type", LargeTypePage(count));
  }
  return 0;
}
