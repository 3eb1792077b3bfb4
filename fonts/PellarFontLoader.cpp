// Placeholder until font loading is built: every font gets a default record.
#include "fonts/PellarFontCollection.h"

void TPDFFontCollection::LoadFont(TPDFObject*) {
  AddRecord(std::make_unique<TPDFFontCollectionData>());
}
