#pragma once
// Helpers for the tests of the PDF object layer.
#include <initializer_list>
#include <string>
#include <string_view>

class TPDFStructure;

// A byte string from byte values, for data with control and high bytes.
std::string Bytes(std::initializer_list<int> values);
// The text form of the first object of the text, parsed in the given pool.
std::string ParsedText(TPDFStructure& pool, std::string_view text);
