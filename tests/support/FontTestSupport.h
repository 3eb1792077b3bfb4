#pragma once
// Font dictionaries in a loaded document, so that their references resolve as in a file.
#include <string>
#include <vector>

#include "pdf/PellarDocument.h"
#include "platform/FontCatalogue.h"
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

// The installed fonts while it lives: none, or one face that serves every family and style,
// so that no result depends on the fonts of the machine.
class TTestFonts : public Platform::TFontCatalogue {
public:
  explicit TTestFonts(std::string face = "");
  ~TTestFonts() override;
  std::vector<std::string> Families() override;
  std::string FontData(const std::string&, bool, bool) override { return Face; }

private:
  std::string Face;
  Platform::TFontCatalogue* Previous;
};
