#include "fonts/PellarFontCollection.h"

#include <algorithm>

#include "fonts/PellarFontCache.h"
#include "fonts/PellarGlyphTables.h"
#include "pdf/PellarObjects.h"

void TPDFFontCollection::SelectFont(TPDFIndRef* font) {
  if (!font) return;
  int found = FindRecord(font->Number);
  if (found < 0) {
    if (auto cached = Cache ? Cache->Find(font->Number, LoadFontPrograms) : nullptr) {
      Append(std::move(cached));
    } else {
      size_t before = Fonts.size();
      LoadFont(font);
      if (Fonts.size() == before) return;
      // The last record is the font's own (a Type0 font's descendant record): it answers
      // to the reference's number from now on.
      int32_t last = static_cast<int32_t>(Fonts.size() - 1);
      Unindex(Fonts.back()->Id, last);
      Fonts.back()->Id = font->Number;
      Index(font->Number, last);
      if (Cache) Cache->Store(font->Number, LoadFontPrograms, Fonts.back());
    }
    found = static_cast<int32_t>(Fonts.size() - 1);
  }
  CurrentRecord = Fonts[static_cast<size_t>(found)].get();
}

void TPDFFontCollection::SelectFontById(int32_t id) {
  int found = FindRecord(id);
  if (found >= 0) CurrentRecord = Fonts[static_cast<size_t>(found)].get();
}

void TPDFFontCollection::LoadDirectFont(TPDFDictionary* font) {
  if (!font) return;
  // The interpreter selects the font again after every Q: a direct font is loaded once.
  auto known = DirectFonts.find(font);
  if (known != DirectFonts.end()) {
    CurrentRecord = Fonts[known->second].get();
    return;
  }
  size_t before = Fonts.size();
  LoadFont(font);
  if (Fonts.size() == before) return;
  CurrentRecord = Fonts.back().get();
  DirectFonts.emplace(font, Fonts.size() - 1);
}

TPDFFontCollectionData& TPDFFontCollection::AddRecord(std::unique_ptr<TPDFFontCollectionData> record) {
  Append(std::move(record));
  return *Fonts.back();
}

void TPDFFontCollection::Append(std::shared_ptr<TPDFFontCollectionData> record) {
  Fonts.push_back(std::move(record));
  Index(Fonts.back()->Id, static_cast<int32_t>(Fonts.size() - 1));
}

void TPDFFontCollection::Index(int32_t id, int32_t position) {
  auto entry = std::make_pair(id, position);
  FontIndex.insert(std::upper_bound(FontIndex.begin(), FontIndex.end(), entry), entry);
}

void TPDFFontCollection::Unindex(int32_t id, int32_t position) {
  auto entry = std::make_pair(id, position);
  auto it = std::lower_bound(FontIndex.begin(), FontIndex.end(), entry);
  if (it != FontIndex.end() && *it == entry) FontIndex.erase(it);
}

int TPDFFontCollection::FindRecord(int32_t id) const {
  auto it = std::lower_bound(FontIndex.begin(), FontIndex.end(), std::make_pair(id, INT32_MIN));
  return it != FontIndex.end() && it->first == id ? it->second : -1;
}

namespace {

// One character as UTF-16: a surrogate pair beyond the first plane.
std::u16string CharacterText(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  c -= 0x10000;
  return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

}  // namespace

TPellarCodeList TPDFFontCollection::SplitCodes(std::string_view bytes) const {
  TPellarCodeList codes;
  const TPDFFontCollectionData* font = CurrentRecord;
  if (!font) return codes;
  if (font->Composite && PredefinedMixedWidth(font->EncodingName)) return PredefinedSplit(font->EncodingName, bytes);
  if (font->OneByteCodes) {
    codes.reserve(bytes.size());
    for (unsigned char b : bytes) codes.push_back(b);
    return codes;
  }
  if (font->ToUnicodeRanges.empty() && !font->CIDSystemInfo.empty())
    return PredefinedSplit(font->EncodingName, bytes);
  codes.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    codes.push_back(static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]));
  return codes;
}

std::u16string TPDFFontCollection::CodeToUnicode(int32_t code) const {
  const TPDFFontCollectionData* font = CurrentRecord;
  if (!font) return {};
  if (!font->Composite) return code >= 0 && code <= 255 ? font->UnicodeText[static_cast<size_t>(code)] : std::u16string();
  if (!font->ToUnicodeRanges.empty()) {
    const int32_t entry = font->ToUnicodeIndex.Find(font->ToUnicodeRanges, code);
    return entry < 0 ? std::u16string()
                     : ExpandLigatures(CMapEntryText(font->ToUnicodeRanges[static_cast<size_t>(entry)], code));
  }
  if (code >= 0 && size_t(code) < font->CodeCharacters.size() && font->CodeCharacters[size_t(code)] != 0)
    return CharacterText(font->CodeCharacters[size_t(code)]);
  // A mixed-width predefined encoding names its collection itself.
  if (!font->CIDSystemInfo.empty() || PredefinedMixedWidth(font->EncodingName))
    return PredefinedUnicode(font->EncodingName, font->CIDSystemInfo, code);
  return {};
}

double TPDFFontCollection::CompositeVerticalAdvance(int32_t code) const {
  const TPDFFontCollectionData* font = CurrentRecord;
  if (!font) return DefaultVerticalAdvance;
  const int32_t cid = PredefinedCID(font->EncodingName, code);
  return font->VerticalAdvances.Width(static_cast<uint32_t>(cid >= 0 ? cid : code)).value_or(DefaultVerticalAdvance);
}

std::optional<int32_t> TPDFFontCollection::CompositeWidth(int32_t code) const {
  const TPDFFontCollectionData* font = CurrentRecord;
  if (!font) return std::nullopt;
  int32_t cid = PredefinedCID(font->EncodingName, code);
  return font->CIDWidths.Width(static_cast<uint32_t>(cid >= 0 ? cid : code));
}
