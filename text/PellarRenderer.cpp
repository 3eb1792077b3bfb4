#include "text/PellarRenderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "fonts/PellarFontCollection.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarParser.h"
#include "pdf/PellarStreamData.h"
#include "text/PellarAnnotations.h"
#include "text/PellarColourText.h"
#include "text/PellarContentScanner.h"
#include "text/PellarInlineImage.h"
#include "text/PellarOperandStack.h"
#include "text/PellarShowText.h"
#include "text/PellarTextFunnel.h"
#include "text/PellarTextLimits.h"

namespace {

// What stops a content run; caught where the run starts.
struct TContentFailure {
  std::string Message;
};

// Resources are inherited through /Parent; a longer chain is a loop.
constexpr int MaxParentDepth = 64;
// A field value is laid out as a viewer would: this far from the rectangle's left edge, at
// this size when its font sizes itself, each character half an em wide and reaching from a
// fifth of an em below the baseline to four fifths above (glyph units).
constexpr double FieldMargin = 2;
constexpr double AutoFieldFontSize = 12;
constexpr double FieldGlyphWidth = 500, FieldDescent = -200, FieldAscent = 800;
// Positions of the device spaces in the renderer's table.
constexpr int32_t GraySpace = 0, RGBSpace = 1, CMYKSpace = 2, PatternSpace = 3;

// A name operand's text without its slash, escapes decoded; nothing for other tokens.
std::optional<std::string> NameOperand(std::string_view token) {
  if (token.empty() || token.front() != '/') return std::nullopt;
  return DecodeName(token.substr(1));
}

TPDFObject* ResourceEntry(TPDFDictionary* resources, const char* category, std::string_view token, bool resolve) {
  const std::optional<std::string> name = NameOperand(token);
  TPDFDictionary* entries = resources && name ? As<TPDFDictionary>(resources->Get(category, true)) : nullptr;
  return entries ? entries->Get(*name, resolve) : nullptr;
}

TPDFDictionary* InheritedResources(TPDFDictionary* page) {
  for (int depth = 0; page && depth < MaxParentDepth; ++depth) {
    if (TPDFDictionary* resources = As<TPDFDictionary>(page->Get("Resources", true))) return resources;
    page = As<TPDFDictionary>(page->Get("Parent", true));
  }
  return nullptr;
}

std::string PageContentData(TPDFDictionary& page) {
  TPDFObject* contents = page.Get("Contents", true);
  std::vector<TPDFStream*> streams;
  if (TPDFStream* stream = As<TPDFStream>(contents)) streams.push_back(stream);
  if (const TPDFArray* array = As<TPDFArray>(contents))
    for (int i = 0; i < array->Count(); ++i)
      if (TPDFStream* stream = As<TPDFStream>(Resolved(array->Item(i)))) streams.push_back(stream);
  return JoinedStreamData(streams, "");
}

}  // namespace

// One content run: its tokens, its operands, its resources and the state it started with.
struct TPDFRenderer::TRun {
  TRun(std::string_view content, TPDFDictionary* resources, size_t stateBase, size_t markBase)
      : Scanner(content, InterpreterScanRules), Resources(resources), StateBase(stateBase), MarkBase(markBase) {}

  double Number() { return TextToReal(Operands.Pop()); }

  TPDFContentScanner Scanner;
  TPDFOperandStack Operands;
  TPDFDictionary* Resources;
  size_t StateBase;      // states saved before the run are not the run's to restore
  size_t MarkBase;       // likewise for marked-content sequences
  size_t Unsaved = 0;    // saves beyond MaxSavedStates, counted for their Q
  size_t StringCount = 0;  // operands of the next show, or of the dash array
  bool ColoursLocked = false;  // after d1
};

TPDFRenderer::TPDFRenderer(TPDFFontCollection& fonts)
    : Fonts(fonts), OwnFunnel(std::make_unique<TPDFTextFunnel>()), Output(OwnFunnel.get()) {
  for (const char* name : {"DeviceGray", "DeviceRGB", "DeviceCMYK", "Pattern"})
    DeviceColourSpace(name, Spaces.emplace_back());
}

TPDFRenderer::~TPDFRenderer() = default;

void TPDFRenderer::AttachFunnel(TPDFTextFunnel* funnel) {
  if (!funnel) return;
  OwnFunnel.reset();
  Output = funnel;
}

void TPDFRenderer::RenderPage(TPDFDictionary* page, const TPDFMatrix& start) {
  Output->Clear();
  Error.clear();
  State = TPDFGraphicsState();
  State.CTM = StartMatrix = start;
  Saved.clear();
  Visible = true;
  VisibilityStack.clear();
  Fallback = nullptr;
  ActiveStreams.clear();
  FormWorkLeft = MaxFormWork;
  FormCache.clear();
  CachedBytes = 0;
  if (!page) return;
  const std::string content = PageContentData(*page);
  TPDFDictionary* resources = InheritedResources(page);
  if (RunContent(content, resources)) DrawAnnotations(*page, resources);
}

bool TPDFRenderer::RunContent(std::string_view content, TPDFDictionary* resources) {
  Error.clear();
  TRun run(content, resources, Saved.size(), VisibilityStack.size());
  const bool visible = Visible;
  bool failed = false;
  try {
    for (std::string_view token = run.Scanner.Next(); !token.empty(); token = run.Scanner.Next()) {
      if (const THandler handler = FindOperator(token)) {
        (this->*handler)(run);
      } else {
        run.Operands.Push(token);
      }
    }
  } catch (const TContentFailure& failure) {
    Error = "Rendering exception: " + failure.Message + "\r\nToken position " + std::to_string(run.Scanner.Position());
    failed = true;
  }
  // What the run left open is closed with it: the content that drew it goes on with
  // its own states and marks.
  Saved.resize(run.StateBase);
  VisibilityStack.resize(run.MarkBase);
  Visible = visible;
  return !failed;
}

std::string_view TPDFRenderer::StreamContent(TPDFStream& stream, std::string& scratch) {
  auto cached = FormCache.find(&stream);
  if (cached != FormCache.end()) return std::string_view(cached->second).substr(0, FormWorkLeft);
  scratch = DecodedData(stream, std::min(FormWorkLeft, MaxDecodedStreamSize));
  if (CachedBytes + scratch.size() > MaxCachedFormBytes) return scratch;
  CachedBytes += scratch.size();
  return FormCache.emplace(&stream, std::move(scratch)).first->second;
}

void TPDFRenderer::DrawStream(TPDFStream& stream) {
  if (ActiveStreams.size() >= static_cast<size_t>(MaxFormNesting) || FormWorkLeft < FormRunCost ||
      std::find(ActiveStreams.begin(), ActiveStreams.end(), &stream) != ActiveStreams.end())
    return;
  FormWorkLeft -= FormRunCost;
  std::string scratch;
  const std::string_view content = StreamContent(stream, scratch);
  FormWorkLeft -= content.size();
  TPDFDictionary& dictionary = *stream.Dictionary();
  TPDFDictionary* resources = As<TPDFDictionary>(dictionary.Get("Resources", true));
  const std::string type = dictionary.TypeName();
  if (!resources && (type.empty() || type == "XObject")) resources = Fallback;
  ActiveStreams.push_back(&stream);
  RunContent(content, resources);
  ActiveStreams.pop_back();
}

void TPDFRenderer::DrawAnnotations(TPDFDictionary& page, TPDFDictionary* resources) {
  for (const TAnnotationView& view : ViewedAnnotations(page, NeedAppearances)) {
    if (view.Appearance)
      DrawAnnotation(view, resources);
    else
      ShowFieldValue(view);
  }
}

void TPDFRenderer::DrawAnnotation(const TAnnotationView& view, TPDFDictionary* resources) {
  const TPDFGraphicsState saved = State;
  State.CTM = Multiply(view.Matrix, StartMatrix);
  Fallback = resources;
  DrawStream(*view.Appearance);
  State = saved;
  SelectFont(resources);
}

// One piece per line of the value, the first line centred in the rectangle when all fit.
void TPDFRenderer::ShowFieldValue(const TAnnotationView& view) {
  const double size = view.FontSize > 0 ? view.FontSize : AutoFieldFontSize;
  std::vector<std::u16string> lines{{}};
  for (char16_t c : view.Value) {
    if (c == u'\n' || c == u'\r')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  const double height = view.Rect.Top - view.Rect.Bottom;
  const double above = std::max(FieldMargin, (height - static_cast<double>(lines.size()) * size) / 2);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const double baseline = view.Rect.Top - above - static_cast<double>(i + 1) * size - FieldDescent / 1000 * size;
    const std::vector<double> widths(lines[i].size(), FieldGlyphWidth);
    const TPDFMatrix m = Multiply({size / 1000, 0, 0, size / 1000, view.Rect.Left + FieldMargin, baseline}, StartMatrix);
    Output->SetMergeAllowed(true);
    Output->AddPiece(m, lines[i], "#000000", view.FontName, size, 0, FieldDescent,
                     FieldGlyphWidth * static_cast<double>(lines[i].size()), FieldAscent - FieldDescent, widths);
  }
}

void TPDFRenderer::Save(TRun& run) {
  if (Saved.size() < MaxSavedStates) {
    Saved.push_back(State);
  } else {
    ++run.Unsaved;
  }
}

void TPDFRenderer::Restore(TRun& run) {
  if (run.Unsaved > 0) {
    // The state at the bound stands in for the saves beyond it.
    --run.Unsaved;
    State = Saved.back();
  } else if (Saved.size() > run.StateBase) {
    State = Saved.back();
    Saved.pop_back();
  }
  SelectFont(run.Resources);
}

void TPDFRenderer::SelectFont(TPDFDictionary* resources) {
  if (State.FontRef) {
    Fonts.SelectFont(State.FontRef);
    return;
  }
  TPDFDictionary* fonts = State.FontName && resources ? As<TPDFDictionary>(resources->Get("Font", true)) : nullptr;
  if (!fonts) return;
  TPDFObject* font = fonts->Get(*State.FontName, false);
  if (TPDFIndRef* ref = As<TPDFIndRef>(font)) {
    Fonts.SelectFont(ref);
  } else if (TPDFDictionary* direct = As<TPDFDictionary>(font)) {
    Fonts.LoadDirectFont(direct);
  }
}

void TPDFRenderer::Show(TRun& run) {
  const size_t count = std::min(run.StringCount, run.Operands.Size());
  run.StringCount = 0;
  const TPDFFontCollectionData* font = Fonts.Current();
  if (!font || State.FontSize == 0) return;
  ShowOperands.clear();
  for (size_t i = 0; i < count; ++i) ShowOperands.push_back(run.Operands.FromTop(count, i));
  const TShowState state{State.TextMatrix,  State.CTM,         State.FontSize,     State.HorizontalScaling,
                         State.CharSpacing, State.WordSpacing, State.Rise,         Output->NoGapJoin,
                         Output->IsMergeAllowed()};
  const TShowResult shown = ShowText(state, Fonts, ShowOperands);
  if (!shown.Pieces.empty()) {
    const std::string colour = ColourText(State.Fill[0], State.Fill[1], State.Fill[2]);
    for (const TTextPiece& p : shown.Pieces) {
      Output->SetMergeAllowed(p.MergeAllowed);
      Output->AddPiece(p.Matrix, p.Text, colour, font->FontName, p.Size, p.X, p.Y, p.W, p.H, p.Widths,
                        p.SpaceWidth);
    }
  }
  Output->SetMergeAllowed(shown.MergeAllowed);
  State.TextMatrix = Multiply(Translation(shown.Advance, shown.AdvanceY), State.TextMatrix);
}

int32_t TPDFRenderer::ColourSpaceIndex(TRun& run, std::string_view token) {
  const std::optional<std::string> name = NameOperand(token);
  TPDFColourSpace device;
  if (name && DeviceColourSpace(*name, device)) {
    switch (device.Family) {
      case TColourFamily::RGB: return RGBSpace;
      case TColourFamily::CMYK: return CMYKSpace;
      case TColourFamily::Pattern: return PatternSpace;
      default: return GraySpace;
    }
  }
  TPDFObject* space = Resolved(ResourceEntry(run.Resources, "ColorSpace", token, true));
  if (!space) return GraySpace;
  auto known = SpaceIndex.find(space);
  if (known != SpaceIndex.end()) return known->second;
  Spaces.push_back(ReadColourSpace(space));
  const int32_t index = static_cast<int32_t>(Spaces.size() - 1);
  SpaceIndex.emplace(space, index);
  return index;
}

void TPDFRenderer::SetColour(TRun& run, int32_t space, bool fill) {
  const TPDFColourSpace& colourSpace = Spaces[static_cast<size_t>(space)];
  // A pattern is named after the components of its base space.
  if (colourSpace.Family == TColourFamily::Pattern && run.Operands.Size() > 0 &&
      run.Operands.FromTop(1, 0).front() == '/')
    run.Operands.Pop();
  double components[32] = {};
  const int count = std::clamp(colourSpace.Components, 0, 32);
  for (int i = count - 1; i >= 0; --i) components[i] = run.Number();
  if (run.ColoursLocked) return;
  if (fill) {
    State.FillSpace = space;
    const TPDFColourBytes rgb = ColourOf(colourSpace, components, static_cast<size_t>(count));
    std::copy(rgb.begin(), rgb.end(), State.Fill);
  } else {
    State.StrokeSpace = space;
  }
}

void TPDFRenderer::BeginMarked(TRun& run, std::string_view tag, std::string_view properties) {
  VisibilityStack.push_back(Visible);
  if (tag != "/OC") return;
  const TPDFDictionary* group = As<TPDFDictionary>(ResourceEntry(run.Resources, "Properties", properties, true));
  const TPDFDictionary* usage = group ? As<TPDFDictionary>(group->Get("Usage", true)) : nullptr;
  const TPDFDictionary* view = usage ? As<TPDFDictionary>(usage->Get("View", true)) : nullptr;
  const TPDFName* state = view ? As<TPDFName>(view->Get("ViewState", true)) : nullptr;
  if (state) Visible = state->Value != "OFF";
}

// Operators.

void TPDFRenderer::BeginText(TRun&) { State.TextMatrix = State.LineMatrix = IdentityMatrix; }

void TPDFRenderer::SetFont(TRun& run) {
  State.FontSize = run.Number();
  const std::optional<std::string> name = NameOperand(run.Operands.Pop());
  State.FontName = name ? &*FontNames.insert(*name).first : nullptr;
  State.FontRef = nullptr;
  SelectFont(run.Resources);
}

void TPDFRenderer::SetCharSpacing(TRun& run) { State.CharSpacing = run.Number(); }
void TPDFRenderer::SetWordSpacing(TRun& run) { State.WordSpacing = run.Number(); }
void TPDFRenderer::SetLeading(TRun& run) { State.Leading = run.Number(); }
void TPDFRenderer::SetRise(TRun& run) { State.Rise = run.Number(); }
void TPDFRenderer::SetScaling(TRun& run) { State.HorizontalScaling = run.Number(); }

void TPDFRenderer::SetRenderMode(TRun& run) {
  const double mode = std::nearbyint(run.Number());
  State.RenderMode = std::fabs(mode) < 1e9 ? static_cast<int32_t>(mode) : 0;
}

void TPDFRenderer::SetTextMatrix(TRun& run) {
  TPDFMatrix m;
  for (int i = 5; i >= 0; --i) m[static_cast<size_t>(i)] = run.Number();
  State.TextMatrix = State.LineMatrix = m;
}

void TPDFRenderer::MoveText(TRun& run) {
  const double ty = run.Number(), tx = run.Number();
  State.TextMatrix = State.LineMatrix = Multiply(Translation(tx, ty), State.LineMatrix);
}

void TPDFRenderer::MoveTextSetLeading(TRun& run) {
  const double ty = run.Number(), tx = run.Number();
  State.Leading = -ty;
  State.TextMatrix = State.LineMatrix = Multiply(Translation(tx, ty), State.LineMatrix);
}

void TPDFRenderer::NextLine(TRun&) {
  State.TextMatrix = State.LineMatrix = Multiply(Translation(0, -State.Leading), State.LineMatrix);
}

void TPDFRenderer::ShowString(TRun& run) {
  run.StringCount = 1;
  Show(run);
}

void TPDFRenderer::ShowArray(TRun& run) {
  if (run.StringCount > 0) Show(run);
}

void TPDFRenderer::NextLineShow(TRun& run) {
  NextLine(run);
  ShowString(run);
}

void TPDFRenderer::NextLineSpacedShow(TRun& run) {
  NextLine(run);
  const std::string_view text = run.Operands.Pop();
  State.CharSpacing = run.Number();
  State.WordSpacing = run.Number();
  run.Operands.Push(text);
  ShowString(run);
}

void TPDFRenderer::OpenArray(TRun& run) {
  run.StringCount = 0;
  for (std::string_view token = run.Scanner.Next(); !token.empty() && token != "]"; token = run.Scanner.Next()) {
    run.Operands.Push(token);
    ++run.StringCount;
  }
}

void TPDFRenderer::SaveState(TRun& run) { Save(run); }
void TPDFRenderer::RestoreState(TRun& run) { Restore(run); }

void TPDFRenderer::Concat(TRun& run) {
  TPDFMatrix m;
  for (int i = 5; i >= 0; --i) m[static_cast<size_t>(i)] = run.Number();
  State.CTM = Multiply(m, State.CTM);
}

void TPDFRenderer::SetExtGState(TRun& run) {
  const TPDFDictionary* parameters = As<TPDFDictionary>(ResourceEntry(run.Resources, "ExtGState", run.Operands.Pop(), true));
  if (!parameters) return;
  const std::string type = parameters->TypeName();
  if (!type.empty() && type != "ExtGState") return;
  const TPDFArray* font = As<TPDFArray>(parameters->Get("Font", true));
  TPDFIndRef* ref = font && font->Count() == 2 ? As<TPDFIndRef>(font->Item(0)) : nullptr;
  const TPDFNumeric* size = font && font->Count() == 2 ? As<TPDFNumeric>(font->Item(1)) : nullptr;
  if (!ref || !size) return;
  State.FontRef = ref;
  State.FontName = nullptr;
  State.FontSize = size->Value;
  // The font applies at once, as Tf would.
  SelectFont(run.Resources);
}

void TPDFRenderer::FillGray(TRun& run) { SetColour(run, GraySpace, true); }
void TPDFRenderer::FillRGB(TRun& run) { SetColour(run, RGBSpace, true); }
void TPDFRenderer::FillCMYK(TRun& run) { SetColour(run, CMYKSpace, true); }
void TPDFRenderer::StrokeGray(TRun& run) { SetColour(run, GraySpace, false); }
void TPDFRenderer::StrokeRGB(TRun& run) { SetColour(run, RGBSpace, false); }
void TPDFRenderer::StrokeCMYK(TRun& run) { SetColour(run, CMYKSpace, false); }
void TPDFRenderer::FillColour(TRun& run) { SetColour(run, State.FillSpace, true); }
void TPDFRenderer::StrokeColour(TRun& run) { SetColour(run, State.StrokeSpace, false); }

void TPDFRenderer::FillSpace(TRun& run) {
  const int32_t space = ColourSpaceIndex(run, run.Operands.Pop());
  if (!run.ColoursLocked) State.FillSpace = space;
}

void TPDFRenderer::StrokeSpace(TRun& run) {
  const int32_t space = ColourSpaceIndex(run, run.Operands.Pop());
  if (!run.ColoursLocked) State.StrokeSpace = space;
}

void TPDFRenderer::SetDash(TRun& run) {
  run.Operands.Pop();  // the phase
  for (size_t i = std::min(run.StringCount, run.Operands.Size()); i > 0; --i) run.Operands.Pop();
  run.StringCount = 0;
}

void TPDFRenderer::GlyphBox(TRun& run) {
  Paint<6>(run);
  run.ColoursLocked = true;
}

void TPDFRenderer::InlineImage(TRun& run) {
  if (!SkipInlineImage(run.Scanner)) throw TContentFailure{"inline image without end"};
}

void TPDFRenderer::BeginMarkedContent(TRun& run) { BeginMarked(run, run.Operands.Pop(), {}); }

void TPDFRenderer::BeginMarkedProperties(TRun& run) {
  const std::string_view properties = run.Operands.Pop();
  BeginMarked(run, run.Operands.Pop(), properties);
}

void TPDFRenderer::EndMarked(TRun& run) {
  if (VisibilityStack.size() <= run.MarkBase) {
    Visible = true;
    return;
  }
  Visible = VisibilityStack.back();
  VisibilityStack.pop_back();
}

void TPDFRenderer::DrawObject(TRun& run) {
  const std::string_view name = run.Operands.Pop();
  if (!Visible) return;
  TPDFIndRef* ref = As<TPDFIndRef>(ResourceEntry(run.Resources, "XObject", name, false));
  TPDFStream* form = ref ? As<TPDFStream>(ref->Resolve()) : nullptr;
  const TPDFName* subtype = form ? As<TPDFName>(form->Dictionary()->Get("Subtype", true)) : nullptr;
  // Images are passed over: nothing of them is text.
  if (!subtype || subtype->Value != "Form") return;
  TPDFMatrix matrix;
  const bool hasMatrix = ReadNumbers(form->Dictionary()->Get("Matrix", true), matrix.data(), 6);
  Save(run);
  if (hasMatrix) State.CTM = Multiply(matrix, State.CTM);
  Fallback = run.Resources;
  DrawStream(*form);
  Restore(run);
}

template <int Operands>
void TPDFRenderer::Paint(TRun& run) {
  for (int i = 0; i < Operands; ++i) run.Operands.Pop();
}

TPDFRenderer::THandler TPDFRenderer::FindOperator(std::string_view token) {
  // Operators have one to three bytes; packed into a number they sort, so finding one is
  // a binary search without hashing the token.
  struct TEntry {
    uint32_t Key;
    THandler Handler;
  };
  static constexpr auto key = [](std::string_view name) {
    uint32_t k = 0;
    for (char c : name) k = k << 8 | static_cast<unsigned char>(c);
    return k;
  };
  static const std::vector<TEntry> operators = [] {
    const std::pair<std::string_view, THandler> named[] = {
        {"BT", &TPDFRenderer::BeginText},
        {"Tf", &TPDFRenderer::SetFont},
        {"Tc", &TPDFRenderer::SetCharSpacing},
        {"Tw", &TPDFRenderer::SetWordSpacing},
        {"TL", &TPDFRenderer::SetLeading},
        {"Ts", &TPDFRenderer::SetRise},
        {"Tz", &TPDFRenderer::SetScaling},
        {"Tr", &TPDFRenderer::SetRenderMode},
        {"Tm", &TPDFRenderer::SetTextMatrix},
        {"Td", &TPDFRenderer::MoveText},
        {"TD", &TPDFRenderer::MoveTextSetLeading},
        {"T*", &TPDFRenderer::NextLine},
        {"Tj", &TPDFRenderer::ShowString},
        {"TJ", &TPDFRenderer::ShowArray},
        {"'", &TPDFRenderer::NextLineShow},
        {"\"", &TPDFRenderer::NextLineSpacedShow},
        {"[", &TPDFRenderer::OpenArray},
        {"q", &TPDFRenderer::SaveState},
        {"Q", &TPDFRenderer::RestoreState},
        {"cm", &TPDFRenderer::Concat},
        {"gs", &TPDFRenderer::SetExtGState},
        {"g", &TPDFRenderer::FillGray},
        {"rg", &TPDFRenderer::FillRGB},
        {"k", &TPDFRenderer::FillCMYK},
        {"G", &TPDFRenderer::StrokeGray},
        {"RG", &TPDFRenderer::StrokeRGB},
        {"K", &TPDFRenderer::StrokeCMYK},
        {"sc", &TPDFRenderer::FillColour},
        {"scn", &TPDFRenderer::FillColour},
        {"SC", &TPDFRenderer::StrokeColour},
        {"SCN", &TPDFRenderer::StrokeColour},
        {"cs", &TPDFRenderer::FillSpace},
        {"CS", &TPDFRenderer::StrokeSpace},
        {"d", &TPDFRenderer::SetDash},
        {"d1", &TPDFRenderer::GlyphBox},
        {"BI", &TPDFRenderer::InlineImage},
        {"BMC", &TPDFRenderer::BeginMarkedContent},
        {"BDC", &TPDFRenderer::BeginMarkedProperties},
        {"EMC", &TPDFRenderer::EndMarked},
        {"Do", &TPDFRenderer::DrawObject},
        {"w", &TPDFRenderer::Paint<1>},
        {"J", &TPDFRenderer::Paint<1>},
        {"j", &TPDFRenderer::Paint<1>},
        {"M", &TPDFRenderer::Paint<1>},
        {"sh", &TPDFRenderer::Paint<1>},
        {"m", &TPDFRenderer::Paint<2>},
        {"l", &TPDFRenderer::Paint<2>},
        {"v", &TPDFRenderer::Paint<4>},
        {"y", &TPDFRenderer::Paint<4>},
        {"re", &TPDFRenderer::Paint<4>},
        {"c", &TPDFRenderer::Paint<6>},
        {"h", &TPDFRenderer::Paint<0>},
        {"S", &TPDFRenderer::Paint<0>},
        {"s", &TPDFRenderer::Paint<0>},
        {"f", &TPDFRenderer::Paint<0>},
        {"F", &TPDFRenderer::Paint<0>},
        {"f*", &TPDFRenderer::Paint<0>},
        {"B", &TPDFRenderer::Paint<0>},
        {"B*", &TPDFRenderer::Paint<0>},
        {"b", &TPDFRenderer::Paint<0>},
        {"b*", &TPDFRenderer::Paint<0>},
        {"n", &TPDFRenderer::Paint<0>},
        {"W", &TPDFRenderer::Paint<0>},
        {"W*", &TPDFRenderer::Paint<0>},
    };
    std::vector<TEntry> table;
    for (const auto& [name, handler] : named) table.push_back({key(name), handler});
    std::sort(table.begin(), table.end(), [](const TEntry& a, const TEntry& b) { return a.Key < b.Key; });
    return table;
  }();
  // Operands (numbers, names, strings) and long tokens are never operators.
  if (token.size() > 3) return nullptr;
  const unsigned char first = static_cast<unsigned char>(token.front());
  if ((first < 'A' && first != '\'' && first != '"') || first > 'z') return nullptr;
  const uint32_t wanted = key(token);
  auto found = std::lower_bound(operators.begin(), operators.end(), wanted,
                                [](const TEntry& e, uint32_t k) { return e.Key < k; });
  return found != operators.end() && found->Key == wanted ? found->Handler : nullptr;
}
