// Font loading: the dictionary is read into a plain record, which the builder turns into
// the font's record.
#include "fonts/PellarFontBuilder.h"
#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontDictionary.h"
#include "pdf/PellarObjects.h"

void TPDFFontCollection::LoadFont(TPDFObject* font) {
  const TFontDictionary dictionary = ReadFontDictionary(font, {LoadFontPrograms});
  std::unique_ptr<TPDFFontCollectionData> record = BuildFontRecord(dictionary, {LoadFontPrograms, nullptr});
  if (const auto* ref = As<TPDFIndRef>(font)) record->Id = ref->Number;
  AddRecord(std::move(record));
}
