#include "filters/PellarAscii85.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint8_t FirstDigit = '!';
constexpr uint8_t LastDigit = 'u';
constexpr uint32_t ZeroGroupLength = 5;  // "z" is five "!"
constexpr uint64_t MaxGroupValue = 0xFFFFFFFFu;

// How many characters of the decoded text a byte stands for: digits and "~" one, "z" five,
// everything else none.
uint32_t TextLength(uint8_t c) {
  if (c >= FirstDigit && c <= LastDigit) return 1;
  if (c == 'z') return ZeroGroupLength;
  if (c == '~') return 1;
  return 0;
}

// The input length that holds the text to decode, and that text's length: up to the last
// "~>" pair of retained characters, or all of it when there is none.
struct TAscii85Extent {
  size_t InputEnd = 0;
  size_t TextLen = 0;
};

TAscii85Extent FindExtent(const std::string& data) {
  TAscii85Extent extent;
  size_t textLen = 0, tildePos = 0, textAtTilde = 0;
  bool afterTilde = false, marked = false;
  for (size_t i = 0; i < data.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(data[i]);
    const uint32_t n = TextLength(c);
    if (n == 0) continue;
    if (afterTilde && c == '>') {
      extent = {tildePos, textAtTilde};
      marked = true;
    }
    afterTilde = c == '~';
    if (afterTilde) {
      tildePos = i;
      textAtTilde = textLen;
    }
    textLen += n;
  }
  return marked ? extent : TAscii85Extent{data.size(), textLen};
}

// Collects digits into groups of five and writes their bytes.
class TAscii85Writer {
public:
  TAscii85Writer(size_t textLen, size_t limit) : Limit(limit) {
    Output.reserve(std::min(limit, textLen / 5 * 4 + 4));
  }

  bool Full() const { return Output.size() >= Limit; }

  void Add(uint32_t digit) {
    Value = Value * 85 + digit;
    if (++Count == 5) {
      Put(Value <= MaxGroupValue ? Value : 0, 4);
      Value = 0;
      Count = 0;
    }
  }

  // A final group of r characters is padded with "u" and gives r - 1 bytes.
  std::string Finish() {
    if (Count >= 2) {
      uint64_t value = Value;
      for (uint32_t i = Count; i < 5; ++i) value = value * 85 + (LastDigit - FirstDigit);
      Put(value < MaxGroupValue ? value : 0, Count - 1);
    }
    return std::move(Output);
  }

private:
  void Put(uint64_t value, uint32_t bytes) {
    for (uint32_t i = 0; i < bytes && !Full(); ++i) Output.push_back(static_cast<char>(value >> (24 - 8 * i)));
  }

  std::string Output;
  size_t Limit;
  uint64_t Value = 0;
  uint32_t Count = 0;
};

}  // namespace

std::string Ascii85Decode(const std::string& data, size_t limit) {
  const TAscii85Extent extent = FindExtent(data);
  TAscii85Writer writer(extent.TextLen, limit);
  for (size_t i = 0; i < extent.InputEnd && !writer.Full(); ++i) {
    const uint8_t c = static_cast<uint8_t>(data[i]);
    if (c == 'z') {
      for (uint32_t k = 0; k < ZeroGroupLength; ++k) writer.Add(0);
    } else if (TextLength(c) == 1) {
      writer.Add(c - FirstDigit);
    }
  }
  return writer.Finish();
}
