#include "engine/Pellar.h"

#include "engine/PellarPageTree.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarError.h"
#include "pdf/PellarFileStream.h"
#include "platform/Platform.h"
#include "text/PellarTextFunnel.h"

namespace {
const std::u16string ProductText = u"Vorbix 1.4.1";
}  // namespace

TPellar::TPellar() {
  if (!AddBlankDocument()) throw EPellarError("Cannot create the blank document");
}

TPellar::~TPellar() = default;

TPellar::DocumentHandle TPellar::AddBlankDocument() {
  try {
    auto document = std::make_unique<TPDFDocument>();
    document->NewBlankDocument();
    document->SetInfoEntry("Producer", ProductText);
    document->SetInfoEntry("Creator", ProductText);
    const std::u16string now = AsciiToWide(PdfDateNow());
    document->SetInfoEntry("CreationDate", now);
    document->SetInfoEntry("ModDate", now);
    DocumentHandle handle = document.get();
    Documents.push_back(std::move(document));
    UseDocument(handle);
    SelectPage(1);
    return handle;
  } catch (const std::exception&) {
    return nullptr;
  }
}

int32_t TPellar::LoadFile(const std::u16string& fileName, const std::u16string& password) {
  if (!Platform::FileExists(fileName)) return 0;
  try {
    TPellarWideFileStream stream(fileName, TPellarWideFileStream::ModeRead);
    int32_t result = LoadStream(stream, password);
    if (result == 1) Selected->FileName = fileName;
    return result;
  } catch (...) {
    return 0;
  }
}

int32_t TPellar::LoadStream(TPellarWideFileStream& stream, const std::u16string& password) {
  LastErrorCode = ErrorNone;
  auto document = std::make_unique<TPDFDocument>();
  const TPDFLoadResult answer = document->LoadFromStream(stream, password);
  if (answer == TPDFDocument::LoadOk) {
    DocumentHandle handle = document.get();
    Documents.push_back(std::move(document));
    UseDocument(handle);
    return 1;
  }
  LastErrorCode = answer == TPDFDocument::LoadPasswordRejected ? ErrorPassword : ErrorNotPdf;
  return 0;
}

int32_t TPellar::PageCount() { return Selected->PageTree().PageCount(); }

double TPellar::PageWidth() { return Selected->PageTree().PageWidth() * Selected->UnitScale; }

double TPellar::PageHeight() { return Selected->PageTree().PageHeight() * Selected->UnitScale; }

int32_t TPellar::SelectPage(int32_t n) {
  TPDFPageTree& tree = Selected->PageTree();
  tree.SelectPage(n);
  return tree.CurrentPage() == n ? 1 : 0;
}

void TPellar::PageText(int32_t textOption, std::u16string& text) {
  text.clear();
  LastErrorCode = ErrorNone;
  if (textOption < 0 || textOption > 7) return;
  std::unique_ptr<TPDFTextFunnel> funnel;
  if (textOption >= 3) {
    funnel = std::make_unique<TPDFTextFunnel>();
    funnel->Origin = Selected->Origin;
    funnel->UnitScale = Selected->UnitScale;
    funnel->PageWidth = PageWidth();
    funnel->PageHeight = PageHeight();
    funnel->GapFactor = GapFactor;
    funnel->IgnoreFont = IgnoreFont;
    funnel->IgnoreColour = IgnoreColour;
    funnel->IgnoreMatrix = IgnoreMatrix;
    funnel->NoGapJoin = textOption == 4 || textOption == 6;
    funnel->WriteWidths = textOption == 5 || textOption == 6;
  }
  Selected->PageTree().PageText(textOption, funnel.get(), text);
}

int TPellar::IndexOf(DocumentHandle document) const {
  for (size_t i = 0; i < Documents.size(); ++i)
    if (Documents[i].get() == document) return static_cast<int>(i);
  return -1;
}

int32_t TPellar::UseDocument(DocumentHandle document) {
  if (IndexOf(document) < 0) return 0;
  Selected = document;
  return 1;
}

int32_t TPellar::DropDocument(DocumentHandle document) {
  if (IndexOf(document) < 0) return 0;
  if (Documents.size() == 1 && !AddBlankDocument()) return 0;
  int index = IndexOf(document);
  if (Selected == document) Selected = Documents[index > 0 ? index - 1 : 1].get();
  Documents.erase(Documents.begin() + index);
  return 1;
}
