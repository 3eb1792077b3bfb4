// Decoding speed of the stream decoders, in MB of output per second of processor time (best
// of several runs), which stays meaningful on a machine shared with other work.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "filters/PellarAscii85.h"
#include "filters/PellarFlate.h"
#include "filters/PellarLZW.h"
#include "tests/support/FilterEncoders.h"

namespace {

constexpr size_t DataSize = size_t(64) << 20;
constexpr int Runs = 5;

std::string ContentText(size_t size) {
  std::string text;
  text.reserve(size + 100);
  for (uint32_t i = 0; text.size() < size; ++i)
    text += "BT /F" + std::to_string(i % 7) + " 9.5 Tf " + std::to_string(i * 37 % 590) + " " +
            std::to_string(800 - i % 760) + " Td (word " + std::to_string(i * 2654435761u % 100000) + ") Tj ET\n";
  text.resize(size);
  return text;
}

// Image-like rows: smooth gradients with some noise, each behind a PNG type byte.
std::string PngRows(size_t size, size_t rowBytes) {
  std::string rows;
  uint32_t seed = 99;
  for (size_t r = 0; rows.size() + rowBytes + 1 <= size; ++r) {
    rows.push_back(static_cast<char>(r % 5));
    for (size_t i = 0; i < rowBytes; ++i) {
      seed = seed * 1103515245 + 12345;
      rows.push_back(static_cast<char>((i + r) / 8 + (seed >> 28)));
    }
  }
  return rows;
}

std::string Noise(size_t size) {
  std::string data(size, '\0');
  uint32_t seed = 5;
  for (char& c : data) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
  return data;
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void Measure(const char* label, const std::function<std::string()>& decode) {
  double best = 1e100;
  size_t bytes = 0;
  for (int i = 0; i < Runs; ++i) {
    const double start = CpuSeconds();
    bytes = decode().size();
    best = std::min(best, CpuSeconds() - start);
  }
  std::printf("%-44s %8.1f MB/s  (%zu bytes out)\n", label, double(bytes) / best / 1e6, bytes);
}

}  // namespace

int main() {
  const std::string text = ContentText(DataSize);
  const std::string packed = ZlibCompress(text);
  Measure("zlib uncompress (reference)", [&] {
    std::string out(text.size(), '\0');
    uLongf size = out.size();
    uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
               static_cast<uLong>(packed.size()));
    return out;
  });
  Measure("InflateData (content text)", [&] { return InflateData(packed); });

  const TPDFFlateParms png{12, 3, 8, 1000};
  const std::string pngPacked = ZlibCompress(PngRows(DataSize, 3000));
  Measure("InflateData (the same rows, no predictor)", [&] { return InflateData(pngPacked); });
  Measure("InflateWithPredictor (PNG, RGB rows)", [&] { return InflateWithPredictor(pngPacked, png); });
  const TPDFFlateParms tiff{2, 3, 8, 1000};
  const std::string tiffPacked = ZlibCompress(PngRows(DataSize, 2999));
  Measure("InflateWithPredictor (TIFF, RGB rows)", [&] { return InflateWithPredictor(tiffPacked, tiff); });

  const std::string lzwText = LzwEncode(text);
  Measure("LZW Decode (content text)", [&] {
    TPDFLZWDecompressor decoder;
    decoder.EarlyChange = true;
    return decoder.Decode(lzwText, {});
  });
  const std::string lzwNoise = LzwEncode(Noise(DataSize / 4));
  Measure("LZW Decode (random bytes)", [&] {
    TPDFLZWDecompressor decoder;
    decoder.EarlyChange = true;
    return decoder.Decode(lzwNoise, {});
  });

  const std::string a85 = Ascii85Encode(Noise(DataSize));
  Measure("Ascii85Decode (random bytes)", [&] { return Ascii85Decode(a85); });
  return 0;
}
