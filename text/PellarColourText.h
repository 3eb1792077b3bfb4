#pragma once
// The colour text of text pieces and listings: "#" and two upper-case hex digits each
// for red, green and blue.
#include <cstdint>
#include <string>

inline std::string ColourText(uint8_t red, uint8_t green, uint8_t blue) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (uint8_t v : {red, green, blue}) {
    text += digits[v >> 4];
    text += digits[v & 15];
  }
  return text;
}
