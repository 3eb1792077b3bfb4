// Loading damaged files, whose objects are found by one scan of the file: a sound 20 MB file
// without "startxref", and hostile files of the same size made of the keywords the scan looks
// for (millions of "n 0 obj", "stream" without "endstream", "trailer"). The time per megabyte
// must stay flat across them: a quadratic scan would take minutes on these.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"

namespace {

constexpr size_t Size = 20 * 1000 * 1000;

std::string Repeated(const std::string& head, const std::string& unit) {
  std::string out = head;
  while (out.size() < Size) out += unit;
  return out;
}

// Pages with their own content, and no cross-reference data at all.
std::string SoundWithoutTable() {
  std::string out = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
  std::string kids;
  int number = 3, pages = 0;
  std::string body;
  const std::string content = "BT /F1 12 Tf 72 700 Td (" + std::string(400, 'x') + ") Tj ET";
  while (body.size() < Size) {
    body += std::to_string(number) + " 0 obj\n<< /Type /Page /Parent 2 0 R /Contents " + std::to_string(number + 1) +
            " 0 R >>\nendobj\n" + std::to_string(number + 1) + " 0 obj\n<< /Length " +
            std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n";
    kids += std::to_string(number) + " 0 R ";
    number += 2;
    ++pages;
  }
  return out + "2 0 obj\n<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>\nendobj\n" +
         body + "%%EOF\n";
}

}  // namespace

int main() {
  const struct {
    const char* Name;
    std::string File;
  } cases[] = {
      {"sound file without startxref", SoundWithoutTable()},
      {"\"n 0 obj\" tokens", Repeated("%PDF-1.4\n", "1 0 obj ")},
      {"\"stream\" without \"endstream\"", Repeated("%PDF-1.4\n1 0 obj<<>>", "stream\n")},
      {"\"trailer\" words", Repeated("%PDF-1.4\n", "trailer ")},
      {"a catalog per object", Repeated("%PDF-1.4\n", "1 0 obj<</Type/Catalog>>\n")},
  };
  for (const auto& c : cases) {
    double best = 1e9;
    int pages = 0;
    for (int run = 0; run < 3; ++run) {
      const auto start = std::chrono::steady_clock::now();
      TPDFDocument document;
      document.LoadFromBytes(c.File, u"");
      pages = document.PageTree().PageCount();
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const double megabytes = static_cast<double>(c.File.size()) / 1e6;
    std::printf("%-32s %6.1f MB  %8d pages  %7.3f s  %7.1f MB/s\n", c.Name, megabytes, pages, best, megabytes / best);
  }
  return 0;
}
