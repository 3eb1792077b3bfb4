#include "filters/PellarLZW.h"

#include <algorithm>
#include <cstring>

namespace {

// The code reader takes three bytes at a time; zero bytes after the data keep the last codes'
// reads inside the buffer.
constexpr size_t InputPadding = 3;

}  // namespace

void TPDFLZWDecompressor::Start(const std::string& data, size_t limit) {
  Input.reserve(data.size() + InputPadding);
  Input.assign(data).append(InputPadding, '\0');
  InputLen = data.size();
  InputPos = 0;
  BitPos = 0;
  Output.clear();
  OutputLen = 0;
  Limit = limit;
  ResetCodeSize();
  NextFreeCode = uint32_t(EOICode) + 1;
  TableBytes.resize(256);
  for (size_t i = 0; i < 256; ++i) {
    TableBytes[i] = static_cast<char>(i);
    Table[i] = {false, i, 1};
  }
  std::fill(Table.begin() + 256, Table.end(), TLZWEntry{});
}

void TPDFLZWDecompressor::ResetCodeSize() {
  CodeSize = std::clamp<uint32_t>(InitialCodeSize, 9, MaxCodeSize);
  BitMask = (1 << CodeSize) - 1;
  ChangeCode = EarlyChange ? BitMask - 1 : BitMask;
}

int32_t TPDFLZWDecompressor::NextCode() {
  // A code that would take bits from the padding is not part of the data: an encoder that
  // writes no end code only fills its last byte with zero bits.
  if (InputPos >= InputLen || (InputLen - InputPos) * 8 < BitPos + CodeSize) return EOICode;
  uint32_t w;
  if (MsbFirst) {
    w = uint32_t(uint8_t(Input[InputPos])) << 16 | uint32_t(uint8_t(Input[InputPos + 1])) << 8 |
        uint32_t(uint8_t(Input[InputPos + 2]));
    w >>= 24 - BitPos - CodeSize;
  } else {
    w = uint32_t(uint8_t(Input[InputPos])) | uint32_t(uint8_t(Input[InputPos + 1])) << 8 |
        uint32_t(uint8_t(Input[InputPos + 2])) << 16;
    w >>= BitPos;
  }
  BitPos += CodeSize;
  InputPos += BitPos / 8;
  BitPos %= 8;
  return static_cast<int32_t>(w & uint32_t(BitMask));
}

const uint8_t* TPDFLZWDecompressor::BytesOf(const TLZWEntry& entry) const {
  const std::string& store = entry.InOutput ? Output : TableBytes;
  return reinterpret_cast<const uint8_t*>(store.data()) + entry.Offset;
}

std::optional<TPDFLZWDecompressor::TLZWEntry> TPDFLZWDecompressor::Emit(const TLZWEntry& entry,
                                                                       std::optional<uint8_t> extra) {
  const size_t wanted = entry.Length + (extra ? 1 : 0);
  const size_t fit = std::min(wanted, Limit - OutputLen);
  if (OutputLen + fit > Output.size())
    Output.resize(std::min(Limit, std::max({OutputLen + fit, Output.size() * 2, TableSize})));
  // The source lies wholly before OutputLen (or in the table's store), so it cannot overlap.
  const size_t copied = std::min(entry.Length, fit);
  if (copied > 0) std::memcpy(Output.data() + OutputLen, BytesOf(entry), copied);
  if (extra && fit > entry.Length) Output[OutputLen + entry.Length] = static_cast<char>(*extra);
  const TLZWEntry written{true, OutputLen, wanted};
  OutputLen += fit;
  if (fit < wanted) return std::nullopt;
  return written;
}

std::optional<TPDFLZWDecompressor::TLZWEntry> TPDFLZWDecompressor::Join(const TLZWEntry& prev, size_t next) {
  if (prev.Length == 0) return TLZWEntry{true, next, 1};
  if (prev.InOutput && prev.Offset + prev.Length == next) return TLZWEntry{true, prev.Offset, prev.Length + 1};
  // Only a code beyond the table leaves a previous string that was not written right before
  // this one; such an entry gets its own copy.
  if (prev.Length + 1 > Limit - std::min(Limit, TableBytes.size())) return std::nullopt;
  const size_t offset = TableBytes.size();
  TableBytes.resize(offset + prev.Length + 1);
  std::memcpy(TableBytes.data() + offset, BytesOf(prev), prev.Length);
  TableBytes[offset + prev.Length] = Output[next];
  return TLZWEntry{false, offset, prev.Length + 1};
}

void TPDFLZWDecompressor::Grow() {
  if (NextFreeCode == uint32_t(ChangeCode) && CodeSize < MaxCodeSize) {
    ++CodeSize;
    BitMask = (1 << CodeSize) - 1;
    ChangeCode = EarlyChange ? BitMask - 1 : BitMask;
  }
  // A full table keeps overwriting its last slot until a clear code comes.
  if (NextFreeCode < LastSlot) ++NextFreeCode;
}

bool TPDFLZWDecompressor::DecodeKnownCode(int32_t code, TLZWEntry& prev) {
  const TLZWEntry entry = Table[code];
  const size_t start = OutputLen;
  const std::optional<TLZWEntry> written = Emit(entry);
  if (!written) return false;
  if (entry.Length > 0) {
    const std::optional<TLZWEntry> joined = Join(prev, start);
    if (!joined) return false;
    Table[NextFreeCode] = *joined;
  }
  Grow();
  prev = *written;
  return true;
}

bool TPDFLZWDecompressor::DecodeNewCode(int32_t code, TLZWEntry& prev) {
  const std::optional<TLZWEntry> written =
      prev.Length > 0 ? Emit(prev, *BytesOf(prev)) : TLZWEntry{true, OutputLen, 0};
  if (!written) return false;
  Table[NextFreeCode] = *written;
  Grow();
  // Normally the code is the slot just stored; a code beyond it names whatever that slot holds.
  prev = Table[code];
  return true;
}

void TPDFLZWDecompressor::DecodeCodes() {
  int32_t code = NextCode();
  if (code == ClearCode) code = NextCode();
  if (code == EOICode) return;
  std::optional<TLZWEntry> first = Emit(Table[code]);
  if (!first) return;
  TLZWEntry prev = *first;
  for (;;) {
    code = NextCode();
    if (code == EOICode) return;
    if (code == ClearCode) {
      // The next code stores its entry in slot 257, which is never looked up, so it adds no
      // usable entry, as after a clear it must not.
      ResetCodeSize();
      NextFreeCode = uint32_t(ClearCode) + 1;
      continue;
    }
    const bool going = uint32_t(code) < NextFreeCode ? DecodeKnownCode(code, prev) : DecodeNewCode(code, prev);
    if (!going) return;
  }
}

void TPDFLZWDecompressor::UndoPredictor(std::string& data, const TPDFLZWParms& parms) const {
  if (parms.Predictor != 2 || parms.Colors <= 0 || parms.Columns <= 0) return;
  const size_t distance = size_t(parms.Colors);
  const size_t rowBytes = distance * size_t(parms.Columns);  // below 2^62
  const size_t rows = data.size() / rowBytes;
  auto* base = reinterpret_cast<uint8_t*>(data.data());
  for (size_t r = 0; r < rows; ++r) UndoTiffRow(base + r * rowBytes, rowBytes, distance);
}

std::string TPDFLZWDecompressor::Decode(const std::string& data, const TPDFLZWParms& parms, size_t limit) {
  Start(data, limit);
  DecodeCodes();
  Output.resize(OutputLen);
  std::string result = std::move(Output);
  // Release the buffers; NextCode then finds no data.
  Output = std::string();
  Input = std::string();
  InputLen = InputPos = 0;
  TableBytes = std::string();
  UndoPredictor(result, parms);
  return result;
}
