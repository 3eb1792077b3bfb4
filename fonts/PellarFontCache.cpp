#include "fonts/PellarFontCache.h"

#include "fonts/PellarFontCollection.h"

namespace {

// A book's fonts take a few megabytes; a file with a new font (or a new huge ToUnicode
// map) on every page must not keep all of them. Past the budget the cache starts again,
// which costs loading time, never a different result.
constexpr size_t CacheBudget = size_t(48) << 20;

}  // namespace

std::shared_ptr<TPDFFontCollectionData> TPDFFontCache::Find(int32_t number, bool fontPrograms) const {
  auto found = Records.find(Key(number, fontPrograms));
  return found == Records.end() ? nullptr : found->second;
}

void TPDFFontCache::Store(int32_t number, bool fontPrograms, std::shared_ptr<TPDFFontCollectionData> record) {
  if (!record) return;
  const size_t bytes = FontRecordBytes(*record);
  if (bytes > CacheBudget) return;
  if (Bytes + bytes > CacheBudget) {
    Records.clear();
    Bytes = 0;
  }
  auto [entry, added] = Records.try_emplace(Key(number, fontPrograms), std::move(record));
  if (added) Bytes += bytes;
}

size_t FontRecordBytes(const TPDFFontCollectionData& record) {
  size_t bytes = sizeof record + record.FontName.capacity() + record.CIDToGIDMap.capacity() +
                 record.EncodingName.capacity() + record.CIDSystemInfo.capacity();
  for (size_t c = 0; c < 256; ++c)
    bytes += record.AnsiText[c].capacity() + record.GlyphNames[c].capacity() +
             2 * record.UnicodeText[c].capacity();
  for (const TPDFCMapEntry& entry : record.ToUnicodeRanges)
    bytes += sizeof entry + entry.Codes.capacity() * sizeof(int32_t);
  // The ranges and the lookup index built from them.
  bytes += 2 * record.CIDWidths.Entries().size() * sizeof(TPDFCIDWidths::TRange);
  return bytes;
}
