#include "tests/support/PdfWriter.h"

#include <cstdio>

int TTestPdfWriter::Add(const std::string& body) {
  int n = Reserve();
  Set(n, body);
  return n;
}

void TTestPdfWriter::Set(int number, const std::string& body) {
  Bodies[number] = body;
  if (number > Highest) Highest = number;
}

int TTestPdfWriter::AddStream(const std::string& dictEntries, const std::string& data) {
  int n = Reserve();
  SetStream(n, dictEntries, data);
  return n;
}

void TTestPdfWriter::SetStream(int number, const std::string& dictEntries, const std::string& data) {
  Set(number, "<< " + dictEntries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
}

std::string TTestPdfWriter::Build(int root, const std::string& trailerExtra, const std::string& header) const {
  // Written in place, without a temporary string per object: fuzz targets build a file per input.
  size_t size = header.size() + 64 + trailerExtra.size() + 20 * (size_t(Highest) + 1);
  for (const auto& entry : Bodies) size += entry.second.size() + 32;
  std::string out;
  out.reserve(size);
  out.append(header).append("\n%\xe2\xe3\xcf\xd3\n");
  Offsets.clear();
  for (const auto& [number, body] : Bodies) {
    Offsets.emplace_hint(Offsets.end(), number, static_cast<long>(out.size()));
    out.append(std::to_string(number)).append(" 0 obj\n").append(body).append("\nendobj\n");
  }
  const long xref = static_cast<long>(out.size());
  out += "xref\n0 " + std::to_string(Highest + 1) + "\n0000000000 65535 f \n";
  char entry[32];
  for (int n = 1; n <= Highest; ++n) {
    auto found = Offsets.find(n);
    if (found == Offsets.end()) {
      out += "0000000000 65535 f \n";
    } else {
      std::snprintf(entry, sizeof entry, "%010ld 00000 n \n", found->second);
      out += entry;
    }
  }
  out += "trailer\n<< /Size " + std::to_string(Highest + 1) + " /Root " + std::to_string(root) + " 0 R " +
         trailerExtra + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

std::string MakeTestPdf(const std::vector<std::string>& pageContents, const std::string& trailerExtra) {
  TTestPdfWriter w;
  const int catalog = w.Reserve();
  const int pages = w.Reserve();
  const int font = w.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  std::string kids;
  for (const std::string& content : pageContents) {
    const int stream = w.AddStream("", content);
    const int page = w.Add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " + std::to_string(font) +
                           " 0 R >> >> /Contents " + std::to_string(stream) + " 0 R >>");
    kids += std::to_string(page) + " 0 R ";
  }
  w.Set(pages, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pageContents.size()) + " >>");
  w.Set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  return w.Build(catalog, trailerExtra);
}


void AppendUpdate(std::string& file, const std::map<int, std::string>& objects, const std::string& trailerEntries) {
  const size_t keyword = file.rfind("startxref");
  const long prev = keyword == std::string::npos ? 0 : std::stol(file.substr(keyword + 9));
  std::string table = "xref\n";
  char entry[32];
  for (const auto& [number, body] : objects) {
    std::snprintf(entry, sizeof entry, "%d 1\n%010zu 00000 n \n", number, file.size());
    table += entry;
    file += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  const size_t xref = file.size();
  file += table + "trailer\n<< /Prev " + std::to_string(prev) + " " + trailerEntries + " >>\nstartxref\n" +
          std::to_string(xref) + "\n%%EOF\n";
}
