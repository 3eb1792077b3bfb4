// ToUnicode parsing over well-formed and hostile maps of 2, 8 and 32 MB: the time per MB
// stays flat as the size grows when every kind of input is parsed in one pass. Also the
// lookup speed of the predefined Japanese maps, and of the Chinese and Korean ones with the
// cost of their first use (inflating the collection's maps).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "fonts/PellarCMap.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Repeat(const std::string& head, const std::string& unit, const std::string& tail, size_t size) {
  std::string text = head;
  while (text.size() < size) text += unit;
  return text + tail;
}

const std::string Head = "1 begincodespacerange <0000> <FFFF> endcodespacerange\n";

struct TInput {
  const char* Label;
  std::function<std::string(size_t)> Make;
};

const TInput Inputs[] = {
    {"bfchar sections", [](size_t n) { return Repeat(Head, "1 beginbfchar <0041> <0061> endbfchar\n", "endcmap", n); }},
    {"one array range", [](size_t n) { return Repeat(Head + "beginbfrange <0000> <7FFFFFFF> [", "<0041>", "] endbfrange", n); }},
    {"unterminated bfchar sections", [](size_t n) { return Repeat(Head, "beginbfchar <1> <41> ", "endcmap", n); }},
    {"openers without closers", [](size_t n) { return Repeat(Head + "beginbfchar ", "<", "endbfchar", n); }},
    {"long hex string", [](size_t n) { return Repeat(Head + "beginbfchar <1> <", "0041", "> endbfchar", n); }},
    {"section keywords only", [](size_t n) { return Repeat(Head, "beginbfrange endbfrange ", "", n); }},
};

}  // namespace

int main() {
  for (const TInput& input : Inputs) {
    std::printf("%-30s", input.Label);
    for (size_t megabytes : {2, 8, 32}) {
      const std::string text = input.Make(megabytes << 20);
      double best = 1e9;
      size_t ranges = 0;
      for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        ranges = ParseToUnicode(text).Ranges.size();
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
      }
      std::printf("  %2zu MB: %6.1f ms/MB (%zu entries)", megabytes, best * 1000 / megabytes, ranges);
    }
    std::printf("\n");
  }

  const auto start = std::chrono::steady_clock::now();
  size_t units = 0;
  for (int32_t code = 0; code < 0x10000; ++code) units += PredefinedUnicode("Identity-H", "Adobe-Japan1-6", code).size();
  std::printf("65536 Adobe-Japan1 lookups: %.1f ms (%zu units)\n", Seconds(std::chrono::steady_clock::now() - start) * 1000, units);

  for (const char* name : {"GBK-EUC-H", "ETen-B5-H", "KSCms-UHC-H"}) {
    const auto first = std::chrono::steady_clock::now();
    units = PredefinedUnicode(name, "", 0xB0A1).size();
    const auto loaded = std::chrono::steady_clock::now();
    for (int32_t code = 0x8140; code <= 0xFEFE; ++code) units += PredefinedUnicode(name, "", code).size();
    std::printf("%s: first use %.1f ms, %d lookups %.1f ms (%zu units)\n", name, Seconds(loaded - first) * 1000,
                0xFEFE - 0x8140, Seconds(std::chrono::steady_clock::now() - loaded) * 1000, units);
  }
  return 0;
}
