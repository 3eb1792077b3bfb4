#pragma once
// Finished font records of one document, by the object number of the font dictionary.
// Each page request makes its own font collection; with the cache, a font that an earlier
// page loaded is taken as it was built instead of being read and parsed again. A record
// depends only on its font object, which never changes once read, so the text and widths
// are the same either way.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>

struct TPDFFontCollectionData;

class TPDFFontCache {
public:
  // A book's fonts take a few megabytes; a file with a new font (or a new huge ToUnicode
  // map) on every page must not keep all of them: past the budget, the fonts used longest
  // ago go first, which costs loading time, never a different result.
  static constexpr size_t DefaultBudget = size_t(16) << 20;

  explicit TPDFFontCache(size_t budget = DefaultBudget) : Budget(budget) {}
  // The record built for the object number with the same program setting, or nothing.
  std::shared_ptr<TPDFFontCollectionData> Find(int32_t number, bool fontPrograms);
  // Records are shared from now on and must not change. A record larger than the budget is not kept.
  void Store(int32_t number, bool fontPrograms, std::shared_ptr<TPDFFontCollectionData> record);
  size_t Count() const { return Records.size(); }

private:
  static int64_t Key(int32_t number, bool fontPrograms) { return int64_t(number) * 2 + (fontPrograms ? 1 : 0); }

  struct TEntry {
    std::shared_ptr<TPDFFontCollectionData> Record;
    size_t Bytes;
    std::list<int64_t>::iterator Use;
  };
  size_t Budget;
  std::unordered_map<int64_t, TEntry> Records;
  std::list<int64_t> Uses;  // keys, the one used last first
  size_t Bytes = 0;         // estimated size of the records held
};

// Whether two records hold the same values in every field (a cached record against a new one).
bool SameFontRecord(const TPDFFontCollectionData& a, const TPDFFontCollectionData& b);
// About how much memory a record holds, with what it owns.
size_t FontRecordBytes(const TPDFFontCollectionData& record);
