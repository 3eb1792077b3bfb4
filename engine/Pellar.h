#pragma once
// The engine facade: the one object through which the front end uses the PDF engine.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPDFDocument;
class TPellarWideFileStream;

class TPellar {
public:
  using DocumentHandle = TPDFDocument*;

  enum : int32_t { ErrorNone = 0, ErrorNotPdf = 401, ErrorPassword = 404 };

  // Starts with a blank one-page document selected.
  TPellar();
  ~TPellar();
  TPellar(const TPellar&) = delete;
  TPellar& operator=(const TPellar&) = delete;

  // 1 loaded, 0 not loaded. Never raises.
  int32_t LoadFile(const std::u16string& fileName, const std::u16string& password);
  int32_t LoadStream(TPellarWideFileStream& stream, const std::u16string& password);
  int32_t LastError() const { return LastErrorCode; }

  int32_t PageCount();
  double PageWidth();
  double PageHeight();
  // 1 when page n is now the current page, else 0.
  int32_t SelectPage(int32_t n);
  // TextOption 0 to 7; any other gives an empty text.
  void PageText(int32_t textOption, std::u16string& text);

  DocumentHandle CurrentDocument() const { return Selected; }
  int32_t UseDocument(DocumentHandle document);
  int32_t DropDocument(DocumentHandle document);
  DocumentHandle AddBlankDocument();
  int32_t DocumentCount() const { return static_cast<int32_t>(Documents.size()); }

  // Text-extraction settings handed to the funnel.
  double GapFactor = 0.7;
  bool IgnoreFont = false;
  bool IgnoreColour = false;
  bool IgnoreMatrix = false;

private:
  int IndexOf(DocumentHandle document) const;

  std::vector<std::unique_ptr<TPDFDocument>> Documents;
  DocumentHandle Selected = nullptr;
  int32_t LastErrorCode = ErrorNone;
};
