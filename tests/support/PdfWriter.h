#pragma once
// A small PDF writer for tests: numbered objects and a correct cross-reference table.
#include <map>
#include <string>
#include <vector>

class TTestPdfWriter {
public:
  // Reserves the next object number; its body is set later with Set.
  int Reserve() { return ++Highest; }
  // The text between "n 0 obj" and "endobj", for example "<< /Type /Page >>".
  int Add(const std::string& body);
  void Set(int number, const std::string& body);
  // A stream object; /Length is added to the dictionary entries given.
  int AddStream(const std::string& dictEntries, const std::string& data);
  void SetStream(int number, const std::string& dictEntries, const std::string& data);

  // The whole file: header, objects in number order, classic cross-reference
  // table, trailer (/Size, /Root and the extra entries), startxref, %%EOF.
  std::string Build(int root, const std::string& trailerExtra = "", const std::string& header = "%PDF-1.4") const;
  // Offset of object n in the file Build gave last.
  long OffsetOf(int number) const { return Offsets.at(number); }

private:
  int Highest = 0;
  std::map<int, std::string> Bodies;
  mutable std::map<int, long> Offsets;
};

// A document whose pages show the given content streams with /F1 = Helvetica.
// Answers the file bytes.
std::string MakeTestPdf(const std::vector<std::string>& pageContents, const std::string& trailerExtra = "");


// Appends an incremental update to the file: the objects (number -> text between "n 0 obj" and
// "endobj"), a table of one subsection per object, and a trailer with /Prev to the section the
// file's last "startxref" names and the entries given.
void AppendUpdate(std::string& file, const std::map<int, std::string>& objects, const std::string& trailerEntries);
