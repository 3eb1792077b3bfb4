#pragma once
// Byte-string helpers for tests.
#include <initializer_list>
#include <string>

// A byte string from byte values.
std::string Bytes(std::initializer_list<int> values);
// Upper-case hex pairs separated by spaces, for readable failure messages.
std::string HexOf(const std::string& bytes);
