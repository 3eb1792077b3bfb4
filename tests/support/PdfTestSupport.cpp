#include "tests/support/PdfTestSupport.h"

#include "pdf/PellarStructure.h"

std::string ParsedText(TPDFStructure& pool, std::string_view text) { return pool.Parse(text)->Text(); }
