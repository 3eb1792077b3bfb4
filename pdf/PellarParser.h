#pragma once
// PDF syntax at the byte level: the character classes, and the string operands of
// content streams. The object parser itself is TPDFStructure::Parse.
#include <string>
#include <string_view>

// Bytes 0, 9, 10, 12, 13 and 32; byte 11 is not whitespace.
bool IsPdfWhitespace(unsigned char c);
// ( ) < > [ ] / % {   ("}" is not a delimiter).
bool IsPdfDelimiter(unsigned char c);

// The name a name token stands for (without its slash): "#xx" escapes decoded.
std::string DecodeName(std::string_view raw);

// The bytes of a literal string token given with its parentheses.
std::string UnescapeLiteral(std::string_view token);
// The bytes of a hex string token given with its angle brackets; empty unless the
// token starts with "<" and ends with ">".
std::string DecodeHexToken(std::string_view token);
