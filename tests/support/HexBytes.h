#pragma once
// Hexadecimal text for byte strings in tests.
#include <string>
#include <string_view>

// Pairs of hexadecimal digits to bytes; blanks between them are skipped.
std::string HexToBytes(std::string_view hex);
// Lower-case hexadecimal digits, two per byte.
std::string BytesToHex(const std::string& bytes);
