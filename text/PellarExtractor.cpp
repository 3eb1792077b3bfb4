#include "text/PellarExtractor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontSpace.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarParser.h"
#include "pdf/PellarStreamData.h"
#include "text/PellarAnnotations.h"
#include "text/PellarColourText.h"
#include "text/PellarContentNumber.h"
#include "text/PellarContentScanner.h"
#include "text/PellarInlineImage.h"
#include "text/PellarTextCleanup.h"
#include "text/PellarTextCursor.h"
#include "text/PellarTextLimits.h"

namespace {

// The most UTF-16 units one page gives. A small compressed stream of "(a)Tj" whose font
// maps a code to a long text would otherwise claim all memory; no real page comes near.
constexpr size_t MaxPageText = size_t(64) << 20;
// The most bytes and spaces one TJ array gathers; real arrays hold a line or a paragraph.
// Beyond it the array's text is no longer gathered (positions still move).
constexpr size_t MaxArrayText = size_t(4) << 20;
// The form content one page may scan in all, a form counted each time it is drawn, and
// each drawing costing at least FormDrawCost: forms that draw other forms several times
// multiply, and nesting alone does not bound that. Real pages stay far below.
constexpr size_t MaxFormContent = size_t(64) << 20;
constexpr size_t FormDrawCost = 1024;

constexpr double DefaultFontSize = 12;

const TCodeWidths DefaultWidths = [] {
  TCodeWidths widths;
  widths.fill(UnmeasuredWidth);
  return widths;
}();

// Raised when the page's text reaches its bound: the scan ends and keeps its text.
struct TTextFull {};

bool IsNumber(std::string_view token) { return ContentNumber(token).has_value(); }
double Real(std::string_view token) { return ContentNumber(token).value_or(0); }

std::string StringBytes(std::string_view token) {
  return token.front() == '(' ? UnescapeLiteral(token) : DecodeHexToken(token);
}

// One colour component, 0 to 1 as 0 to 255 (ties to even); values outside are clamped,
// as painting clamps them.
uint8_t Channel(std::string_view token) {
  const double v = std::nearbyint(Real(token) * 255);
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

enum class TPieceKind : uint8_t {
  Text,          // a string's bytes
  LetterSpaced,  // a string's bytes, read with a space between every two codes
  KerningSpace,  // a leftward move of more than half a space: a space, no bytes
};

// What a TJ array gathered, up to ArrayBytes[End].
struct TArrayPiece {
  uint32_t End;
  TPieceKind Kind;
};

}  // namespace

class TPDFExtractor::TRun {
public:
  TRun(TPDFExtractor& owner, bool listing) : Owner(owner), Fonts(owner.Fonts), Listing(listing) {}

  void Scan(std::string_view content, TPDFDictionary* resources);
  // After the page's content: each viewed annotation's appearance as a form, or its field
  // value, from a new line.
  void ScanAnnotations(TPDFDictionary& page, bool needAppearances);

  std::u16string Out;

private:
  using THandler = void (TRun::*)();
  struct TOperator {
    std::string_view Name;
    THandler Handler;
  };
  static const TOperator Operators[];
  static THandler FindOperator(std::string_view token);

  // T0 is the most recent token before the current one, T5 the oldest kept.
  std::string_view T(unsigned i) const { return History[(Head - i) & 7]; }
  void Push(std::string_view token) { History[++Head & 7] = token; }

  std::string_view ReadArray();
  void AddPiece(std::string_view bytes, TPieceKind kind);

  void OpTf();
  void OpBT() { Cursor.BeginText(); }
  // Spacing and leading are text space values: the text matrix in use when they apply
  // scales them, whichever came first.
  void OpTL() { Leading = Real(T(0)); }
  void OpTw() { WordSpacing = Real(T(0)); }
  void OpTc() { CharSpacing = Real(T(0)); }
  void OpTm();
  void OpTd();
  void OpTD();
  void OpTStar();
  void OpTj();
  void OpQuote();
  void OpDoubleQuote();
  void OpTJ();
  void Oprg() { SetColour(T(2), T(1), T(0)); }
  void Opg() { SetColour(T(0), T(0), T(0)); }
  void OpBI();
  void OpDo();
  void ScanForm(TPDFStream& form, TPDFDictionary* resources);
  // Text that stands apart from what came before: a new line before the next text, nothing
  // measured from the text before, and the text state an appearance starts with.
  void StartApart();

  void UseFont(const TPDFFontCollectionData& font);
  void SetColour(std::string_view r, std::string_view g, std::string_view b);

  double Width(std::string_view bytes) const;
  // A vertical font's glyphs go down a column by their vertical advances.
  double Height(std::string_view bytes) const;
  bool VerticalFont() const { return Font && Font->Composite && Font->Vertical; }
  // Moves past shown bytes along the text direction (down the column for a vertical font).
  // The character spacing after the last glyph is no gap: a producer that letter-spaces a
  // word moves back by it before the next part.
  void Advance(std::string_view bytes) {
    if (!bytes.empty()) Cursor.Advance(VerticalFont() ? Height(bytes) : Width(bytes), CharSpacing * Cursor.Scale());
  }
  double LineHeight() const { return FontSize * Cursor.Scale(); }
  double HalfSpace() const { return SpaceWidth / 2 * Cursor.Scale() * FontSize / 1000; }
  // Character spacing of a space's width or more separates words, not letters: ghostscript
  // writes a word gap inside a string so, and headings are letter-spaced so. A string that
  // shows spaces of its own separates its words by them: its letters are only spread. A
  // vertical column's glyphs join without spaces, however spaced.
  bool LetterSpaced(std::string_view bytes) const;

  // Positioning only moves; what the move means is decided when text is shown next.
  void StartShown() {
    Settle();
    Cursor.StartShown();
  }
  void Settle();
  // T* and the quotes break the line themselves; the next move is measured from there.
  void NextLine();

  bool EndsWithBreak() const { return Out.size() >= 2 && Out[Out.size() - 2] == u'\r' && Out.back() == u'\n'; }
  void Append(std::u16string_view text);

  void AppendText(std::u16string& to, std::string_view bytes, bool letterSpaced) const;
  std::u16string ArrayText() const;
  void ListingLine(double x, double y, std::u16string_view text);
  void CheckBound(const std::u16string& text) const {
    if (text.size() > MaxPageText) throw TTextFull();
  }

  TPDFExtractor& Owner;
  TPDFFontCollection& Fonts;
  const bool Listing;

  TPDFContentScanner* Scanner = nullptr;
  TPDFDictionary* Resources = nullptr;
  TPDFDictionary* PageFonts = nullptr;

  std::array<std::string_view, 8> History{};
  unsigned Head = 0;

  TTextCursor Cursor;
  double ArrayStartX = 0;
  bool Apart = false;  // the next text starts a new block: no move is measured to it
  double FontSize = DefaultFontSize;
  double Leading = 0;
  double WordSpacing = 0, CharSpacing = 0;
  const TCodeWidths* Widths = &DefaultWidths;
  unsigned char SpaceCode = TPDFFontSpace().Code;
  double SpaceWidth = TPDFFontSpace().Width;
  const TPDFFontCollectionData* Font = nullptr;  // the font chosen by this run's Tf
  std::string BaseFontName;

  std::string Shown;
  std::string ArrayBytes;
  std::vector<TArrayPiece> Pieces;

  // Forms being scanned, innermost last; the decoded data of every form drawn, which the
  // token history may still point into; the form bytes scanned so far.
  std::vector<const TPDFStream*> ActiveForms;
  std::unordered_map<const TPDFStream*, std::string> FormData;
  size_t FormBytes = 0;
};

const TPDFExtractor::TRun::TOperator TPDFExtractor::TRun::Operators[] = {
    {"BT", &TRun::OpBT},  {"Tf", &TRun::OpTf}, {"TL", &TRun::OpTL},       {"Tw", &TRun::OpTw},
    {"Tc", &TRun::OpTc},  {"Tm", &TRun::OpTm}, {"Td", &TRun::OpTd},       {"TD", &TRun::OpTD},
    {"T*", &TRun::OpTStar}, {"Tj", &TRun::OpTj}, {"'", &TRun::OpQuote},   {"\"", &TRun::OpDoubleQuote},
    {"TJ", &TRun::OpTJ},  {"rg", &TRun::Oprg}, {"g", &TRun::Opg},         {"BI", &TRun::OpBI},
    {"Do", &TRun::OpDo},
};

TPDFExtractor::TRun::THandler TPDFExtractor::TRun::FindOperator(std::string_view token) {
  if (token.size() > 2) return nullptr;
  for (const TOperator& op : Operators)
    if (op.Name == token) return op.Handler;
  return nullptr;
}

void TPDFExtractor::TRun::Scan(std::string_view content, TPDFDictionary* resources) {
  TPDFContentScanner scanner(content, ExtractorScanRules);
  TPDFContentScanner* const outerScanner = Scanner;
  TPDFDictionary* const outerResources = Resources;
  TPDFDictionary* const outerFonts = PageFonts;
  Scanner = &scanner;
  Resources = resources;
  PageFonts = resources ? As<TPDFDictionary>(resources->Get("Font")) : nullptr;
  for (std::string_view token = scanner.Next(); !token.empty(); token = scanner.Next()) {
    if (token.front() == '(' || token.front() == '<') {
      Shown = StringBytes(token);
    } else if (token == "[") {
      token = ReadArray();  // only the closing bracket enters the history
    } else if (THandler handler = FindOperator(token)) {
      (this->*handler)();
    }
    Push(token);
  }
  Scanner = outerScanner;
  Resources = outerResources;
  PageFonts = outerFonts;
}

void TPDFExtractor::TRun::Append(std::u16string_view text) {
  if (Listing) return;
  Out += text;
  CheckBound(Out);
}

// The net move from the end of the last text, along the current text direction and across
// it: a glyph placed by its own text object, or by a move to the line start and back, then
// continues its word as the page shows it.
void TPDFExtractor::TRun::Settle() {
  if (Apart) {
    Apart = false;
    Cursor.Forget();
    if (!Out.empty() && !EndsWithBreak()) Append(u"\r\n");
    return;
  }
  const std::optional<TTextMove> move = Cursor.TakeMove();
  if (!move || EndsWithBreak()) return;
  const TTextJump jump = JudgeMove(*move, HalfSpace(), LineHeight());
  if (jump.Space) Append(u" ");
  for (int i = 0; i < jump.Breaks; ++i) Append(u"\r\n");
}

void TPDFExtractor::TRun::NextLine() {
  Settle();
  Cursor.NextLine(Leading);
}

// A Tf whose name the fonts lack keeps the current font and takes the size: ending the
// scan there would lose the rest of the page.
void TPDFExtractor::TRun::OpTf() {
  const std::string_view raw = T(1);
  const std::string name = DecodeName(raw.empty() ? raw : raw.substr(1));
  TPDFObject* entry = PageFonts ? PageFonts->Get(name, false) : nullptr;
  bool chosen = true;
  if (auto* reference = As<TPDFIndRef>(entry))
    Fonts.SelectFont(reference);
  else if (auto* direct = As<TPDFDictionary>(entry))
    Fonts.LoadDirectFont(direct);
  else
    chosen = false;
  if (chosen) {
    Font = Fonts.Current();
    if (Listing) BaseFontName = Owner.BaseFont(Resources, name);
  }
  FontSize = IsNumber(T(0)) ? Real(T(0)) : DefaultFontSize;
  if (Font) UseFont(*Font);
}

// The space code is the code whose text is a space (32 first, else the lowest; a font
// whose codes end before 255 lends 255); its width counts only when the font gives one.
void TPDFExtractor::TRun::UseFont(const TPDFFontCollectionData& font) {
  Widths = &font.Widths;
  const TPDFFontSpace space = FontSpace(font);
  SpaceCode = space.Code;
  SpaceWidth = space.Width;
  Cursor.SetVertical(VerticalFont());
}

void TPDFExtractor::TRun::OpTm() {
  Cursor.SetMatrix(Real(T(5)), Real(T(4)), Real(T(3)), Real(T(2)), Real(T(1)), Real(T(0)));
}

void TPDFExtractor::TRun::OpTd() { Cursor.MoveLine(Real(T(1)), Real(T(0))); }

void TPDFExtractor::TRun::OpTD() {
  Leading = -Real(T(0));
  OpTd();
}

void TPDFExtractor::TRun::OpTStar() {
  NextLine();
  Append(u"\r\n");
}

void TPDFExtractor::TRun::OpTj() {
  StartShown();
  const bool spaced = LetterSpaced(Shown);
  std::u16string text;
  AppendText(Listing ? text : Out, Shown, spaced);
  if (Listing) ListingLine(Cursor.X(), Cursor.Y(), text);
  Advance(Shown);
  Cursor.EndShown();
  Shown.clear();
}

// ' and " move to the next line as T* does and show their string there. Staying where the
// last string ended would make the next Td, measured from the line start, look like a jump
// back: ghostscript writes each line with ' and its words would split.
void TPDFExtractor::TRun::OpQuote() {
  NextLine();
  if (!EndsWithBreak()) Append(u"\r\n");
  OpTj();
}

// aw ac (string) ": the word and character spacing apply to this string and stay.
void TPDFExtractor::TRun::OpDoubleQuote() {
  WordSpacing = Real(T(2));
  CharSpacing = Real(T(1));
  OpQuote();
}

void TPDFExtractor::TRun::OpTJ() {
  std::u16string text = ArrayText();
  if (Listing)
    ListingLine(ArrayStartX, Cursor.Y(), text);
  else
    Append(text);
  ArrayBytes.clear();
  Pieces.clear();
}

void TPDFExtractor::TRun::SetColour(std::string_view r, std::string_view g, std::string_view b) {
  Owner.FillColourText = ColourText(Channel(r), Channel(g), Channel(b));
}

// An inline image is passed over as the interpreter passes it; one without an end takes
// the rest of the content.
void TPDFExtractor::TRun::OpBI() {
  if (!SkipInlineImage(*Scanner)) Scanner->SetOffset(Scanner->Data().size());
}

// A form is read where it is drawn, as if its content stood there, with its own resources
// (or those in use when it has none). Many producers put a page's whole text in forms.
void TPDFExtractor::TRun::OpDo() {
  const std::string_view raw = T(0);
  auto* xobjects = Resources ? As<TPDFDictionary>(Resources->Get("XObject")) : nullptr;
  auto* form = xobjects ? As<TPDFStream>(xobjects->Get(DecodeName(raw.empty() ? raw : raw.substr(1)))) : nullptr;
  if (!form) return;
  auto* subtype = As<TPDFName>(form->Dictionary()->Get("Subtype"));
  if (subtype && subtype->Value == "Form") ScanForm(*form, Resources);
}

void TPDFExtractor::TRun::ScanForm(TPDFStream& stream, TPDFDictionary* resources) {
  if (ActiveForms.size() >= static_cast<size_t>(MaxFormNesting) || FormBytes >= MaxFormContent) return;
  TPDFStream* const form = &stream;
  for (const TPDFStream* active : ActiveForms)
    if (active == form) return;  // a form that draws itself
  auto known = FormData.find(form);
  if (known == FormData.end()) known = FormData.emplace(form, DecodedData(*form, MaxFormContent - FormBytes)).first;
  const std::string_view data = std::string_view(known->second).substr(0, MaxFormContent - FormBytes);
  FormBytes += std::max(data.size(), FormDrawCost);
  auto* own = As<TPDFDictionary>(form->Dictionary()->Get("Resources"));
  ActiveForms.push_back(form);
  Scan(data, own ? own : resources);
  ActiveForms.pop_back();
}

void TPDFExtractor::TRun::StartApart() {
  Apart = true;
  Cursor = TTextCursor();
  Cursor.SetVertical(VerticalFont());
  Leading = WordSpacing = CharSpacing = 0;
}

void TPDFExtractor::TRun::ScanAnnotations(TPDFDictionary& page, bool needAppearances) {
  for (const TAnnotationView& view : ViewedAnnotations(page, needAppearances)) {
    StartApart();
    if (view.Appearance) {
      ScanForm(*view.Appearance, Owner.Resources);
      continue;
    }
    std::u16string value;
    for (char16_t c : view.Value) value += c == u'\n' ? std::u16string_view(u"\r\n") : std::u16string_view(&c, 1);
    Settle();
    if (Listing)
      ListingLine(view.Rect.Left, view.Rect.Bottom, value);
    else
      Append(value);
  }
}

// The move before the array is settled at its first string: a dash pattern shows nothing.
std::string_view TPDFExtractor::TRun::ReadArray() {
  ArrayStartX = Cursor.X();
  bool shown = false;
  for (std::string_view token = Scanner->Next();; token = Scanner->Next()) {
    if (token.empty() || token == "]") {
      if (shown) Cursor.EndShown();
      return token;
    }
    if (token.front() == '(' || token.front() == '<') {
      if (!shown) StartShown();
      shown = true;
      const std::string bytes = StringBytes(token);
      const bool spaced = LetterSpaced(bytes);
      Advance(bytes);
      AddPiece(bytes, spaced ? TPieceKind::LetterSpaced : TPieceKind::Text);
    } else if (IsNumber(token)) {
      const double n = Real(token);
      // A vertical font moves down its column by a positive adjustment, and makes no space.
      if (VerticalFont()) {
        Cursor.Kern(n * Cursor.Scale() * FontSize / 1000);
        continue;
      }
      Cursor.Kern(n * Cursor.Scale() * FontSize / -1000);
      if (-n > SpaceWidth / 2) AddPiece({}, TPieceKind::KerningSpace);
    }
  }
}

void TPDFExtractor::TRun::AddPiece(std::string_view bytes, TPieceKind kind) {
  if (ArrayBytes.size() + bytes.size() + Pieces.size() >= MaxArrayText) return;
  ArrayBytes += bytes;
  Pieces.push_back({static_cast<uint32_t>(ArrayBytes.size()), kind});
}

bool TPDFExtractor::TRun::LetterSpaced(std::string_view bytes) const {
  if (VerticalFont() || CharSpacing <= 0 || CharSpacing < SpaceWidth * FontSize / 1000) return false;
  std::u16string text;
  AppendText(text, bytes, false);
  return text.find(u' ') == std::u16string::npos;
}

// Glyph widths are thousandths of the font size; character and word spacing are in text
// space units, as the showing operators apply them (the text matrix scales both). Adding the
// spacing to the thousandths instead would make a letter-spaced or justified line (as
// ghostscript writes them) drift from its own next position, and its words would break.
// A composite font is measured by its codes and their CID widths: its bytes are no codes of
// the simple-font widths, and measuring them so would make every glyph that a writer places
// by itself (Chrome and other Skia writers do) look a word apart from the one before.
// Letter-spaced text is measured as shown: the spaces read into it take no room.
double TPDFExtractor::TRun::Width(std::string_view bytes) const {
  double glyphs = 0;
  double spacing = 0;
  const bool composite = Font && Font->Composite;
  auto add = [&](int32_t code, double width) {
    glyphs += width;
    const bool wordSpace = composite ? Font->OneByteCodes && code == 32 : code == SpaceCode;
    spacing += CharSpacing + (wordSpace ? WordSpacing : 0);
  };
  if (composite) {
    const TPellarCodeList codes = Fonts.SplitCodes(bytes);
    for (const int32_t code : codes) add(code, Fonts.CompositeAdvance(code));
  } else {
    for (const char byte : bytes) {
      const auto c = static_cast<unsigned char>(byte);
      add(c, (*Widths)[c]);
    }
  }
  return (glyphs * FontSize / 1000 + spacing) * Cursor.Scale();
}

// Vertical advances are thousandths of the font size, negative downwards; character
// spacing applies along the column too. The text matrix scales both as it scales widths.
double TPDFExtractor::TRun::Height(std::string_view bytes) const {
  double height = 0;
  for (int32_t code : Fonts.SplitCodes(bytes))
    height += -Fonts.CompositeVerticalAdvance(code) * FontSize / 1000 + CharSpacing;
  return height * Cursor.Scale();
}

// The text of the codes, with a space character between them when letter-spaced. The
// inserted space is a character, not a byte: a composite font's codes span two or more
// bytes, so a space byte among them would shift every later code, and the code a simple
// font lends for its space (255 when its codes end before) shows a glyph of its own.
void TPDFExtractor::TRun::AppendText(std::u16string& to, std::string_view bytes, bool letterSpaced) const {
  const TPDFFontCollectionData* font = Font;
  if (!font) return;
  auto add = [&](size_t i, const std::u16string& text) {
    if (letterSpaced && i > 0) to += u' ';
    to += text;
    CheckBound(to);
  };
  if (!font->Composite) {
    for (size_t i = 0; i < bytes.size(); ++i) add(i, font->UnicodeText[static_cast<unsigned char>(bytes[i])]);
    return;
  }
  const TPellarCodeList codes = Fonts.SplitCodes(bytes);
  for (size_t i = 0; i < codes.size(); ++i) add(i, Fonts.CodeToUnicode(codes[i]));
}

std::u16string TPDFExtractor::TRun::ArrayText() const {
  std::u16string text;
  if (!Font) return text;
  size_t start = 0;
  for (const TArrayPiece& piece : Pieces) {
    const std::string_view bytes = std::string_view(ArrayBytes).substr(start, piece.End - start);
    start = piece.End;
    if (piece.Kind == TPieceKind::KerningSpace)
      text += u' ';
    else
      AppendText(text, bytes, piece.Kind == TPieceKind::LetterSpaced);
  }
  return text;
}

// x, y, colour, size, "base font", "text" with its double quotes escaped; nothing else is.
void TPDFExtractor::TRun::ListingLine(double x, double y, std::u16string_view text) {
  Out += AsciiToWide(FormatReal(2, x) + "," + FormatReal(2, y) + "," + Owner.FillColourText + "," +
                     FormatReal(2, FontSize) + ",\"" + BaseFontName + "\",\"");
  for (char16_t c : text) {
    if (c == u'"') Out += u'\\';
    Out += c;
  }
  Out += u"\"\r\n";
  CheckBound(Out);
}

const std::string& TPDFExtractor::BaseFont(TPDFDictionary* resources, const std::string& name) {
  auto key = std::make_pair(static_cast<const TPDFDictionary*>(resources), name);
  auto known = BaseFontCache.find(key);
  if (known != BaseFontCache.end()) return known->second;
  auto* fonts = resources ? As<TPDFDictionary>(resources->Get("Font")) : nullptr;
  auto* font = fonts ? As<TPDFDictionary>(fonts->Get(name)) : nullptr;
  auto* base = font ? As<TPDFName>(font->Get("BaseFont")) : nullptr;
  return BaseFontCache.emplace(key, base ? base->Value : std::string()).first->second;
}

void TPDFExtractor::ExtractText(std::string_view content, int mode, std::u16string& text, TPDFDictionary* page) {
  text.clear();
  FillColourText = "#000000";
  if (mode != PlainMode && mode != ListingMode) return;
  TRun run(*this, mode == ListingMode);
  try {
    run.Scan(content, Resources);
    if (page) run.ScanAnnotations(*page, NeedAppearances);
  } catch (const TTextFull&) {
    // The text gathered so far is the page's text.
  }
  text = std::move(run.Out);
  CleanExtractedText(text);
}
