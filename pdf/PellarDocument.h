#pragma once
// One loaded PDF document: its bytes, objects and page tree.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PellarPageTree.h"

class TPellarWideFileStream;

class TPDFDocument {
public:
  // Load answers.
  enum : int { LoadOk = 0, LoadPasswordRejected = 1, LoadFailed = 2 };

  TPDFDocument();
  ~TPDFDocument();

  // Reads the whole stream and loads the document with the password.
  int LoadFromStream(TPellarWideFileStream& stream, const std::u16string& password);
  // A new one-page document of 612 by 792 points.
  void NewBlankDocument();
  void ResetDocument();

  TPDFPageTree& PageTree() { return *Tree; }

  int32_t Origin = 0;      // corner of the coordinate origin for positioned text
  double UnitScale = 1.0;  // factor from points to output units
  std::u16string FileName;

private:
  std::unique_ptr<TPDFPageTree> Tree;
};
