#include "text/PellarAnnotations.h"

#include <algorithm>
#include <cmath>

#include "pdf/PellarConvert.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarParser.h"
#include "pdf/PellarStreamData.h"
#include "text/PellarContentNumber.h"
#include "text/PellarContentScanner.h"

namespace {

// Annotation flags that keep an appearance from being viewed: Hidden and NoView.
constexpr int32_t HiddenAnnotation = 2;
constexpr int32_t NoViewAnnotation = 32;
// Fields inherit through /Parent; a longer chain is a loop.
constexpr int MaxFieldDepth = 64;
// An appearance is looked into only this far for text: an empty one is a few bytes.
constexpr size_t MaxAppearanceProbe = size_t(1) << 20;

// The box's corners through the matrix, bounded again.
TPDFBox Transformed(const TPDFBox& box, const TPDFMatrix& m) {
  TPDFBox out{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (double x : {box.Left, box.Right})
    for (double y : {box.Bottom, box.Top}) {
      const double tx = m[0] * x + m[2] * y + m[4], ty = m[1] * x + m[3] * y + m[5];
      out = {std::min(out.Left, tx), std::min(out.Bottom, ty), std::max(out.Right, tx), std::max(out.Top, ty)};
    }
  return out;
}

// The matrix that maps an appearance onto its annotation's rectangle: the appearance's
// own matrix first, then its transformed bounding box scaled and moved onto the rectangle.
TPDFMatrix AppearanceMatrix(const TPDFBox& rect, const TPDFBox& bbox, const TPDFMatrix& matrix) {
  const TPDFBox drawn = Transformed(bbox, matrix);
  const double width = drawn.Right - drawn.Left, height = drawn.Top - drawn.Bottom;
  const double sx = width != 0 ? (rect.Right - rect.Left) / width : 1;
  const double sy = height != 0 ? (rect.Top - rect.Bottom) / height : 1;
  return Multiply(matrix, {sx, 0, 0, sy, rect.Left - drawn.Left * sx, rect.Bottom - drawn.Bottom * sy});
}

// The normal appearance, or the state /AS names among several; it must be a stream given by
// reference.
TPDFStream* NormalAppearance(TPDFDictionary& annotation) {
  const TPDFDictionary* appearances = As<TPDFDictionary>(annotation.Get("AP", true));
  TPDFObject* normal = appearances ? appearances->Get("N", false) : nullptr;
  if (const TPDFDictionary* states = As<TPDFDictionary>(Resolved(normal))) {
    const TPDFName* state = As<TPDFName>(annotation.Get("AS", true));
    normal = state ? states->Get(state->Value, false) : nullptr;
  }
  TPDFIndRef* ref = As<TPDFIndRef>(normal);
  return ref ? As<TPDFStream>(ref->Resolve()) : nullptr;
}

// A field's entry, from the widget or the fields above it.
TPDFObject* FieldEntry(TPDFDictionary& widget, const char* key) {
  TPDFDictionary* field = &widget;
  for (int depth = 0; field && depth < MaxFieldDepth; ++depth) {
    if (TPDFObject* value = field->Get(key, true)) return value;
    field = As<TPDFDictionary>(field->Get("Parent", true));
  }
  return nullptr;
}

std::string FieldName(TPDFDictionary& widget, const char* key) {
  const TPDFName* name = As<TPDFName>(FieldEntry(widget, key));
  return name ? name->Value : std::string();
}

// A choice's display text: the second element of the /Opt pair whose first is the value.
std::u16string ChoiceText(TPDFDictionary& widget, const std::string& value) {
  const TPDFArray* options = As<TPDFArray>(FieldEntry(widget, "Opt"));
  for (int i = 0; options && i < options->Count(); ++i) {
    const TPDFArray* pair = As<TPDFArray>(Resolved(options->Item(i)));
    const TPDFString* exported = pair && pair->Count() == 2 ? As<TPDFString>(Resolved(pair->Item(0))) : nullptr;
    const TPDFString* shown = pair && pair->Count() == 2 ? As<TPDFString>(Resolved(pair->Item(1))) : nullptr;
    if (exported && shown && exported->Value == value) return TextStringToWide(shown->Value);
  }
  return TextStringToWide(value);
}

// The value of a text or choice field as the viewer shows it, lines ended by LF; several
// chosen options one per line.
std::u16string FieldValue(TPDFDictionary& widget) {
  const std::string type = FieldName(widget, "FT");
  if (type != "Tx" && type != "Ch") return {};
  TPDFObject* value = FieldEntry(widget, "V");
  std::u16string joined;
  if (const TPDFString* text = As<TPDFString>(value))
    joined = type == "Ch" ? ChoiceText(widget, text->Value) : TextStringToWide(text->Value);
  const TPDFArray* chosen = type == "Ch" ? As<TPDFArray>(value) : nullptr;
  for (int i = 0; chosen && i < chosen->Count(); ++i)
    if (const TPDFString* text = As<TPDFString>(Resolved(chosen->Item(i))))
      joined += (joined.empty() ? u"" : u"\n") + ChoiceText(widget, text->Value);
  std::u16string lines;
  for (size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] == u'\r' && i + 1 < joined.size() && joined[i + 1] == u'\n') continue;
    lines += joined[i] == u'\r' ? u'\n' : joined[i];
  }
  return lines;
}

// The font name and size of the last "/Name size Tf" in a default appearance string.
void ReadDefaultAppearance(TPDFDictionary& widget, TAnnotationView& view) {
  const TPDFString* da = As<TPDFString>(FieldEntry(widget, "DA"));
  if (!da) return;
  TPDFContentScanner scanner(da->Value, InterpreterScanRules);
  std::string_view older, old;
  for (std::string_view token = scanner.Next(); !token.empty(); token = scanner.Next()) {
    if (token == "Tf" && older.size() > 1 && older.front() == '/') {
      view.FontName = DecodeName(older.substr(1));
      view.FontSize = ContentNumber(old).value_or(0);
    }
    older = old;
    old = token;
  }
}

// An appearance that shows no string: the viewer makes a new one from the value.
bool ShowsNoText(TPDFStream& appearance) {
  const std::string data = DecodedData(appearance, MaxAppearanceProbe);
  return data.find_first_of("(<") == std::string::npos;
}

std::optional<TAnnotationView> ViewOf(TPDFDictionary& annotation, bool needAppearances) {
  const TPDFNumeric* flags = As<TPDFNumeric>(annotation.Get("F", true));
  if (flags && (flags->AsInteger() & (HiddenAnnotation | NoViewAnnotation))) return std::nullopt;
  const std::optional<TPDFBox> rect = ReadBox(annotation.Get("Rect", true));
  if (!rect) return std::nullopt;
  TAnnotationView view;
  view.Rect = *rect;
  TPDFStream* appearance = NormalAppearance(annotation);
  const std::optional<TPDFBox> bbox = appearance ? ReadBox(appearance->Dictionary()->Get("BBox", true)) : std::nullopt;
  if (needAppearances && (!bbox || ShowsNoText(*appearance))) {
    view.Value = FieldValue(annotation);
    if (!view.Value.empty()) {
      ReadDefaultAppearance(annotation, view);
      return view;
    }
  }
  if (!bbox) return std::nullopt;
  TPDFMatrix matrix = IdentityMatrix;
  ReadNumbers(appearance->Dictionary()->Get("Matrix", true), matrix.data(), 6);
  view.Appearance = appearance;
  view.Matrix = AppearanceMatrix(*rect, *bbox, matrix);
  return view;
}

// PDFDocEncoding differs from Latin-1 at 0x80 to 0xA0.
constexpr char16_t DocEncodingHigh[] = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
    0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
    0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD, 0x20AC};

}  // namespace

bool ReadNumbers(TPDFObject* object, double* out, int n) {
  const TPDFArray* array = As<TPDFArray>(Resolved(object));
  if (!array || array->Count() != n) return false;
  for (int i = 0; i < n; ++i) {
    const TPDFNumeric* number = As<TPDFNumeric>(Resolved(array->Item(i)));
    if (!number) return false;
    out[i] = number->Value;
  }
  return true;
}

std::optional<TPDFBox> ReadBox(TPDFObject* object) {
  double v[4];
  if (!ReadNumbers(object, v, 4)) return std::nullopt;
  return TPDFBox{std::min(v[0], v[2]), std::min(v[1], v[3]), std::max(v[0], v[2]), std::max(v[1], v[3])};
}

std::vector<TAnnotationView> ViewedAnnotations(TPDFDictionary& page, bool needAppearances) {
  std::vector<TAnnotationView> views;
  const TPDFArray* annotations = As<TPDFArray>(page.Get("Annots", true));
  for (int i = 0; annotations && i < annotations->Count(); ++i) {
    TPDFIndRef* ref = As<TPDFIndRef>(annotations->Item(i));
    TPDFDictionary* annotation = ref ? As<TPDFDictionary>(ref->Resolve()) : nullptr;
    if (!annotation) continue;
    if (std::optional<TAnnotationView> view = ViewOf(*annotation, needAppearances)) views.push_back(std::move(*view));
  }
  return views;
}

std::u16string TextStringToWide(const std::string& bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]));
    return text;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return UTF8ToUTF16(bytes.substr(3));
  std::u16string text;
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    text += c >= 0x80 && c <= 0xA0 ? DocEncodingHigh[c - 0x80] : static_cast<char16_t>(c);
  }
  return text;
}
