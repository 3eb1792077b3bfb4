#pragma once
// Byte strings for tests: written as byte values or hexadecimal text, shown as hexadecimal.
#include <initializer_list>
#include <string>
#include <string_view>

// A byte string from byte values.
std::string Bytes(std::initializer_list<int> values);
// Pairs of hexadecimal digits to bytes; blanks between them are skipped.
std::string HexToBytes(std::string_view hex);
// Lower-case hexadecimal digits, two per byte; comparing through it gives readable failure messages.
std::string BytesToHex(const std::string& bytes);
// UTF-16 units as four upper-case hexadecimal digits each, followed by a blank.
std::string UnitsToHex(const std::u16string& text);
