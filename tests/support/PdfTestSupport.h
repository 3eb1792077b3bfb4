#pragma once
// Helpers for the tests of the PDF object layer.
#include <string>
#include <string_view>

#include "tests/support/TestBytes.h"

class TPDFStructure;

// The text form of the first object of the text, parsed in the given pool.
std::string ParsedText(TPDFStructure& pool, std::string_view text);
