#pragma once
// What a page's annotations show, chosen once for both readers of page text: the normal
// appearance of each viewed annotation, in /Annots order, with the matrix that maps it onto
// the annotation's rectangle; or, for a text or choice field whose appearance the viewer is
// asked to make (/NeedAppearances) and that has none that shows text, the field's value.
#include <optional>
#include <string>
#include <vector>

#include "text/PellarMatrix.h"

class TPDFDictionary;
class TPDFObject;
class TPDFStream;

struct TPDFBox {
  double Left = 0, Bottom = 0, Right = 0, Top = 0;
};

struct TAnnotationView {
  TPDFStream* Appearance = nullptr;  // the form to draw; none for a field value
  TPDFMatrix Matrix = IdentityMatrix;  // appearance space to page space
  TPDFBox Rect;                        // normalised
  std::u16string Value;                // a field's value, shown in place of an appearance
  std::string FontName;                // the value's font resource name (/DA), without slash
  double FontSize = 0;                 // the value's font size (/DA); 0 when it sizes itself
};

// The annotations of the page that a viewer shows; hidden and no-view ones are passed over.
// `needAppearances` is the document's /AcroForm /NeedAppearances.
std::vector<TAnnotationView> ViewedAnnotations(TPDFDictionary& page, bool needAppearances);

// An array of exactly n numbers (references followed).
bool ReadNumbers(TPDFObject* object, double* out, int n);
// A rectangle array, normalised so that its first corner is the lower left.
std::optional<TPDFBox> ReadBox(TPDFObject* object);

// A PDF text string: UTF-16BE or UTF-8 after their byte-order marks, else PDFDocEncoding.
std::u16string TextStringToWide(const std::string& bytes);
