#include "fonts/PellarFontDictionary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>

#include "fonts/PellarCMap.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStreamData.h"

namespace {

// A ToUnicode or encoding CMap maps at most 65 536 codes, which a few megabytes spell out
// many times over; the cap keeps a small compressed stream from becoming hundreds of
// megabytes of mappings.
constexpr size_t MaxCMapSize = size_t(8) << 20;
// Two bytes per CID, and CIDs end at 65 535: more of the map names no glyph.
constexpr size_t MaxCIDToGIDMapSize = 2 * 65536;

// Reads the entries of one font dictionary; the descendant of a Type0 font is read by the
// same reader without descendants of its own, so no reference cycle can recurse.
class TFontDictionaryReader {
public:
  explicit TFontDictionaryReader(const TFontReadOptions& options) : Options(options) {}
  TFontDictionary Read(TPDFObject* font, bool followDescendants) const;

private:
  void ReadDescriptor(const TPDFDictionary& descriptor, TFontDictionary& out) const;
  void ReadEncoding(TPDFObject* encoding, TFontDictionary& out) const;
  void ReadSimpleWidths(const TPDFDictionary& font, TFontDictionary& out) const;
  void ReadCIDFont(const TPDFDictionary& font, TFontDictionary& out) const;
  void ReadDescendants(const TPDFDictionary& font, TFontDictionary& out) const;

  TFontReadOptions Options;
};

template <class T>
T* Entry(const TPDFDictionary& dict, const char* key) {
  return As<T>(dict.Get(key, true));
}

std::optional<double> Number(const TPDFDictionary& dict, const char* key) {
  const auto* number = Entry<TPDFNumeric>(dict, key);
  return number && std::isfinite(number->Value) ? std::optional<double>(number->Value) : std::nullopt;
}

std::optional<int32_t> Integer(const TPDFDictionary& dict, const char* key) {
  const auto* number = Entry<TPDFNumeric>(dict, key);
  return number ? std::optional<int32_t>(number->AsInteger()) : std::nullopt;
}

std::optional<std::string> Name(const TPDFDictionary& dict, const char* key) {
  const auto* name = Entry<TPDFName>(dict, key);
  return name ? std::optional<std::string>(name->Value) : std::nullopt;
}

TFontSubtype SubtypeOf(const std::optional<std::string>& name) {
  static const std::pair<const char*, TFontSubtype> names[] = {
      {"Type1", TFontSubtype::Type1},       {"MMType1", TFontSubtype::MMType1},
      {"TrueType", TFontSubtype::TrueType}, {"Type3", TFontSubtype::Type3},
      {"Type0", TFontSubtype::Type0},       {"CIDFontType0", TFontSubtype::CIDFontType0},
      {"CIDFontType2", TFontSubtype::CIDFontType2}};
  if (name)
    for (const auto& [text, subtype] : names)
      if (*name == text) return subtype;
  return TFontSubtype::Unknown;
}

TFontProgramData ReadProgram(const TPDFDictionary& descriptor, const char* key, bool wanted) {
  TFontProgramData program;
  const auto* stream = Entry<TPDFStream>(descriptor, key);
  if (!stream || !wanted) return program;
  program.Present = true;
  const TPDFDictionary& dict = *stream->Dictionary();
  program.Length1 = Integer(dict, "Length1").value_or(0);
  program.Length2 = Integer(dict, "Length2").value_or(0);
  // Of a Type 1 program only the clear-text part says anything about text, and nothing
  // when the lengths are not positive.
  size_t limit = MaxDecodedStreamSize;
  if (std::string_view(key) == "FontFile")
    limit = program.Length1 > 0 && program.Length2 > 0 ? std::min(static_cast<size_t>(program.Length1), limit) : 0;
  program.Data = DecodedData(*stream, limit);
  return program;
}

TEncodingDifferences ReadDifferences(const TPDFArray& array) {
  TEncodingDifferences differences;
  int64_t code = 0;
  for (int i = 0; i < array.Count(); ++i) {
    TPDFObject* item = array.Item(i);
    if (const auto* number = As<TPDFNumeric>(item)) {
      code = number->AsInteger();
    } else if (const auto* name = As<TPDFName>(item)) {
      if (code >= 0 && code <= 255) {
        differences.Assigned.set(static_cast<size_t>(code));
        differences.Names[static_cast<size_t>(code)] = name->Value;
      }
      ++code;
    }
  }
  return differences;
}

std::string PdfStringOrEmpty(const TPDFDictionary& dict, const char* key) {
  const auto* text = Entry<TPDFString>(dict, key);
  return text ? text->Value : std::string();
}

// Registry-Ordering-Supplement; a part that is missing is left out, its "-" stays.
std::string ReadSystemInfo(const TPDFDictionary& info) {
  std::string text = PdfStringOrEmpty(info, "Registry") + "-" + PdfStringOrEmpty(info, "Ordering") + "-";
  if (auto supplement = Integer(info, "Supplement")) text += std::to_string(*supplement);
  return text;
}

std::optional<std::array<double, 6>> ReadMatrix(const TPDFDictionary& font) {
  const auto* array = Entry<TPDFArray>(font, "FontMatrix");
  if (!array || array->Count() < 6) return std::nullopt;
  std::array<double, 6> matrix{};
  for (int i = 0; i < 6; ++i) {
    const auto* number = As<TPDFNumeric>(Resolved(array->Item(i)));
    if (!number || !std::isfinite(number->Value)) return std::nullopt;
    matrix[static_cast<size_t>(i)] = number->Value;
  }
  return matrix;
}

TFontDictionary TFontDictionaryReader::Read(TPDFObject* font, bool followDescendants) const {
  TFontDictionary out;
  const auto* dict = As<TPDFDictionary>(Resolved(font));
  if (!dict) return out;
  out.IsDictionary = true;
  out.Subtype = SubtypeOf(Name(*dict, "Subtype"));
  out.BaseFont = Name(*dict, "BaseFont");
  if (const auto* descriptor = Entry<TPDFDictionary>(*dict, "FontDescriptor")) ReadDescriptor(*descriptor, out);
  ReadEncoding(dict->Get("Encoding", true), out);
  ReadSimpleWidths(*dict, out);
  if (out.Subtype == TFontSubtype::CIDFontType0 || out.Subtype == TFontSubtype::CIDFontType2) ReadCIDFont(*dict, out);
  if (out.Subtype == TFontSubtype::Type3) out.FontMatrix = ReadMatrix(*dict);
  if (out.Subtype == TFontSubtype::Type0 && followDescendants) ReadDescendants(*dict, out);
  if (const auto* toUnicode = Entry<TPDFStream>(*dict, "ToUnicode")) out.ToUnicode = DecodedData(*toUnicode, MaxCMapSize);
  return out;
}

void TFontDictionaryReader::ReadDescriptor(const TPDFDictionary& descriptor, TFontDictionary& out) const {
  out.HasDescriptor = true;
  out.MissingWidth = Number(descriptor, "MissingWidth");
  out.Ascent = Number(descriptor, "Ascent").value_or(0);
  out.Descent = Number(descriptor, "Descent").value_or(0);
  out.Flags = Number(descriptor, "Flags").value_or(0);
  out.FontFile = ReadProgram(descriptor, "FontFile", Options.FontPrograms);
  out.FontFile2 = ReadProgram(descriptor, "FontFile2", Options.FontPrograms);
  out.FontFile3 = ReadProgram(descriptor, "FontFile3", true);
}

void TFontDictionaryReader::ReadEncoding(TPDFObject* encoding, TFontDictionary& out) const {
  if (const auto* name = As<TPDFName>(encoding)) {
    out.EncodingForm = TEncodingForm::Name;
    out.EncodingName = name->Value;
  } else if (const auto* dict = As<TPDFDictionary>(encoding)) {
    out.EncodingForm = TEncodingForm::Dictionary;
    out.EncodingName = Name(*dict, "BaseEncoding");
    if (const auto* differences = Entry<TPDFArray>(*dict, "Differences")) out.Differences = ReadDifferences(*differences);
  } else if (const auto* stream = As<TPDFStream>(encoding)) {
    out.EncodingForm = TEncodingForm::Stream;
    out.EncodingOneByte = ParseToUnicode(DecodedData(*stream, MaxCMapSize)).OneByte;
  }
}

// Only the elements that land on codes 0 to 255 are visited, so neither a /Widths array of
// millions of entries nor a /FirstChar far below 0 costs more than 256 steps.
void TFontDictionaryReader::ReadSimpleWidths(const TPDFDictionary& font, TFontDictionary& out) const {
  out.FirstChar = Integer(font, "FirstChar");
  out.LastChar = Integer(font, "LastChar");
  const auto* widths = Entry<TPDFArray>(font, "Widths");
  out.HasWidths = widths != nullptr;
  if (!widths || !out.FirstChar || !out.LastChar) return;
  const int64_t first = *out.FirstChar;
  const int64_t last = std::min<int64_t>(*out.LastChar, 255);
  for (int64_t code = std::max<int64_t>(first, 0); code <= last && code - first < widths->Count(); ++code) {
    const auto* number = As<TPDFNumeric>(widths->Item(static_cast<int>(code - first)));
    out.WidthGiven.set(static_cast<size_t>(code));
    out.Widths[static_cast<size_t>(code)] = number ? number->Value : 0;
  }
}

void TFontDictionaryReader::ReadCIDFont(const TPDFDictionary& font, TFontDictionary& out) const {
  out.DW = Integer(font, "DW");
  ReadCIDWidths(font.Get("W", true), out.W);
  if (const auto* dw2 = Entry<TPDFArray>(font, "DW2"); dw2 && dw2->Count() == 2)
    if (const auto* advance = As<TPDFNumeric>(Resolved(dw2->Item(1)))) out.DW2 = advance->AsInteger();
  ReadCIDVerticalWidths(font.Get("W2", true), out.W2);
  if (const auto* map = Entry<TPDFStream>(font, "CIDToGIDMap")) out.CIDToGIDMap = DecodedData(*map, MaxCIDToGIDMapSize);
  if (const auto* info = Entry<TPDFDictionary>(font, "CIDSystemInfo")) out.CIDSystemInfo = ReadSystemInfo(*info);
}

void TFontDictionaryReader::ReadDescendants(const TPDFDictionary& font, TFontDictionary& out) const {
  const auto* descendants = Entry<TPDFArray>(font, "DescendantFonts");
  if (!descendants) return;
  out.DescendantCount = descendants->Count();
  if (out.DescendantCount == 1)
    out.Descendant = std::make_unique<TFontDictionary>(Read(descendants->Item(0), false));
}

// /W and /W2 share one shape: "c [v ...]" lists values from c on, "c1 c2 v ..." gives c1 to c2
// one value. Each CID has `perCID` numbers (a width; or a vertical advance and its position
// vector), of which the first is kept. The array stops being read at the first entry that
// does not fit that shape.
void ReadCIDMetrics(TPDFObject* metrics, TPDFCIDWidths& out, int perCID) {
  const auto* array = As<TPDFArray>(metrics);
  if (!array) return;
  const int count = array->Count();
  for (int a = 0; a + 1 < count;) {
    const auto* first = As<TPDFNumeric>(Resolved(array->Item(a)));
    if (!first || first->AsInteger() < 0) return;
    const uint32_t cid = static_cast<uint32_t>(first->AsInteger());
    TPDFObject* next = Resolved(array->Item(a + 1));
    if (const auto* last = As<TPDFNumeric>(next)) {
      const auto* value = a + 1 + perCID < count ? As<TPDFNumeric>(Resolved(array->Item(a + 2))) : nullptr;
      if (!value) return;
      if (last->AsInteger() >= 0) out.Add(cid, static_cast<uint32_t>(last->AsInteger()), value->AsInteger());
      a += 2 + perCID;
    } else if (const auto* list = As<TPDFArray>(next)) {
      for (int j = 0; j + perCID <= list->Count(); j += perCID)
        if (const auto* value = As<TPDFNumeric>(Resolved(list->Item(j))))
          out.Add(cid + static_cast<uint32_t>(j / perCID), cid + static_cast<uint32_t>(j / perCID), value->AsInteger());
      a += 2;
    } else {
      return;
    }
  }
}

}  // namespace

void ReadCIDWidths(TPDFObject* w, TPDFCIDWidths& widths) { ReadCIDMetrics(w, widths, 1); }

void ReadCIDVerticalWidths(TPDFObject* w2, TPDFCIDWidths& advances) { ReadCIDMetrics(w2, advances, 3); }

TFontDictionary ReadFontDictionary(TPDFObject* font, const TFontReadOptions& options) {
  return TFontDictionaryReader(options).Read(font, true);
}

