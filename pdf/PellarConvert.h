#pragma once
// Text and number conversions shared across the engine. Byte strings are one
// byte per character; "wide" text is UTF-16.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// After trimming: digits, "." and "-" only, a "-" only first, at most one ".".
bool IsDecimalText(std::string_view text);
// The engine's lenient decimal reading: 0 unless IsDecimalText.
double TextToReal(std::string_view text);

// Integer syntax: optional leading blanks, one optional sign, then decimal digits
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow and
// the value must fit the type. Answers nothing when the text is not such an integer.
std::optional<int32_t> ParseInt32(const std::u16string& text);
std::optional<int64_t> ParseInt64(const std::u16string& text);
int32_t TextToIntDef(const std::string& text, int32_t fallback);
int64_t TextToInt64Def(const std::string& text, int64_t fallback);

// x rounded half away from zero to at most `decimals` places, trailing zeros and a
// bare point dropped ("0.####" pattern); reads x to 18 significant digits first.
std::string FormatReal(int decimals, double x);
// x with exactly `decimals` places ("%.2f" style), halves away from zero, no "-0.00".
std::string FormatFixed(int decimals, double x);

std::string ZeroPadded(int64_t n, int width);
// "D:yyyymmddhhmmss" and the zone: "Z", or "+hh'mm'" / "-hh'mm'".
std::string PdfDateNow();
std::string PdfDate(int year, int month, int day, int hour, int minute, int second, long offsetSeconds);

std::u16string TrimSpaces(const std::u16string& text);     // U+0020 only
std::string TrimBlanks(const std::string& text);           // bytes up to 32
std::u16string TrimBlanks(const std::u16string& text);     // units up to 32
std::string UpperAscii(std::string text);
std::u16string UpperAscii(std::u16string text);
std::u16string LowerAscii(std::u16string text);

// Position (from 1) of the first occurrence of sub in text, 0 when absent.
size_t WidePos(const std::u16string& sub, const std::u16string& text);
enum : int { ReplaceAll = 1, ReplaceIgnoreCase = 2 };
std::u16string WideReplace(const std::u16string& text, const std::u16string& oldText,
                           const std::u16string& newText, int flags);
std::u16string UnwrapMarkedText(const std::u16string& text);

// Invalid UTF-8 sequences become U+FFFD, one for each maximal bad subpart.
std::u16string UTF8ToUTF16(const std::string& text);
// Applies UnwrapMarkedText first; unpaired surrogates become U+FFFD.
std::string UTF16ToUTF8(const std::u16string& text);
// One byte to one UTF-16 unit (Latin-1), for engine texts such as names and numbers.
std::u16string AsciiToWide(const std::string& text);
// The Windows-1252 byte of a UTF-16 unit; "?" where the code page has none.
char Windows1252Byte(char16_t c);

// File name parts: after the last "/" and up to and including it.
std::u16string ExtractFileName(const std::u16string& path);
std::u16string ExtractFilePath(const std::u16string& path);
