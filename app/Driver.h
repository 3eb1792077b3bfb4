#pragma once
// The program's main sequence: arguments, checks, loading, the page loop, the output.
#include <string>
#include <vector>

// Runs the program on already split arguments and answers the exit code.
// Everything is written to standard output.
int RunDriver(const std::vector<std::u16string>& args);

// The usage text, every line ended by CR LF.
extern const char16_t* const UsageText;
