#pragma once
// Numbers of content operands by the engine's lenient rules (IsDecimalText, TextToReal),
// read straight from the token: operand reading is the extractor's most frequent step.
#include <optional>
#include <string_view>

// The value of a token that passes the engine's number test, nothing for any other.
std::optional<double> ContentNumber(std::string_view token);
