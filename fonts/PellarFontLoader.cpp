// Font loading: the dictionary is read into a plain record, which the builder turns into
// the font's record.
#include "fonts/PellarFontBuilder.h"
#include "fonts/PellarFontCollection.h"
#include "fonts/PellarFontDictionary.h"

void TPDFFontCollection::LoadFont(TPDFObject* font) {
  const TFontDictionary dictionary = ReadFontDictionary(font, {LoadFontPrograms});
  AddRecord(BuildFontRecord(dictionary, {LoadFontPrograms, nullptr}));
}
