#include "fonts/PellarFontCache.h"

#include <cstring>

#include "fonts/PellarFontCollection.h"

std::shared_ptr<TPDFFontCollectionData> TPDFFontCache::Find(int32_t number, bool fontPrograms) {
  auto found = Records.find(Key(number, fontPrograms));
  if (found == Records.end()) return nullptr;
  Uses.splice(Uses.begin(), Uses, found->second.Use);
  return found->second.Record;
}

void TPDFFontCache::Store(int32_t number, bool fontPrograms, std::shared_ptr<TPDFFontCollectionData> record) {
  if (!record) return;
  const size_t bytes = FontRecordBytes(*record);
  const int64_t key = Key(number, fontPrograms);
  if (bytes > Budget || Records.count(key)) return;
  while (Bytes + bytes > Budget && !Uses.empty()) {
    auto oldest = Records.find(Uses.back());
    Bytes -= oldest->second.Bytes;
    Records.erase(oldest);
    Uses.pop_back();
  }
  Uses.push_front(key);
  Records.emplace(key, TEntry{std::move(record), bytes, Uses.begin()});
  Bytes += bytes;
}

size_t FontRecordBytes(const TPDFFontCollectionData& record) {
  size_t bytes = sizeof record + record.FontName.capacity() + record.CIDToGIDMap.capacity() +
                 record.EncodingName.capacity() + record.CIDSystemInfo.capacity();
  // A table shared with other records counts whole for each, so that the budget holds
  // when the others are gone.
  bytes += record.AnsiText.EntryBytes() + record.GlyphNames.EntryBytes() + record.UnicodeText.EntryBytes();
  bytes += record.CodeCharacters.capacity() * sizeof(char32_t);
  for (const TPDFCMapEntry& entry : record.ToUnicodeRanges)
    bytes += sizeof entry + entry.Codes.capacity() * sizeof(int32_t);
  // The ranges and the lookup index built from them.
  bytes += 2 * (record.CIDWidths.Entries().size() + record.VerticalAdvances.Entries().size()) *
           sizeof(TPDFCIDWidths::TRange);
  return bytes;
}

bool SameFontRecord(const TPDFFontCollectionData& a, const TPDFFontCollectionData& b) {
  auto sameRanges = [](const TPDFCMap& x, const TPDFCMap& y) {
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
      if (x[i].Low != y[i].Low || x[i].High != y[i].High || x[i].Codes != y[i].Codes) return false;
    return true;
  };
  auto sameWidths = [](const TPDFCIDWidths& x, const TPDFCIDWidths& y) {
    if (x.DefaultWidth() != y.DefaultWidth() || x.Entries().size() != y.Entries().size()) return false;
    for (size_t i = 0; i < x.Entries().size(); ++i) {
      const TPDFCIDWidths::TRange &p = x.Entries()[i], &q = y.Entries()[i];
      if (p.First != q.First || p.Last != q.Last || p.Width != q.Width) return false;
    }
    return true;
  };
  // Widths compare bit for bit, so that a NaN or -0 that differs is noticed too.
  auto sameBits = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return a.Id == b.Id && sameBits(a.Widths, b.Widths) && a.AnsiText == b.AnsiText && a.FontName == b.FontName &&
         a.ProgramKind == b.ProgramKind && sameBits(a.WidthScale, b.WidthScale) && sameBits(a.FontMatrix, b.FontMatrix) &&
         a.GlyphNames == b.GlyphNames && a.Composite == b.Composite && sameWidths(a.CIDWidths, b.CIDWidths) &&
         sameBits(a.Ascent, b.Ascent) && sameBits(a.Descent, b.Descent) && a.UnicodeText == b.UnicodeText &&
         sameRanges(a.ToUnicodeRanges, b.ToUnicodeRanges) && a.FirstChar == b.FirstChar && a.LastChar == b.LastChar &&
         a.CIDToGIDMap == b.CIDToGIDMap && a.OneByteCodes == b.OneByteCodes && a.EncodingName == b.EncodingName &&
         a.CIDSystemInfo == b.CIDSystemInfo && a.CodeCharacters == b.CodeCharacters && a.Vertical == b.Vertical &&
         sameWidths(a.VerticalAdvances, b.VerticalAdvances);
}
