#pragma once
// Finds where the indirect objects of a PDF file lie: follows "startxref" through
// classic cross-reference tables, cross-reference streams, /XRefStm and /Prev chains,
// and reports what it reads through three callbacks.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class TPDFStream;

class TPDFXRefReader {
public:
  // type: 'n' in use (field2 offset, field3 generation), 'c' compressed (field2 object
  // stream, field3 index), 'f' free, ' ' any other stream entry type.
  std::function<void(int32_t number, int32_t field2, char type, int32_t field3)> OnEntry;
  // The text form of a trailer or cross-reference stream dictionary.
  std::function<void(const std::string& text)> OnTrailer;
  // +offset before a section is read, -offset when reading it failed.
  std::function<void(int32_t offset)> OnSection;
  bool IsHybrid = false;

  explicit TPDFXRefReader(const std::string& source)
      : Source(source), EntryBudget(2 * static_cast<int64_t>(source.size())) {}

  // The offset named after the last "startxref", 0 when there is none.
  int32_t FindStartXref() const;
  // Reads the section at or near the offset and every section it chains to; true
  // when the whole chain was read.
  bool ReadSection(int32_t offset);

private:
  // One section: answers false when it could not be read; sets `prev` to the section
  // it chains to, if any.
  bool ReadOneSection(int32_t offset, std::optional<int64_t>& prev);
  bool ReadClassicTable(int64_t start, std::optional<int64_t>& prev);
  bool ReadStreamSection(int64_t start, std::optional<int64_t>& prev);
  // Decodes a cross-reference stream's entries of the subsections (first number, count)
  // with the field widths of /W and reports them.
  void ReportStreamEntries(const TPDFStream& stream, const std::array<int32_t, 3>& widths,
                           const std::vector<std::pair<int64_t, int64_t>>& subsections);
  std::string ReadBytes(int64_t offset, int64_t count) const;
  void Report(int64_t number, int32_t field2, char type, int32_t field3) const;
  // The first "trailer" at or after the position, npos when there is none.
  size_t NextTrailer(size_t from);

  const std::string& Source;
  std::set<int32_t> SectionsRead;  // a section read before ends a chain that comes back to it
  int HybridDepth = 0;
  // Bytes the classic tables may still read entries from. Sound files never read the same
  // bytes as entries twice, so twice the file's size is plenty; hostile chains of tables
  // that each claim the rest of the file would otherwise cost sections times file size.
  int64_t EntryBudget;
  // Where "trailer" occurs, found in one pass when first needed: many sections searching
  // to the end of the file must not cost sections times file size either.
  std::vector<size_t> TrailerPositions;
  bool TrailersFound = false;
};
