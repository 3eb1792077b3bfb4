#include "tests/support/LongDocument.h"

#include <algorithm>
#include <vector>

#include "tests/support/PdfWriter.h"

namespace {

std::string Ref(int number) { return std::to_string(number) + " 0 R"; }

// Twelve lines of two columns; the words change with the page and the line, so that no two
// pages read alike.
std::string PageContent(int page) {
  static const char* const Words[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel"};
  std::string out = "BT /F1 11 Tf 72 720 Td 14 TL\n";
  for (int line = 0; line < 12; ++line) {
    out += "(Page " + std::to_string(page) + " line " + std::to_string(line + 1) + ": " +
           Words[(page + line) % 8] + " " + Words[(page * 3 + line) % 8] + ") '\n";
  }
  out += "ET\nBT /F2 10 Tf 340 706 Td 13 TL\n";
  for (int line = 0; line < 6; ++line) out += "(" + std::string(Words[(page + 2 * line) % 8]) + " and \\(more\\)) '\n";
  return out + "ET\n";
}

}  // namespace

std::string MakeLongTestPdf(int pages) {
  pages = std::max(pages, 1);
  TTestPdfWriter w;
  const int catalog = w.Reserve();
  const int root = w.Reserve();
  const int helvetica = w.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  const int times = w.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>");
  const int form = w.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 612 100] /Resources << /Font << /F1 " +
                                   Ref(helvetica) + " >> >>",
                               "BT /F1 9 Tf 72 40 Td (A footer drawn by a form shared by every third page) Tj ET");
  const std::string fonts = "/Font << /F1 " + Ref(helvetica) + " /F2 " + Ref(times) + " >>";
  const int sharedResources = w.Add("<< " + fonts + " /XObject << /Fx " + Ref(form) + " >> >>");
  // Nodes of at most ten pages, so that pages are found by a search of the tree.
  constexpr int PagesPerNode = 10;
  std::string nodeKids;
  for (int first = 1; first <= pages; first += PagesPerNode) {
    const int node = w.Reserve();
    const int last = std::min(pages, first + PagesPerNode - 1);
    std::string kids;
    for (int p = first; p <= last; ++p) {
      std::string contents, resources;
      if (p % 3 == 0) {
        // Every third page: the shared resources, and the form drawn from a second stream.
        resources = Ref(sharedResources);
        contents = "[" + Ref(w.AddStream("", PageContent(p))) + " " + Ref(w.AddStream("", "/Fx Do\n")) + "]";
      } else {
        resources = "<< " + fonts + " >>";
        contents = Ref(w.AddStream("", PageContent(p)));
      }
      kids += Ref(w.Add("<< /Type /Page /Parent " + Ref(node) + " /MediaBox [0 0 612 792] /Resources " + resources +
                        " /Contents " + contents + " >>")) +
              " ";
    }
    w.Set(node, "<< /Type /Pages /Parent " + Ref(root) + " /Kids [" + kids + "] /Count " +
                    std::to_string(last - first + 1) + " >>");
    nodeKids += Ref(node) + " ";
  }
  w.Set(root, "<< /Type /Pages /Kids [" + nodeKids + "] /Count " + std::to_string(pages) + " >>");
  w.Set(catalog, "<< /Type /Catalog /Pages " + Ref(root) + " >>");
  return w.Build(catalog);
}
