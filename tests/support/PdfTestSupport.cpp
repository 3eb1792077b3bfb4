#include "tests/support/PdfTestSupport.h"

#include "pdf/PellarStructure.h"

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

std::string ParsedText(TPDFStructure& pool, std::string_view text) { return pool.Parse(text)->Text(); }
