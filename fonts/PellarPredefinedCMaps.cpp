// The predefined encodings of composite fonts without a ToUnicode map: how string bytes
// split into codes, and a code's CID and text.
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "data/PellarFontData.h"
#include "filters/PellarFlate.h"
#include "fonts/PellarCJKCMaps.h"
#include "fonts/PellarCMap.h"
#include "fonts/PellarCMapTable.h"

namespace {

// The stored maps inflate to at most about 120 KB; the limit only guards against a damaged
// build.
constexpr size_t MaxStoredMapSize = size_t(1) << 20;

// CJK: a byte-keyed Chinese or Korean map (GBK-EUC-H, KSCms-UHC-V, ...).
enum class TPredefined { None, Identity, UCS2, UTF16, MsRKSJ, MspRKSJ, CJK };

// "Uni" + collection + "-UCS2-" or "-UTF16-" + "H", "V", "HW-H" or "HW-V": codes are
// Unicode values, whatever the collection (UniGB, UniCNS, UniJIS, UniKS, ...).
TPredefined UnicodeKeyed(std::string_view name) {
  if (!name.starts_with("Uni")) return TPredefined::None;
  for (const auto& [form, kind] : {std::pair{std::string_view("-UCS2-"), TPredefined::UCS2},
                                   std::pair{std::string_view("-UTF16-"), TPredefined::UTF16}}) {
    const size_t at = name.find(form);
    if (at == std::string_view::npos || at == 3) continue;
    for (char ch : name.substr(3, at - 3))
      if (!std::isalnum(static_cast<unsigned char>(ch))) return TPredefined::None;
    const std::string_view writing = name.substr(at + form.size());
    if (writing == "H" || writing == "V" || writing == "HW-H" || writing == "HW-V") return kind;
  }
  return TPredefined::None;
}

// Vertical forms split and map like their horizontal ones.
TPredefined Classify(std::string_view name) {
  if (name == "Identity-H" || name == "Identity-V") return TPredefined::Identity;
  if (name == "90ms-RKSJ-H" || name == "90ms-RKSJ-V") return TPredefined::MsRKSJ;
  if (name == "90msp-RKSJ-H" || name == "90msp-RKSJ-V") return TPredefined::MspRKSJ;
  return UnicodeKeyed(name);
}

// What an encoding name stands for: its kind as compared, and its Chinese or Korean map.
struct TNamed {
  TPredefined Kind = TPredefined::None;
  const TCJKCMapName* CJK = nullptr;
};

// Every code shown asks for its font's encoding again: the last name looked up is kept, so
// that a run of codes pays one comparison. The program runs on one thread.
TNamed Named(std::string_view name) {
  static std::string lastName;
  static std::optional<TNamed> last;
  if (!last || name != lastName) {
    lastName = name;
    last = TNamed{Classify(name), FindGlyphRow(CJKCMapNames(), name)};
  }
  return *last;
}

// The Chinese or Korean map of that name, or null.
const TCJKCMapName* CJKName(std::string_view name) { return Named(name).CJK; }

TPredefined ClassifyAny(std::string_view name) {
  const TNamed named = Named(name);
  return named.Kind == TPredefined::None && named.CJK ? TPredefined::CJK : named.Kind;
}

TPellarCJKMaps LoadCJK(TCJKCollection collection) {
  TPellarCJKMaps maps;
  maps.Load(InflateData(std::string(CJKCMapData(collection, false)), MaxStoredMapSize),
            InflateData(std::string(CJKCMapData(collection, true)), MaxStoredMapSize));
  return maps;
}

// Each collection is inflated on its first use only.
const TPellarCJKMaps& CJKMaps(TCJKCollection collection) {
  switch (collection) {
    case TCJKCollection::GB1: {
      static const TPellarCJKMaps maps = LoadCJK(collection);
      return maps;
    }
    case TCJKCollection::CNS1: {
      static const TPellarCJKMaps maps = LoadCJK(collection);
      return maps;
    }
    case TCJKCollection::Korea1: break;
  }
  static const TPellarCJKMaps maps = LoadCJK(TCJKCollection::Korea1);
  return maps;
}

const TPellarCJKMaps& CJKMapsOf(const TCJKCMapName& name) {
  return CJKMaps(static_cast<TCJKCollection>(name.Collection));
}

// The collection whose CIDs a font's character collection names.
const TPellarCJKMaps* CJKCollectionOf(std::string_view cidSystemInfo) {
  if (cidSystemInfo.starts_with("Adobe-GB1-")) return &CJKMaps(TCJKCollection::GB1);
  if (cidSystemInfo.starts_with("Adobe-CNS1-")) return &CJKMaps(TCJKCollection::CNS1);
  if (cidSystemInfo.starts_with("Adobe-Korea1-")) return &CJKMaps(TCJKCollection::Korea1);
  return nullptr;
}

TPellarCMap LoadStoredMap(TJapanCMap which) {
  TPellarCMap map;
  map.LoadSections(InflateData(std::string(JapanCMapData(which)), MaxStoredMapSize));
  return map;
}

const TPellarCMap& StoredMap(TJapanCMap which) {
  static const TPellarCMap cidToUnicode = LoadStoredMap(TJapanCMap::CIDToUnicode);
  static const TPellarCMap msp = LoadStoredMap(TJapanCMap::MspRKSJ);
  static const TPellarCMap ms = LoadStoredMap(TJapanCMap::MsRKSJ);
  switch (which) {
    case TJapanCMap::MspRKSJ: return msp;
    case TJapanCMap::MsRKSJ: return ms;
    default: return cidToUnicode;
  }
}

const TPellarCMap& CodeToCIDMap(TPredefined kind) {
  return StoredMap(kind == TPredefined::MspRKSJ ? TJapanCMap::MspRKSJ : TJapanCMap::MsRKSJ);
}

uint8_t ByteAt(std::string_view bytes, size_t i) { return static_cast<uint8_t>(bytes[i]); }

// Shift-JIS: a byte the map knows is a one-byte code, a byte that leads two-byte codes
// reads two bytes; a two-byte code the map lacks is skipped whole, any other byte alone,
// and the next code starts as a one-byte code again.
TPellarCodeList SplitShiftJIS(const TPellarCMap& map, std::string_view bytes) {
  TPellarCodeList codes;
  for (size_t p = 0; p < bytes.size();) {
    const uint32_t first = ByteAt(bytes, p);
    if (map.Contains(1, first)) {
      codes.push_back(static_cast<int32_t>(first));
      ++p;
      continue;
    }
    if (!map.ContainsAny(2, first << 8, first << 8 | 0xFF)) {
      ++p;
      continue;
    }
    const uint32_t code = p + 1 < bytes.size() ? (first << 8 | ByteAt(bytes, p + 1)) : first;
    if (map.Contains(2, code)) codes.push_back(static_cast<int32_t>(code));
    p += 2;
  }
  return codes;
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Big-endian 2-byte codes; an odd last byte is dropped. With surrogates, a high surrogate
// followed by a low one is one code: the character's value, above every 2-byte code.
TPellarCodeList SplitPairs(std::string_view bytes, bool surrogates) {
  TPellarCodeList codes;
  codes.reserve(bytes.size() / 2);
  for (size_t p = 0; p + 1 < bytes.size(); p += 2) {
    const uint32_t unit = uint32_t(ByteAt(bytes, p)) << 8 | ByteAt(bytes, p + 1);
    if (surrogates && IsHighSurrogate(unit) && p + 3 < bytes.size()) {
      const uint32_t next = uint32_t(ByteAt(bytes, p + 2)) << 8 | ByteAt(bytes, p + 3);
      if (IsLowSurrogate(next)) {
        codes.push_back(static_cast<int32_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)));
        p += 2;
        continue;
      }
    }
    codes.push_back(static_cast<int32_t>(unit));
  }
  return codes;
}

// The character whose value the code is; U+FFFD for a lone surrogate.
std::u16string CharacterText(int32_t code) {
  if (code < 0 || code > 0x10FFFF) return {};
  if (code >= 0x10000) {
    const uint32_t value = uint32_t(code) - 0x10000;
    return {static_cast<char16_t>(0xD800 + (value >> 10)), static_cast<char16_t>(0xDC00 + (value & 0x3FF))};
  }
  if (IsHighSurrogate(uint32_t(code)) || IsLowSurrogate(uint32_t(code))) return u"\uFFFD";
  return std::u16string(1, static_cast<char16_t>(code));
}

}  // namespace

TPellarCodeList PredefinedSplit(const std::string& encodingName, std::string_view bytes) {
  switch (const TPredefined kind = ClassifyAny(encodingName)) {
    case TPredefined::CJK: {
      const TCJKCMapName* name = CJKName(encodingName);
      return CJKMapsOf(*name).Split(name->Map, bytes);
    }
    case TPredefined::Identity:
    case TPredefined::UCS2: return SplitPairs(bytes, false);
    case TPredefined::UTF16: return SplitPairs(bytes, true);
    case TPredefined::MsRKSJ:
    case TPredefined::MspRKSJ: return SplitShiftJIS(CodeToCIDMap(kind), bytes);
    case TPredefined::None: break;
  }
  return {};
}

int32_t PredefinedCID(const std::string& encodingName, int32_t code) {
  const TNamed named = Named(encodingName);
  // The Uni*-UCS2 and -UTF16 forms of the Chinese and Korean maps map codes to CIDs too.
  if (named.CJK) return CJKMapsOf(*named.CJK).CID(named.CJK->Map, code);
  switch (named.Kind) {
    case TPredefined::Identity: return code;
    case TPredefined::MsRKSJ:
    case TPredefined::MspRKSJ: return CodeToCIDMap(named.Kind).Value16(0, static_cast<uint32_t>(code));
    default: return -1;
  }
}

std::u16string PredefinedUnicode(const std::string& encodingName, const std::string& cidSystemInfo, int32_t code) {
  const TPredefined kind = ClassifyAny(encodingName);
  if (kind == TPredefined::UCS2 || kind == TPredefined::UTF16) return CharacterText(code);
  if (kind == TPredefined::None) return {};
  // A Chinese or Korean map's CIDs are its own collection's, whatever the font claims.
  if (kind == TPredefined::CJK) {
    const TCJKCMapName* name = CJKName(encodingName);
    const TPellarCJKMaps& maps = CJKMapsOf(*name);
    return maps.Text(maps.CID(name->Map, code));
  }
  const int32_t cid = kind == TPredefined::Identity ? (code & 0xFFFF) : PredefinedCID(encodingName, code);
  if (cidSystemInfo.starts_with("Adobe-Japan1-")) return StoredMap(TJapanCMap::CIDToUnicode).ValueText(2, static_cast<uint32_t>(cid));
  if (cidSystemInfo.starts_with("Adobe-Identity-")) return std::u16string(1, static_cast<char16_t>(code & 0xFFFF));
  // Identity codes are CIDs of the font's collection; the Japanese maps give Japanese CIDs.
  if (kind != TPredefined::Identity) return {};
  if (const TPellarCJKMaps* maps = CJKCollectionOf(cidSystemInfo)) return maps->Text(cid);
  return {};
}

bool PredefinedVertical(const std::string& encodingName) {
  return encodingName.ends_with("-V") && ClassifyAny(encodingName) != TPredefined::None;
}

bool PredefinedMixedWidth(const std::string& encodingName) {
  return encodingName == "90ms-RKSJ-H" || encodingName == "90msp-RKSJ-H" ||
         ClassifyAny(encodingName) == TPredefined::CJK;
}
