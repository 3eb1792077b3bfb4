#include "tests/support/EncryptedPdf.h"

#include "tests/support/PdfWriter.h"

const std::string SampleSecretText = "Hello encrypted world: a string longer than one AES block.";
const std::string SampleContentText = "BT /F1 12 Tf 72 712 Td (Stream text of page one) Tj ET\n";

std::string PlainSamplePdf() {
  TTestPdfWriter writer;
  writer.Add("<< /Type /Catalog /Pages 2 0 R >>");
  writer.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  writer.Add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 5 0 R >>");
  writer.Add("(" + SampleSecretText + ")");
  writer.AddStream("", SampleContentText);
  return writer.Build(1, "/Secret 4 0 R", "%PDF-1.7");
}
