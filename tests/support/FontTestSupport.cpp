#include "tests/support/FontTestSupport.h"

#include "pdf/PellarStructure.h"

TFontTestDocument::TFontTestDocument(TTestPdfWriter writer) {
  const int pages = writer.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  const int catalog = writer.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  Loaded = Document.LoadFromBytes(writer.Build(catalog), u"") == TPDFDocument::LoadOk;
}

TPDFIndRef* TFontTestDocument::Ref(int number) { return Document.Pool().NewIndRef(number, 0); }

TTestFonts::TTestFonts(std::string face) : Face(std::move(face)) { Previous = Platform::SetFontCatalogue(this); }

TTestFonts::~TTestFonts() { Platform::SetFontCatalogue(Previous); }

std::vector<std::string> TTestFonts::Families() {
  return Face.empty() ? std::vector<std::string>{} : std::vector<std::string>{"Arial"};
}
