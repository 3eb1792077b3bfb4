// Parsing speed of the object parser over about 10 MB of dictionaries and arrays.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "pdf/PellarStructure.h"

namespace {

// A page-like dictionary with nested dictionaries, arrays, references, names, numbers
// and strings, as they appear in the body of a document.
std::string PageDictionary(int n) {
  std::string i = std::to_string(n);
  return "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 612 792] /CropBox [0.0 0.0 612.5 792.25]\n"
         "/Contents " + i + " 0 R /Resources << /Font << /F1 5 0 R /F2 6 0 R >> /ProcSet [/PDF /Text /ImageB]\n"
         "/ExtGState << /GS1 << /Type /ExtGState /CA 0.5 /ca 0.5 >> >> >>\n"
         "/Annots [" + i + " 0 R 8 0 R 9 0 R 10 0 R] /Rotate 0 /UserUnit 1.5 /Name#20X (Page \\(" + i + "\\)\\n)\n"
         "/ID <0123456789ABCDEF0123456789abcdef> /Matrix [1 0 0 1 -12.75 " + i + ".125] /Hidden false >>\n";
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  std::string text = "[\n";
  for (int n = 0; text.size() < 10 * 1000 * 1000; ++n) text += PageDictionary(n);
  text += "]\n";
  const double megabytes = static_cast<double>(text.size()) / 1e6;

  double bestParse = 1e9, bestWrite = 1e9;
  int objects = 0, items = 0;
  size_t written = 0;
  for (int run = 0; run < 5; ++run) {
    TPDFStructure pool;
    auto start = std::chrono::steady_clock::now();
    size_t consumed = 0;
    TPDFObject* result = pool.ParseAt(text, consumed);
    auto parsed = std::chrono::steady_clock::now();
    std::string out = result->Text();
    auto done = std::chrono::steady_clock::now();
    bestParse = std::min(bestParse, Seconds(parsed - start));
    bestWrite = std::min(bestWrite, Seconds(done - parsed));
    objects = pool.Count();
    items = result->Kind == TPDFObject::KindArray ? static_cast<TPDFArray*>(result)->Count() : 0;
    written = out.size();
    if (consumed != text.size() - 1) {
      std::printf("unexpected stop at byte %zu\n", consumed);
      return 1;
    }
  }
  std::printf("parse: %.1f MB in %.3f s = %.1f MB/s (%d dictionaries, %d objects)\n", megabytes, bestParse,
              megabytes / bestParse, items, objects);
  std::printf("write: %.1f MB of text in %.3f s = %.1f MB/s\n", static_cast<double>(written) / 1e6, bestWrite,
              static_cast<double>(written) / 1e6 / bestWrite);

  // Hostile input: 100 MB runs of openers must come back at once, as null.
  for (const std::string& opener : {std::string("["), std::string("<<")}) {
    std::string run;
    run.reserve(100 * 1000 * 1000);
    while (run.size() < 100 * 1000 * 1000) run += opener;
    TPDFStructure pool;
    auto start = std::chrono::steady_clock::now();
    TPDFObject* result = pool.Parse(run);
    double seconds = Seconds(std::chrono::steady_clock::now() - start);
    const char* kind = result->Kind == TPDFObject::KindNull ? "null" : "not null";
    std::printf("100 MB of \"%s\": %s in %.6f s\n", opener.c_str(), kind, seconds);
  }
  return 0;
}
