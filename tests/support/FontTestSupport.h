#pragma once
// Font programs for tests: the committed fixtures, and small sfnt and CFF files built from
// parts, so that each test can damage exactly the structure it is about.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FontCatalogue.h"

// The bytes of tests/fixtures/fonts/<name>; empty when it is missing.
std::string FontFixture(const std::string& name);

// An sfnt font of the tables in the order given, each at a four-byte boundary.
std::string Sfnt(const std::vector<std::pair<std::string, std::string>>& tables,
                 const std::string& version = std::string("\0\1\0\0", 4));
// A TrueType collection of the fonts, each kept whole behind the collection header (their
// table offsets are moved by the face's offset).
std::string Collection(const std::vector<std::string>& fonts);

// A big-endian 16-bit number.
std::string U16(int value);

// A CFF INDEX of the items with offsets of offSize bytes.
std::string CffIndex(const std::vector<std::string>& items, int offSize = 1);
// A DICT integer operand in its five-byte form, so that offsets have a fixed size.
std::string CffInt(int32_t value);

// A CFF program laid out as header, Name, Top DICT, String, Global Subr and CharStrings
// INDEXes, then the charset and encoding. An id is written as it is (0, 1, 2), bytes are
// placed behind and their offset written; nothing leaves the operator out.
struct TCompactParts {
  explicit TCompactParts(int glyphs) : Glyphs(glyphs) {}
  TCompactParts& Top(std::string extra) { return TopExtra = std::move(extra), *this; }
  TCompactParts& WithStrings(std::vector<std::string> strings) { return Strings = std::move(strings), *this; }
  TCompactParts& CharsetBytes(std::string bytes) { return Charset = std::move(bytes), *this; }
  TCompactParts& EncodingBytes(std::string bytes) { return Encoding = std::move(bytes), *this; }
  TCompactParts& Predefined(std::optional<int> charset, std::optional<int> encoding) {
    CharsetId = charset;
    EncodingId = encoding;
    return *this;
  }

  std::string TopExtra;  // further Top DICT operators, written first (ROS, FontMatrix)
  std::vector<std::string> Strings;
  int Glyphs = 0;
  std::optional<int> CharsetId, EncodingId;
  std::optional<std::string> Charset, Encoding;
};
std::string CompactFont(const TCompactParts& parts);

// The catalogue of tests: faces added by family and style, found only by exact request.
class TFakeFontCatalogue : public Platform::TFontCatalogue {
public:
  void Add(const std::string& family, bool bold, bool italic, std::string data);
  std::vector<std::string> Families() override;
  std::string FontData(const std::string& family, bool bold, bool italic) override;
  // The requests FontData was asked, as "family" with ",Bold", ",Italic" or ",BoldItalic".
  std::vector<std::string> Requests;

private:
  std::vector<std::pair<std::string, std::string>> Faces;  // request key, data
};

// Puts the catalogue in place of the system's for the scope.
class TScopedFontCatalogue {
public:
  explicit TScopedFontCatalogue(Platform::TFontCatalogue& catalogue)
      : Previous(Platform::SetFontCatalogue(&catalogue)) {}
  ~TScopedFontCatalogue() { Platform::SetFontCatalogue(Previous); }
  TScopedFontCatalogue(const TScopedFontCatalogue&) = delete;
  TScopedFontCatalogue& operator=(const TScopedFontCatalogue&) = delete;

private:
  Platform::TFontCatalogue* Previous;
};
