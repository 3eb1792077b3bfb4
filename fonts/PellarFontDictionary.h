#pragma once
// A font dictionary read into a plain record: everything font loading takes from the PDF
// objects (the dictionary, its descriptor, encoding, widths, ToUnicode map, font programs
// and a Type0 font's descendant), so that building the font record never sees an object.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "fonts/PellarCIDWidths.h"
#include "fonts/PellarGlyphTables.h"

class TPDFObject;

enum class TFontSubtype { Unknown, Type1, MMType1, TrueType, Type3, Type0, CIDFontType0, CIDFontType2 };

// How /Encoding is given.
enum class TEncodingForm { None, Name, Dictionary, Stream };

// One embedded font program: its decoded bytes and the lengths of a Type 1 program's parts.
struct TFontProgramData {
  bool Present = false;  // the descriptor's entry is a stream
  std::string Data;      // of a /FontFile, only the clear-text part (its first Length1 bytes)
  int32_t Length1 = 0;   // /Length1 and /Length2, 0 when not numbers
  int32_t Length2 = 0;
};

// /Differences: the glyph names it assigns to codes 0 to 255 (a later entry for a code wins).
struct TEncodingDifferences {
  std::bitset<256> Assigned;
  TGlyphNames Names;
};

struct TFontDictionary {
  bool IsDictionary = false;  // the object resolved to a dictionary; nothing else is read otherwise
  TFontSubtype Subtype = TFontSubtype::Unknown;
  std::optional<std::string> BaseFont;

  // /FontDescriptor
  bool HasDescriptor = false;
  std::optional<double> MissingWidth;
  double Ascent = 0;  // 0 when not a number
  double Descent = 0;
  double Flags = 0;
  TFontProgramData FontFile, FontFile2, FontFile3;

  // /Encoding: a name, or a dictionary's /BaseEncoding name, in EncodingName.
  TEncodingForm EncodingForm = TEncodingForm::None;
  std::optional<std::string> EncodingName;
  std::optional<TEncodingDifferences> Differences;
  bool EncodingOneByte = false;  // an /Encoding stream's codespace has one-byte codes

  // /FirstChar, /LastChar (rounded) and the /Widths they place on codes 0 to 255.
  std::optional<int32_t> FirstChar, LastChar;
  bool HasWidths = false;
  std::bitset<256> WidthGiven;
  TCodeWidths Widths{};

  // CIDFonts: /DW rounded, /W as ranges (no default), the /CIDToGIDMap stream's bytes,
  // /CIDSystemInfo as Registry-Ordering-Supplement (empty without the dictionary).
  std::optional<int32_t> DW;
  TPDFCIDWidths W;
  // /DW2's vertical advance (its second number) and /W2's vertical advances (w1y), rounded;
  // the position vectors are not kept.
  std::optional<int32_t> DW2;
  TPDFCIDWidths W2;
  std::string CIDToGIDMap;
  std::string CIDSystemInfo;

  // Type 3
  std::optional<std::array<double, 6>> FontMatrix;

  std::optional<std::string> ToUnicode;  // decoded /ToUnicode stream

  // Type0: the number of /DescendantFonts entries (-1 when not an array) and, when there
  // is exactly one, that font read in turn (its own descendants are not followed).
  int32_t DescendantCount = -1;
  std::unique_ptr<TFontDictionary> Descendant;
};

struct TFontReadOptions {
  // Decode /FontFile and /FontFile2 (a /FontFile3 is always read, as loading parses it
  // whatever the setting).
  bool FontPrograms = false;
};

TFontDictionary ReadFontDictionary(TPDFObject* font, const TFontReadOptions& options);
// /W entries into ranges: "c [w1 w2 ...]" and "c1 c2 w"; reading stops at the first entry
// that is neither.
void ReadCIDWidths(TPDFObject* w, TPDFCIDWidths& widths);
// The vertical advances of /W2: "c [w1y vx vy ...]" and "cfirst clast w1y vx vy"; reading
// stops at the first malformed entry.
void ReadCIDVerticalWidths(TPDFObject* w2, TPDFCIDWidths& advances);
