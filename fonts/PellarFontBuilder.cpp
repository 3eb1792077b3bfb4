#include "fonts/PellarFontBuilder.h"

#include <cmath>
#include <limits>
#include <map>

#include "fonts/PellarFontPrograms.h"
#include "pdf/PellarConvert.h"
#include "platform/FontCatalogue.h"

namespace {

constexpr double DefaultWidth = 750;
constexpr int32_t DefaultCIDWidth = 1000;
constexpr int32_t SymbolicFlag = 4;
const char* const HeiseiFont = "HeiseiKakuGo-W5";
const char* const DingbatsName = "ZydDingbats";

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The base encoding an /Encoding name stands for; any other name counts as Standard.
TBaseEncoding BaseEncodingOf(const std::string& name) {
  static const std::pair<const char*, TBaseEncoding> names[] = {{"StandardEncoding", TBaseEncoding::Standard},
                                                                {"MacRomanEncoding", TBaseEncoding::MacRoman},
                                                                {"WinAnsiEncoding", TBaseEncoding::WinAnsi},
                                                                {"PDFDocEncoding", TBaseEncoding::PDFDoc},
                                                                {"MacExpertEncoding", TBaseEncoding::MacExpert}};
  for (const auto& [text, encoding] : names)
    if (name == text) return encoding;
  return TBaseEncoding::Standard;
}

bool IsKnownBaseEncoding(const std::string& name) {
  return name == "StandardEncoding" || name == "MacRomanEncoding" || name == "WinAnsiEncoding" ||
         name == "PDFDocEncoding" || name == "MacExpertEncoding";
}

// The names of each base encoding, filled once: every font starts from one of them.
const TGlyphNames& EncodingNames(TBaseEncoding encoding) {
  static const auto tables = [] {
    std::array<TGlyphNames, size_t(TBaseEncoding::Symbol) + 1> all;
    for (size_t e = 0; e < all.size(); ++e) FillEncodingNames(static_cast<TBaseEncoding>(e), all[e]);
    return all;
  }();
  return tables[static_cast<size_t>(encoding)];
}

// A table filled once by `fill` (each lambda is a type of its own, so each gets its table).
template <typename TTable, typename TFill>
const TTable& FilledOnce(TFill fill) {
  static const TTable table = [&] {
    TTable all{};
    fill(all);
    return all;
  }();
  return table;
}

// The built-in encoding of the standard dingbats font.
const TGlyphNames& DingbatNames() {
  return FilledOnce<TGlyphNames>([](TGlyphNames& names) { DingbatEncodingNames(names); });
}
// The Unicode names of the standard Symbol font's codes.
const TGlyphNames& SymbolNames() {
  return FilledOnce<TGlyphNames>([](TGlyphNames& names) { SymbolUnicodeNames(names); });
}
// A symbolic TrueType font's names: each code names its glyph by number.
const TGlyphNames& CodeNumberNames() {
  return FilledOnce<TGlyphNames>([](TGlyphNames& names) {
    for (size_t c = 0; c < 256; ++c) names[c] = "CID:" + std::to_string(c);
  });
}
// Every code read as its own character.
const TUnicodeTexts& OwnCodeTexts() {
  return FilledOnce<TUnicodeTexts>([](TUnicodeTexts& texts) {
    for (size_t c = 0; c < 256; ++c) texts[c] = std::u16string(1, char16_t(c));
  });
}

// The base encoding a font's /Encoding names (Standard when it names none or another).
const TGlyphNames& BaseEncodingNames(const TFontDictionary& font) {
  const bool named = font.EncodingForm == TEncodingForm::Name || font.EncodingForm == TEncodingForm::Dictionary;
  return EncodingNames(named && font.EncodingName ? BaseEncodingOf(*font.EncodingName) : TBaseEncoding::Standard);
}

void ApplyDifferences(const std::optional<TEncodingDifferences>& differences, TSharedNames& names) {
  if (!differences) return;
  for (size_t c = 0; c < 256; ++c)
    if (differences->Assigned[c]) names.Change(c) = differences->Names[c];
}

// The widths standard font m gives the names. Names that are a fixed table are looked up
// once per font and table: every such font of a document without /Differences shares them
// (a few tables by 14 fonts at most).
void StandardWidths(int m, const TSharedNames& names, TCodeWidths& widths) {
  if (!names.IsFixed()) return StandardFontWidths(m, names.All(), widths);
  static std::map<std::pair<int, const TGlyphNames*>, TCodeWidths> found;
  const auto [at, added] = found.try_emplace({m, &names.All()});
  if (added) StandardFontWidths(m, names.All(), at->second);
  widths = at->second;
}

// Descriptor heights written in em fractions (0.9) are meant as thousandths (900): a value
// whose rounded magnitude is at most 1 is scaled. The magnitude is tested for ascents too,
// so that a negative ascent such as -200 stays -200 instead of becoming -200000.
double DescriptorHeight(double value) {
  return std::fabs(std::nearbyint(value)) <= 1 ? value * 1000 : std::nearbyint(value);
}

// Writers give the flags signed or as the unsigned 32-bit value; the bits are what count.
int32_t RoundedFlags(double flags) {
  if (!(std::fabs(flags) < 9e15)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::nearbyint(flags))));
}

// The text of 256 glyph names, as single bytes and as Unicode with ligatures spelled out.
struct TNameTexts {
  TSharedNames Names;
  bool Dingbats = false;
  TSharedAnsiTexts Ansi;
  TSharedUnicodeTexts Unicode;
  bool AnyText = false;  // some code has text
};

// The texts of the names, kept for the last few names asked: most fonts of a document (and
// every object that is no font) share a few encodings, so their records share these tables,
// and comparing names costs far less than looking each of them up again. The same table
// (a fixed one above all) is known by its address, without comparing names. The program
// runs on one thread.
const TNameTexts& TextsOfNames(const TSharedNames& names, bool dingbats) {
  constexpr size_t Kept = 8;
  static std::array<std::optional<TNameTexts>, Kept> kept;
  static size_t next = 0;
  // Fonts in a row mostly share their names: the tables found last are compared first.
  static size_t last = 0;
  for (size_t i = 0; i < Kept; ++i) {
    const std::optional<TNameTexts>& texts = kept[(last + i) % Kept];
    if (!texts || texts->Dingbats != dingbats) continue;
    const bool fixed = names.IsFixed() || texts->Names.IsFixed();
    if (fixed ? texts->Names.SameTable(names) : texts->Names == names) {
      last = (last + i) % Kept;
      return *texts;
    }
  }
  last = next;
  std::optional<TNameTexts>& texts = kept[next];
  next = (next + 1) % Kept;
  texts.emplace();
  texts->Names = names;
  texts->Dingbats = dingbats;
  texts->Ansi = TSharedAnsiTexts(GlyphNamesToAnsi(names.All()));
  TUnicodeTexts unicode = GlyphNamesToUnicode(names.All(), dingbats);
  for (std::u16string& text : unicode) text = ExpandLigatures(std::move(text));
  texts->Unicode = TSharedUnicodeTexts(std::move(unicode));
  for (size_t c = 0; c < 256 && !texts->AnyText; ++c) texts->AnyText = !texts->Ansi[c].empty() || !texts->Unicode[c].empty();
  return *texts;
}

// The state of one font while its record is built (steps in the order loading takes them).
class TFontRecordBuilder {
public:
  TFontRecordBuilder(const TFontDictionary& font, const TFontBuildOptions& options) : Font(font), Options(options) {}
  std::unique_ptr<TPDFFontCollectionData> Build();

private:
  std::unique_ptr<TPDFFontCollectionData> BuildComposite();
  void ReadEncoding();
  void LoadType1Family();
  void LoadTrueTypeFamily();
  void LoadSubstitute();
  void MakeSymbolic();
  void ReadDescriptorNumbers();
  void ApplyEncodingSteps();
  void ApplyWidths();
  void BuildTextTables(bool type0);
  void ReadOwnCodes(TPDFFontCollectionData& record);
  void ReadProgramCharacters();
  bool DingbatFont() const {
    return IsDingbatFontName(Record->FontName) || (Font.BaseFont && IsDingbatFontName(*Font.BaseFont));
  }
  bool IsCIDFont() const {
    return Font.Subtype == TFontSubtype::CIDFontType0 || Font.Subtype == TFontSubtype::CIDFontType2;
  }

  const TFontDictionary& Font;
  const TFontBuildOptions& Options;
  std::unique_ptr<TPDFFontCollectionData> Record = std::make_unique<TPDFFontCollectionData>();
  // The font's glyph names, in its record (a Type0 font's stay in the record it started
  // with, see BuildComposite): the base encoding's table until a step changes them.
  TSharedNames& Names = Record->GlyphNames =
      TSharedNames::Fixed(Font.IsDictionary ? BaseEncodingNames(Font) : EncodingNames(TBaseEncoding::Standard));
  std::unique_ptr<TPDFFontCollectionData> TypeZeroRecord;  // holds Names once a Type0 font takes its descendant's record
  // The base encoding's names, before programs and /Differences: one of the fixed tables.
  const TGlyphNames* BaseNames = &EncodingNames(TBaseEncoding::Standard);
  std::optional<TSharedNames> WidthNames;  // names the Symbol metrics know, for the standard Symbol font
  bool EncodingNameGiven = false;
  bool KnownBaseEncoding = false;
  int32_t Flags = 0;
  int StandardFontNumber = 0;
  bool HasProgram = false;          // a program to draw with, embedded or installed
  bool Symbolic = false;            // a symbolic TrueType font: names by code, /Differences set aside
  bool AnsiFromNames = false;       // the single-byte texts come from the names (set by ApplyEncodingSteps)
};

std::unique_ptr<TPDFFontCollectionData> TFontRecordBuilder::Build() {
  if (!Font.IsDictionary) {
    // Not a font dictionary: default names and no widths; the text of the names stays
    // (the single-byte texts stay empty).
    BuildTextTables(false);
    return std::move(Record);
  }
  Record->Widths.fill(Font.MissingWidth.value_or(DefaultWidth));
  if (Font.BaseFont) Record->FontName = *Font.BaseFont;
  ReadEncoding();
  switch (Font.Subtype) {
    case TFontSubtype::Type1:
    case TFontSubtype::MMType1:
    case TFontSubtype::CIDFontType0:
      LoadType1Family();
      break;
    case TFontSubtype::TrueType:
    case TFontSubtype::CIDFontType2:
      LoadTrueTypeFamily();
      break;
    case TFontSubtype::Type3:
      if (Options.FontPrograms) {
        Record->ProgramKind = TFontProgramKind::Type3;
        HasProgram = true;
      }
      if (Font.FontMatrix) Record->FontMatrix = *Font.FontMatrix;
      break;
    case TFontSubtype::Type0:
      return BuildComposite();
    case TFontSubtype::Unknown:
      break;
  }
  if (Options.FontPrograms && !HasProgram) LoadSubstitute();
  ApplyEncodingSteps();
  ApplyWidths();
  BuildTextTables(false);
  return std::move(Record);
}

// The descendant's record, marked composite; without exactly one descendant, an empty
// record of the Type0 font's own, so that no record loaded before is changed.
std::unique_ptr<TPDFFontCollectionData> TFontRecordBuilder::BuildComposite() {
  TypeZeroRecord = std::move(Record);
  if (Font.Descendant) {
    Record = TFontRecordBuilder(*Font.Descendant, Options).Build();
  } else {
    Record = std::make_unique<TPDFFontCollectionData>();
    Record->FontName = TypeZeroRecord->FontName;
  }
  Record->Composite = true;
  Record->EncodingName = Font.EncodingForm == TEncodingForm::Name ? *Font.EncodingName : std::string();
  Record->OneByteCodes = Font.EncodingForm == TEncodingForm::Stream && Font.EncodingOneByte;
  Record->Vertical = PredefinedVertical(Record->EncodingName);
  ApplyDifferences(Font.Differences, Names);
  BuildTextTables(true);
  ReadProgramCharacters();
  return std::move(Record);
}

// An Identity-H or -V TrueType font without a ToUnicode map shows glyph indexes (through its
// /CIDToGIDMap when it has one): its program's 'cmap', read backwards, gives their characters.
void TFontRecordBuilder::ReadProgramCharacters() {
  const TFontDictionary* cidFont = Font.Descendant.get();
  const bool identity = Record->EncodingName == "Identity-H" || Record->EncodingName == "Identity-V";
  if (!identity || Font.ToUnicode || !cidFont || cidFont->Subtype != TFontSubtype::CIDFontType2 ||
      !Options.FontPrograms || !cidFont->FontFile2.Present || Record->ProgramKind != TFontProgramKind::TrueType)
    return;
  std::vector<char32_t> glyphs = TrueTypeGlyphCharacters(cidFont->FontFile2.Data);
  if (glyphs.empty() || Record->CIDToGIDMap.empty()) {
    Record->CodeCharacters = std::move(glyphs);
    return;
  }
  // Two bytes per CID, the glyph index big-endian.
  const std::string& map = Record->CIDToGIDMap;
  std::vector<char32_t>& codes = Record->CodeCharacters;
  codes.assign(map.size() / 2, 0);
  for (size_t cid = 0; cid < codes.size(); ++cid) {
    const size_t glyph = size_t(uint8_t(map[2 * cid])) << 8 | uint8_t(map[2 * cid + 1]);
    if (glyph < glyphs.size()) codes[cid] = glyphs[glyph];
  }
}

void TFontRecordBuilder::ReadEncoding() {
  if (Font.EncodingForm == TEncodingForm::Name || Font.EncodingForm == TEncodingForm::Dictionary) {
    if (Font.EncodingName) {
      EncodingNameGiven = true;
      KnownBaseEncoding = IsKnownBaseEncoding(*Font.EncodingName);
    }
  }
  // Names start as this table (see Names).
  BaseNames = &BaseEncodingNames(Font);
}

void TFontRecordBuilder::ReadDescriptorNumbers() {
  Record->Ascent = DescriptorHeight(Font.Ascent);
  Record->Descent = DescriptorHeight(Font.Descent);
  Flags = RoundedFlags(Font.Flags);
}

void TFontRecordBuilder::LoadType1Family() {
  if (Font.HasDescriptor) {
    ReadDescriptorNumbers();
    if (Options.FontPrograms && Font.FontFile.Present) {
      Record->ProgramKind = TFontProgramKind::Type1;
      HasProgram = true;
      if (!EncodingNameGiven || (Flags & SymbolicFlag)) {
        Names = TSharedNames(Type1BuiltInEncoding(Font.FontFile.Data, Font.FontFile.Length1, Font.FontFile.Length2));
      }
    }
    if (Font.FontFile3.Present) {
      TCompactProgram program = ParseCompactProgram(Font.FontFile3.Data);
      Record->ProgramKind = TFontProgramKind::Compact;
      Record->WidthScale = program.WidthScale;
      HasProgram = true;
      if (!EncodingNameGiven) Names = TSharedNames(std::move(program.Encoding));
    }
    // A Japanese system font draws an unembedded HeiseiKakuGo-W5; text takes nothing from it.
    if (!HasProgram && Options.FontPrograms && StartsWith(Record->FontName, HeiseiFont)) HasProgram = true;
    return;
  }
  StandardFontNumber = FindStandardFont(Record->FontName);
  if (StandardFontNumber < 1) return;
  const TStandardFont& standard = StandardFont(StandardFontNumber);
  Record->Ascent = standard.Ascent;
  Record->Descent = standard.Descent;
  if (StandardFontNumber == SymbolFont) {
    // Text comes from the Unicode names, widths from the names the Symbol metrics know.
    Names = TSharedNames::Fixed(SymbolNames());
    WidthNames = TSharedNames::Fixed(EncodingNames(TBaseEncoding::Symbol));
    BaseNames = &EncodingNames(TBaseEncoding::Symbol);
  } else if (StandardFontNumber == DingbatsFont) {
    // Its codes are its own: the built-in encoding names the dingbats.
    Names = TSharedNames::Fixed(DingbatNames());
    BaseNames = &DingbatNames();
  }
  if (Options.FontPrograms) {
    // An installed font (or the built-in dingbats) draws it; its widths are the metrics'.
    Record->FontName = StandardFontNumber == DingbatsFont ? DingbatsName : standard.Substitute;
    HasProgram = true;
  }
}

void TFontRecordBuilder::LoadTrueTypeFamily() {
  if (Font.HasDescriptor) ReadDescriptorNumbers();
  if (!Options.FontPrograms || !Font.FontFile2.Present) return;
  HasProgram = true;
  if (IsCompactProgram(Font.FontFile2.Data)) {
    Record->ProgramKind = TFontProgramKind::Compact;
    Record->WidthScale = ParseCompactProgram(Font.FontFile2.Data).WidthScale;
    return;
  }
  Record->ProgramKind = TFontProgramKind::TrueType;
  if (Flags & SymbolicFlag) MakeSymbolic();
}

void TFontRecordBuilder::MakeSymbolic() {
  Symbolic = true;
  Names = TSharedNames::Fixed(CodeNumberNames());
}

void TFontRecordBuilder::LoadSubstitute() {
  if (Font.Subtype == TFontSubtype::Type0) return;
  Platform::TFontCatalogue& catalogue = Options.Catalogue ? *Options.Catalogue : Platform::FontCatalogue();
  std::unique_ptr<TTrueTypeProgram> substitute = SubstituteProgram(Record->FontName, Flags, catalogue);
  if (!substitute) return;
  Record->ProgramKind = TFontProgramKind::TrueType;
  HasProgram = true;
  if (Flags & SymbolicFlag) {
    MakeSymbolic();
    return;
  }
  for (size_t c = 0; c < 256; ++c)
    if (std::optional<int32_t> advance = substitute->GlyphAdvance(Names[c])) Record->Widths[c] = *advance;
}

void TFontRecordBuilder::ApplyEncodingSteps() {
  if (!Symbolic) ApplyDifferences(Font.Differences, Names);
  if (StandardFontNumber >= 1 && StandardFontNumber < DingbatsFont) {
    if (WidthNames) ApplyDifferences(Font.Differences, *WidthNames);
    StandardWidths(StandardFontNumber, WidthNames ? *WidthNames : Names, Record->Widths);
  }
  AnsiFromNames = true;
}

void TFontRecordBuilder::ApplyWidths() {
  Record->FirstChar = Font.FirstChar.value_or(0);
  Record->LastChar = std::min(Font.LastChar.value_or(0), 255);
  if (!IsCIDFont()) {
    if (Font.FirstChar && Font.LastChar && Font.HasWidths)
      for (size_t c = 0; c < 256; ++c)
        if (Font.WidthGiven[c]) Record->Widths[c] = Font.Widths[c];
    return;
  }
  const int32_t dw = Font.DW.value_or(DefaultCIDWidth);
  if (Font.Subtype == TFontSubtype::CIDFontType0 && StartsWith(Record->FontName, HeiseiFont)) {
    Record->CIDWidths = LoadHeiseiWidths(dw);
  } else {
    Record->CIDWidths = Font.W;
    Record->CIDWidths.SetDefault(dw);
  }
  if (Font.Subtype == TFontSubtype::CIDFontType2) Record->CIDToGIDMap = Font.CIDToGIDMap;
  Record->CIDSystemInfo = Font.CIDSystemInfo;
  Record->VerticalAdvances = Font.W2;
  Record->VerticalAdvances.SetDefault(Font.DW2.value_or(DefaultVerticalAdvance));
}

// The glyph names of a Type 3 font name its glyph procedures, often nothing a reader knows
// ("a80" from dvips, "CP" from other writers): a printable code that has no text reads as
// itself, as every code does in a font none of whose names has text.
void TFontRecordBuilder::ReadOwnCodes(TPDFFontCollectionData& record) {
  for (size_t c = 0x20; c < 256; ++c) {
    if (!record.UnicodeText[c].empty() || (c >= 0x7F && c <= 0x9F)) continue;
    record.UnicodeText.Change(c) = std::u16string(1, static_cast<char16_t>(c));
    record.AnsiText.Change(c) = std::string(1, Windows1252Byte(static_cast<char16_t>(c)));
  }
}

// The text of each code: from the glyph names, overlaid by the ToUnicode map where it has
// the code; codes that end up with no text at all read as themselves.
void TFontRecordBuilder::BuildTextTables(bool type0) {
  TPDFFontCollectionData& record = *Record;
  const TSharedNames* textNames = &Names;
  std::optional<TSharedNames> setAsideNames;
  if (Symbolic && Font.Differences && !Font.ToUnicode) {
    setAsideNames = TSharedNames::Fixed(*BaseNames);
    ApplyDifferences(Font.Differences, *setAsideNames);
    textNames = &*setAsideNames;
  }
  const TNameTexts& named = TextsOfNames(*textNames, DingbatFont());
  auto hasText = [](const TSharedAnsiTexts& ansi, const TSharedUnicodeTexts& unicode) {
    for (size_t c = 0; c < 256; ++c)
      if (!ansi[c].empty() || !unicode[c].empty()) return true;
    return false;
  };
  bool anyText = false;
  if (Font.ToUnicode) {
    TToUnicodeMap map = ParseToUnicode(*Font.ToUnicode);
    if (!(type0 && record.OneByteCodes)) record.OneByteCodes = map.OneByte;
    record.ToUnicodeRanges = std::move(map.Ranges);
    TSharedAnsiTexts& ansi = record.AnsiText = named.Ansi;
    TSharedUnicodeTexts& unicode = record.UnicodeText = named.Unicode;
    // A composite font's codes read through the map one by one: the tables by code serve
    // simple fonts only.
    if (type0) return;
    // The map's texts are written over those of the names.
    const TPDFCMapIndex lastRange(TPDFCMapIndex::TOrder::LastWins, 255);
    for (size_t c = 0; c < 256; ++c) {
      const int32_t entry = lastRange.Find(record.ToUnicodeRanges, static_cast<int32_t>(c));
      if (entry < 0) continue;
      std::u16string& text = unicode.Change(c) =
          ExpandLigatures(CMapEntryText(record.ToUnicodeRanges[static_cast<size_t>(entry)], static_cast<int32_t>(c)));
      std::string& single = ansi.Change(c);
      single.clear();
      for (char16_t unit : text) single += Windows1252Byte(unit);
    }
    anyText = hasText(ansi, unicode);
  } else {
    anyText = named.AnyText;
    record.UnicodeText = named.Unicode;
    // Looked up last: a second lookup may replace the tables `named` refers to.
    if (AnsiFromNames) record.AnsiText = textNames == &Names ? named.Ansi : TextsOfNames(Names, DingbatFont()).Ansi;
  }
  if (anyText) {
    if (Font.Subtype == TFontSubtype::Type3) ReadOwnCodes(record);
    return;
  }
  // A symbolic TrueType font that names its encoding: codes whose own value would be a
  // control character read through that encoding instead (0x93 is a quotation mark).
  const bool byEncoding = Symbolic && KnownBaseEncoding && !Font.ToUnicode;
  record.UnicodeText = TSharedUnicodeTexts::Fixed(OwnCodeTexts());
  if (!byEncoding) return;
  for (size_t c = 0; c < 256; ++c)
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) record.UnicodeText.Change(c) = GlyphNameToUnicode((*BaseNames)[c]);
}

}  // namespace

std::unique_ptr<TPDFFontCollectionData> BuildFontRecord(const TFontDictionary& font, const TFontBuildOptions& options) {
  return TFontRecordBuilder(font, options).Build();
}
