// The compact (CFF) reader: as far as the built-in encoding and the width scale go.
#include <charconv>
#include <cmath>

#include "data/PellarFontProgramData.h"
#include "fonts/PellarFontPrograms.h"
#include "platform/FontBytes.h"

using Platform::TFontReader;

namespace {

// A DICT holds at most 48 operands before an operator; a longer run is not a DICT.
constexpr size_t MaxDictOperands = 48;
// A real number longer than this many characters is malformed (doubles need about 25).
constexpr size_t MaxRealText = 64;

// An INDEX read in place: its items are checked one by one when asked for, so one item
// whose offsets run backwards or past the end does not cost the others.
class TCompactIndex {
public:
  // Reads the INDEX at the reader's position and moves past it; the reader fails when the
  // INDEX does not fit the data.
  explicit TCompactIndex(TFontReader& in) {
    Count = in.U16();
    if (Count == 0) return;
    OffSize = in.U8();
    if (OffSize < 1 || OffSize > 4) {
      in.Fail();
      Count = 0;
      return;
    }
    Offsets = in.Bytes((size_t(Count) + 1) * OffSize);
    const size_t dataStart = in.Pos() - 1;  // offsets count from 1
    Data = in.Whole().substr(in.Pos());
    const uint32_t end = Offset(Count);
    if (!in.Ok() || end < 1) {
      Count = 0;
      in.Fail();
      return;
    }
    in.Seek(dataStart + end);
  }

  size_t Size() const { return Count; }
  // Item i; nothing when its offsets are out of order or past the data.
  std::optional<std::string_view> Item(size_t i) const {
    if (i >= Count) return std::nullopt;
    const uint32_t start = Offset(i), end = Offset(i + 1);
    if (start < 1 || end < start || end - 1 > Data.size()) return std::nullopt;
    return Data.substr(start - 1, end - start);
  }

private:
  uint32_t Offset(size_t i) const {
    TFontReader in(Offsets, i * OffSize);
    return in.Card(OffSize);
  }

  size_t Count = 0;
  size_t OffSize = 0;
  std::string_view Offsets;
  std::string_view Data;
};

// What the Top DICT tells the encoding and the width scale.
struct TTopDict {
  bool CIDKeyed = false;
  std::optional<double> CharStrings;
  double Charset = 0;
  double Encoding = 0;
  std::optional<double> FontMatrix0;
};

enum TDictOperator {
  OpCharset = 15,
  OpEncoding = 16,
  OpCharStrings = 17,
  OpFontMatrix = 1207,
  OpROS = 1230,
};

std::optional<double> ReadReal(TFontReader& in) {
  std::string text;
  for (;;) {
    const uint8_t byte = in.U8();
    if (!in.Ok() || text.size() > MaxRealText) return std::nullopt;
    for (const int nibble : {byte >> 4, byte & 0xF}) {
      if (nibble <= 9) text.push_back(static_cast<char>('0' + nibble));
      else if (nibble == 0xA) text.push_back('.');
      else if (nibble == 0xB) text.push_back('E');
      else if (nibble == 0xC) text.append("E-");
      else if (nibble == 0xE) text.push_back('-');
      else if (nibble == 0xF) {
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return value;
      } else {
        return std::nullopt;
      }
    }
  }
}

// The operators of a DICT up to the first malformed byte; what was read before it stands.
TTopDict ReadTopDict(std::string_view dict) {
  TTopDict top;
  TFontReader in(dict);
  std::vector<double> operands;
  while (in.Left() > 0) {
    const uint8_t b0 = in.U8();
    if (b0 <= 21) {
      const int op = b0 == 12 ? 1200 + in.U8() : b0;
      if (!in.Ok()) break;
      const std::optional<double> last = operands.empty() ? std::nullopt : std::optional<double>(operands.back());
      if (op == OpROS) top.CIDKeyed = true;
      else if (op == OpCharStrings) top.CharStrings = last;
      else if (op == OpCharset && last) top.Charset = *last;
      else if (op == OpEncoding && last) top.Encoding = *last;
      else if (op == OpFontMatrix && !operands.empty()) top.FontMatrix0 = operands.front();
      operands.clear();
      continue;
    }
    std::optional<double> value;
    if (b0 == 28) value = static_cast<int16_t>(in.U16());
    else if (b0 == 29) value = static_cast<int32_t>(in.U32());
    else if (b0 == 30) value = ReadReal(in);
    else if (b0 >= 32 && b0 <= 246) value = b0 - 139;
    else if (b0 >= 247 && b0 <= 250) value = (b0 - 247) * 256 + in.U8() + 108;
    else if (b0 >= 251 && b0 <= 254) value = -(b0 - 251) * 256 - in.U8() - 108;
    if (!value || !in.Ok() || operands.size() == MaxDictOperands) break;
    operands.push_back(*value);
  }
  return top;
}

// An operand that is an offset into the data: a whole number within it.
std::optional<size_t> DataOffset(std::optional<double> value, size_t size) {
  if (!value || *value < 0 || *value > double(size) || *value != std::floor(*value)) return std::nullopt;
  return static_cast<size_t>(*value);
}

// Glyph names by the identifiers of the charset.
class TCompactNames {
public:
  TCompactNames(const TCompactIndex& strings, bool cidKeyed) : Strings(strings), CIDKeyed(cidKeyed) {}

  // The name of a string identifier (or of a CID in a CID-keyed program); empty when the
  // String INDEX has no such string.
  std::string Name(uint32_t id) const {
    if (CIDKeyed) return "CID:" + std::to_string(id);
    if (id < CFFStandardStringCount) return CFFStandardStrings[id];
    const std::optional<std::string_view> item = Strings.Item(id - CFFStandardStringCount);
    return item ? std::string(*item) : std::string();
  }

private:
  const TCompactIndex& Strings;
  bool CIDKeyed;
};

template <size_t N>
std::vector<uint32_t> PredefinedCharset(const std::array<uint16_t, N>& ids, size_t glyphs) {
  return std::vector<uint32_t>(ids.begin(), ids.begin() + static_cast<ptrdiff_t>(std::min(N, glyphs)));
}

// String identifiers (CIDs in a CID-keyed program) by glyph index, as far as they can be read.
std::vector<uint32_t> ReadCharset(std::string_view data, double charset, size_t glyphs, bool cidKeyed) {
  if (charset == 0 || (cidKeyed && (charset == 1 || charset == 2))) {
    std::vector<uint32_t> ids(glyphs);
    for (size_t i = 0; i < glyphs; ++i) ids[i] = static_cast<uint32_t>(i);
    return ids;
  }
  if (charset == 1) return PredefinedCharset(CFFExpertCharset, glyphs);
  if (charset == 2) return PredefinedCharset(CFFExpertSubsetCharset, glyphs);
  const std::optional<size_t> offset = DataOffset(charset, data.size());
  if (!offset || glyphs == 0) return {};
  std::vector<uint32_t> ids{0};  // glyph 0 is always .notdef
  TFontReader in(data, *offset);
  const uint8_t format = in.U8();
  while (in.Ok() && ids.size() < glyphs && (format == 0 || format == 1 || format == 2)) {
    const uint32_t first = in.U16();
    const uint32_t left = format == 0 ? 0 : format == 1 ? in.U8() : in.U16();
    if (!in.Ok()) break;
    for (uint32_t k = 0; k <= left && ids.size() < glyphs; ++k) ids.push_back(first + k);
  }
  return ids;
}

// A custom encoding: ".notdef" for every code, then each code the encoding gives a glyph
// takes that glyph's name, and each supplement its string's name.
void ReadCustomEncoding(std::string_view data, size_t offset, const std::vector<uint32_t>& charset,
                        const TCompactNames& strings, TGlyphNames& names) {
  names.fill(".notdef");
  TFontReader in(data, offset);
  const uint8_t format = in.U8();
  size_t glyph = 1;
  const auto assign = [&](uint32_t code) {
    if (code <= 255 && glyph < charset.size()) {
      std::string name = strings.Name(charset[glyph]);
      if (!name.empty()) names[code] = std::move(name);
    }
    ++glyph;
  };
  if ((format & 0x7F) == 0) {
    const uint8_t codes = in.U8();
    for (uint8_t i = 0; i < codes; ++i) {
      const uint8_t code = in.U8();
      if (!in.Ok()) return;
      assign(code);
    }
  } else if ((format & 0x7F) == 1) {
    const uint8_t ranges = in.U8();
    for (uint8_t i = 0; i < ranges; ++i) {
      const uint32_t first = in.U8();
      const uint32_t left = in.U8();
      if (!in.Ok()) return;
      for (uint32_t k = 0; k <= left; ++k) assign(first + k);
    }
  } else {
    return;
  }
  if (!(format & 0x80) || !in.Ok()) return;
  // Supplements give further codes to glyphs by name, beside their first code.
  const uint8_t supplements = in.U8();
  for (uint8_t i = 0; i < supplements; ++i) {
    const uint8_t code = in.U8();
    const uint16_t id = in.U16();
    if (!in.Ok()) return;
    std::string name = strings.Name(id);
    if (!name.empty()) names[code] = std::move(name);
  }
}

TCompactProgram ParseCompact(std::string_view data) {
  TCompactProgram program;
  TFontReader in(data, 2);
  const uint8_t headerSize = in.U8();
  if (!in.Ok() || data[0] != 1) return program;  // only version 1 has charsets and encodings
  in.Seek(headerSize);
  const TCompactIndex fontNames(in);
  const TCompactIndex topDicts(in);
  const TCompactIndex strings(in);
  const std::optional<std::string_view> topDict = topDicts.Item(0);
  if (!topDict) return program;
  const TTopDict top = ReadTopDict(*topDict);
  program.CIDKeyed = top.CIDKeyed;
  if (top.FontMatrix0 && std::isfinite(*top.FontMatrix0) && *top.FontMatrix0 * 1000 != 0)
    program.WidthScale = *top.FontMatrix0 * 1000;

  if (top.Encoding == 1) return program;  // Expert: no names
  if (top.Encoding == 0) {
    program.Encoding = StandardEncodingNames();
    return program;
  }
  const std::optional<size_t> encoding = DataOffset(top.Encoding, data.size());
  if (!encoding) return program;
  size_t glyphs = 0;
  if (const std::optional<size_t> charStrings = DataOffset(top.CharStrings, data.size())) {
    TFontReader at(data, *charStrings);
    glyphs = TCompactIndex(at).Size();
  }
  const TCompactNames names(strings, top.CIDKeyed);
  ReadCustomEncoding(data, *encoding, ReadCharset(data, top.Charset, glyphs, top.CIDKeyed), names, program.Encoding);
  return program;
}

}  // namespace

const TGlyphNames& StandardEncodingNames() {
  static const TGlyphNames names = [] {
    TGlyphNames n;
    for (size_t code = 0; code < n.size(); ++code) n[code] = CFFStandardStrings[CFFStandardEncoding[code]];
    return n;
  }();
  return names;
}

TCompactProgram ParseCompactProgram(std::string_view data) {
  if (!Platform::IsSfntFont(data)) return ParseCompact(data);
  const std::optional<std::string_view> table = Platform::FindSfntTable(data, "CFF ");
  return table ? ParseCompact(*table) : TCompactProgram{};
}

bool IsCompactProgram(std::string_view data) { return Platform::FindSfntTable(data, "CFF ").has_value(); }
