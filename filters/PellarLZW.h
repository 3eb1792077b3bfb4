#pragma once
// The LZW filter: variable-width codes of 9 to 12 bits with clear and end-of-data codes,
// optional early change, then the TIFF predictor.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "filters/PellarFilterLimits.h"
#include "filters/PellarPredictors.h"

using TPDFLZWParms = TPDFPredictorParms;

// One decoder decodes one stream at a time; Decode sets up all state it uses.
class TPDFLZWDecompressor {
public:
  // Decodes `data`, at most `limit` bytes of output. Predictor 2 then adds to each byte the one
  // Colors places before it, in rows of Columns * Colors bytes; other predictors change nothing.
  std::string Decode(const std::string& data, const TPDFLZWParms& parms, size_t limit = MaxDecodedStreamSize);
  // The next code of the input; EOICode once the data holds no complete code any more.
  int32_t NextCode();

  bool MsbFirst = true;          // codes packed most significant bit first, else least significant first
  bool EarlyChange = false;      // the code width grows one code early
  uint32_t InitialCodeSize = 9;  // first code width; taken into 9 to 12

private:
  static constexpr size_t TableSize = 4096;
  static constexpr uint32_t LastSlot = TableSize - 1;
  static constexpr uint32_t MaxCodeSize = 12;

  // The string of a code: a byte range of the output or of the table's own store. Both only
  // grow, so a range stays valid for the whole decoding, and forming an entry from the string
  // just written copies nothing.
  struct TLZWEntry {
    bool InOutput = false;
    size_t Offset = 0;
    size_t Length = 0;
  };

  void Start(const std::string& data, size_t limit);
  void ResetCodeSize();
  void DecodeCodes();
  // A code in the table: its string, and a new entry of the previous string and its first byte.
  bool DecodeKnownCode(int32_t code, TLZWEntry& prev);
  // A code not yet in the table: the previous string and its own first byte, stored as new.
  bool DecodeNewCode(int32_t code, TLZWEntry& prev);
  void Grow();
  const uint8_t* BytesOf(const TLZWEntry& entry) const;
  // Appends the entry's bytes and `extra`; their output range, or nothing when the limit cut them.
  // The Decode... and Emit operations answer false or nothing when decoding must stop.
  std::optional<TLZWEntry> Emit(const TLZWEntry& entry, std::optional<uint8_t> extra = std::nullopt);
  // The entry `prev` + the output byte at `next`; nothing when the table's store is full.
  std::optional<TLZWEntry> Join(const TLZWEntry& prev, size_t next);
  void UndoPredictor(std::string& data, const TPDFLZWParms& parms) const;

  uint32_t CodeSize = 9;
  std::string Input;        // the data followed by zero bytes
  size_t InputPos = 0;      // 0-based position of the byte holding the next code's first bit
  uint32_t BitPos = 0;      // bit offset (0 to 7) within that byte
  int32_t BitMask = 511;
  size_t InputLen = 0;      // length of the data without the padding
  int32_t EOICode = 257;
  int32_t ClearCode = 256;
  uint32_t NextFreeCode = 258;  // table slot of the next new entry
  std::string Output;
  size_t OutputLen = 0;
  size_t Limit = MaxDecodedStreamSize;
  std::array<TLZWEntry, TableSize> Table{};
  std::string TableBytes;   // the single-byte strings 0 to 255, then entries that had to be copied
  int32_t ChangeCode = 511;  // when a new entry is stored at this slot, the code width grows
};
