// Feeds arbitrary bytes to the object parser, writes every object it made back as text,
// and checks that the text form reads back to the same text.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>

#include "pdf/PellarParser.h"
#include "pdf/PellarStructure.h"
#include "tests/fuzz/SanitizerDefaults.h"

namespace {

void Fail(const char* what, const std::string& a, const std::string& b) {
  std::fprintf(stderr, "%s\n--- first\n%s\n--- second\n%s\n", what, a.c_str(), b.c_str());
  std::abort();
}

// The objects some container of the pool holds directly.
std::unordered_set<const TPDFObject*> HeldObjects(const TPDFStructure& pool) {
  std::unordered_set<const TPDFObject*> held;
  for (int i = 0; i < pool.Count(); ++i) {
    if (const auto* dict = As<TPDFDictionary>(pool.Object(i))) {
      for (int k = 0; k < dict->Count(); ++k) held.insert({dict->Entry(k).Key, dict->Entry(k).Value});
    } else if (const auto* array = As<TPDFArray>(pool.Object(i))) {
      for (int k = 0; k < array->Count(); ++k) held.insert(array->Item(k));
    }
  }
  return held;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TPDFStructure pool;
  size_t consumed = 0;
  TPDFObject* object = pool.ParseAt(text, consumed);
  if (!object || consumed > size) std::abort();

  // Every object the parser made can be written: those no container holds (the result, and
  // what a failed read left behind), and with them all others once. Writing each object on its
  // own would cost the input's size times its nesting depth.
  const std::unordered_set<const TPDFObject*> held = HeldObjects(pool);
  std::string all;
  for (int i = 0; i < pool.Count(); ++i)
    if (!held.count(pool.Object(i))) pool.Object(i)->WriteTo(all);

  // The text form is stable: read back and written again, it is the same text. A space
  // follows it, since an empty name ("/") cannot be read as the very last byte.
  std::string first = object->Text();
  TPDFStructure copy;
  std::string second = copy.Parse(first + " ")->Text();
  if (second != first) Fail("text form changed when read back", first, second);

  object->ShiftNumbers(1);
  object->Discard();

  (void)UnescapeLiteral(text);
  (void)DecodeHexToken(text);
  return 0;
}
