#pragma once
// Font dictionaries in a loaded document, so that their references resolve as in a file.
#include <string>

#include "pdf/PellarDocument.h"
#include "tests/support/PdfWriter.h"

class TPDFIndRef;

class TFontTestDocument {
public:
  // The writer's objects behind a catalog with an empty page tree.
  explicit TFontTestDocument(TTestPdfWriter writer);
  // A reference to object n in the document's pool.
  TPDFIndRef* Ref(int number);

  TPDFDocument Document;
  bool Loaded = false;
};
