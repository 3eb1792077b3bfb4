#include <gtest/gtest.h>

#include "pdf/PellarStructure.h"

namespace {

int IndexInPool(const TPDFStructure& pool, const TPDFObject* object) {
  for (int i = 0; i < pool.Count(); ++i)
    if (pool.Object(i) == object) return i;
  return -1;
}

TEST(PellarStructure, GrowsInStepsOfAThousand) {
  TPDFStructure pool;
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_EQ(pool.SpareCount(), 0);
  pool.NewNull();
  EXPECT_EQ(pool.SpareCount(), 999);
  for (int i = 1; i < 901; ++i) pool.NewNull();
  EXPECT_EQ(pool.SpareCount(), 99);
  pool.NewNull();
  EXPECT_EQ(pool.SpareCount(), 999);
  EXPECT_EQ(pool.Count(), 902);
  pool.Reserve(5000);
  EXPECT_EQ(pool.SpareCount(), 5000);
  pool.Reserve(10);
  EXPECT_EQ(pool.SpareCount(), 5000);
  pool.ResetPool();
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_EQ(pool.SpareCount(), 0);
}

TEST(PellarStructure, DiscardObjectSparesHeldObjects) {
  TPDFStructure pool;
  TPDFDictionary* d = pool.NewDictionary();
  TPDFString* value = pool.NewString("x", false);
  d->Put("Key", value);
  const int count = pool.Count();
  const int spare = pool.SpareCount();

  EXPECT_FALSE(pool.DiscardObject(value));
  EXPECT_EQ(IndexInPool(pool, value), 1);
  d->Remove("Key");
  EXPECT_TRUE(pool.DiscardObject(value));
  EXPECT_EQ(IndexInPool(pool, value), -1);
  EXPECT_EQ(pool.Count(), count - 1);
  EXPECT_EQ(pool.SpareCount(), spare + 1);
  EXPECT_EQ(pool.Object(1)->Kind, 'N');  // later objects moved down

  TPDFStructure other;
  TPDFNull* foreign = other.NewNull();
  EXPECT_FALSE(pool.DiscardObject(foreign));
  EXPECT_FALSE(pool.DiscardObject(nullptr));
  EXPECT_EQ(other.Count(), 1);
}

TEST(PellarStructure, CommonNamesAreSharedAndProtected) {
  TPDFStructure pool;
  TPDFDictionary* a = pool.NewDictionary();
  TPDFDictionary* b = pool.NewDictionary();
  a->Put("Type", pool.NewNull());
  b->Put("Type", pool.NewNull());
  TPDFName* type = a->Entry(0).Key;
  EXPECT_EQ(b->Entry(0).Key, type);
  EXPECT_TRUE(type->Common);
  EXPECT_EQ(pool.FindName("Type"), type);
  a->Remove("Type");
  b->Remove("Type");
  EXPECT_FALSE(pool.DiscardObject(type));

  // Keys outside the list get a new name each time, protected all the same.
  a->Put("Foo", pool.NewNull());
  b->Put("Foo", pool.NewNull());
  EXPECT_NE(a->Entry(0).Key, b->Entry(0).Key);
  EXPECT_TRUE(a->Entry(0).Key->Common);

  // The first name of the pool with that value is taken, also when the parser made it.
  TPDFStructure parsed;
  auto* page = static_cast<TPDFDictionary*>(parsed.Parse("<< /Length 5 >>"));
  TPDFName* length = page->Entry(0).Key;
  EXPECT_FALSE(length->Common);
  EXPECT_EQ(parsed.CommonName("Length"), length);
  EXPECT_TRUE(length->Common);
  EXPECT_EQ(parsed.CommonName("Length"), length);

  EXPECT_TRUE(TPDFStructure::IsCommonName("WinAnsiEncoding"));
  EXPECT_TRUE(TPDFStructure::IsCommonName("Pellar"));
  EXPECT_FALSE(TPDFStructure::IsCommonName("type"));
  EXPECT_FALSE(TPDFStructure::IsCommonName("Length][CropBox"));
  EXPECT_FALSE(TPDFStructure::IsCommonName(""));
}

TEST(PellarStructure, CommonNameFollowsAChangedValue) {
  TPDFStructure pool;
  TPDFName* first = pool.CommonName("Font");
  first->Value = "Other";
  TPDFName* second = pool.CommonName("Font");
  EXPECT_NE(second, first);
  EXPECT_EQ(second->Value, "Font");
  pool.ResetPool();
  EXPECT_EQ(pool.CommonName("Font")->Value, "Font");
}

TEST(PellarStructure, DeleteLeavesHeldAndCommonObjects) {
  TPDFStructure pool;
  auto* d = static_cast<TPDFDictionary*>(pool.Parse("<< /Type /Page /S (text) /Sub << /X 1 >> /Arr [1 2] >>"));
  TPDFObject* string = d->Get("S");
  TPDFObject* sub = d->Get("Sub");
  const int count = pool.Count();

  d->Delete("S");  // a string value is not discarded
  EXPECT_EQ(d->IndexOfKey("S"), -1);
  EXPECT_NE(IndexInPool(pool, string), -1);

  TPDFName* typeKey = d->Entry(0).Key;
  d->Delete("Type");
  EXPECT_EQ(d->IndexOfKey("Type"), -1);
  EXPECT_NE(IndexInPool(pool, typeKey), -1);

  // Containers are discarded while the dictionary still holds them: they stay too.
  d->Delete("Sub");
  d->Delete("Arr");
  d->Delete("Missing");
  EXPECT_EQ(d->Count(), 0);
  EXPECT_NE(IndexInPool(pool, sub), -1);
  EXPECT_EQ(pool.Count(), count);
  // Once nothing holds it, the same request frees it.
  sub->Discard();
  EXPECT_EQ(IndexInPool(pool, sub), -1);
}

TEST(PellarStructure, DiscardOfAnUnheldContainerFreesOnlyTheContainer) {
  TPDFStructure pool;
  TPDFObject* array = pool.Parse("[1 (a) /N]");
  ASSERT_EQ(pool.Count(), 4);
  array->Discard();
  // The items were offered while the array still held them.
  ASSERT_EQ(pool.Count(), 3);
  EXPECT_EQ(pool.Object(0)->Kind, 'n');
}

TEST(PellarStructure, StreamAndItsDictionary) {
  TPDFStructure pool;
  TPDFStream* stream = pool.NewStream("abc", false);
  TPDFDictionary* first = stream->Dictionary();
  EXPECT_EQ(pool.Object(0), first);  // created by the stream, before it
  EXPECT_EQ(pool.Object(1), stream);

  // A replaced dictionary is freed when nothing else holds it.
  TPDFDictionary* second = pool.NewDictionary();
  stream->SetDictionary(second);
  EXPECT_EQ(stream->Dictionary(), second);
  EXPECT_EQ(IndexInPool(pool, first), -1);

  TPDFDictionary* shared = pool.NewDictionary();
  TPDFArray* holder = pool.NewArray({shared});
  stream->SetDictionary(shared);
  EXPECT_EQ(IndexInPool(pool, second), -1);
  EXPECT_EQ(holder->Item(0), shared);
  stream->SetDictionary(shared);  // the same dictionary again changes nothing
  EXPECT_EQ(stream->Dictionary(), shared);

  // The dictionary of a live stream is never freed under it.
  EXPECT_FALSE(pool.DiscardObject(stream->Dictionary()));

  // A held stream stays whole; an unheld one goes with its dictionary.
  TPDFArray* streams = pool.NewArray({stream});
  stream->Discard();
  EXPECT_NE(IndexInPool(pool, stream), -1);
  EXPECT_EQ(stream->Dictionary()->Owner, &pool);
  streams->Delete(0);
  holder->Delete(0);
  const int count = pool.Count();
  stream->Discard();
  EXPECT_EQ(pool.Count(), count - 2);
  EXPECT_EQ(IndexInPool(pool, shared), -1);
}

TEST(PellarStructure, ForeignStreamDictionaryIsCopied) {
  TPDFStructure pool, other;
  TPDFStream* stream = pool.NewStream("", false);
  auto* foreign = static_cast<TPDFDictionary*>(other.Parse("<< /Type /XObject >>"));
  stream->SetDictionary(foreign);
  EXPECT_NE(stream->Dictionary(), foreign);
  EXPECT_EQ(stream->Dictionary()->Owner, &pool);
  EXPECT_EQ(stream->Dictionary()->TypeName(), "XObject");
  stream->SetDictionary(nullptr);
  EXPECT_EQ(stream->Dictionary()->TypeName(), "XObject");
}

TEST(PellarStructure, ClearOffersButKeepsHeldObjects) {
  TPDFStructure pool;
  auto* d = static_cast<TPDFDictionary*>(pool.Parse("<< /A 1 /B (x) >>"));
  TPDFObject* a = d->Get("A");
  TPDFArray* other = pool.NewArray({a});
  const int count = pool.Count();
  d->Clear();
  EXPECT_EQ(d->Count(), 0);
  EXPECT_EQ(pool.Count(), count);  // offered while still held
  EXPECT_EQ(other->Item(0), a);
}

TEST(PellarStructure, FactoriesFillTheirObjects) {
  TPDFStructure pool;
  EXPECT_EQ(pool.NewIndRef(3, 1)->Generation, 1);
  EXPECT_EQ(pool.NewName("N")->Common, false);
  EXPECT_EQ(pool.NewString("s", true)->IsHex, true);
  EXPECT_EQ(pool.NewNumeric(1.5)->Value, 1.5);
  EXPECT_EQ(pool.NewBoolean(true)->Value, true);
  TPDFNull* null = pool.NewNull();
  EXPECT_EQ(null->Kind, '0');
  EXPECT_FALSE(null->IsIndirect);
  null->MarkIndirect(4, 2);
  EXPECT_TRUE(null->IsIndirect);
  EXPECT_EQ(null->IndirectNumber, 4);
  EXPECT_EQ(null->IndirectGeneration, 2);
  TPDFArray* array = pool.NewArray({null, null});
  EXPECT_EQ(array->Count(), 2);
  EXPECT_TRUE(array->Refers(null));
  EXPECT_FALSE(array->Refers(array));
  TPDFStream* stream = pool.NewStream("", false);
  EXPECT_EQ(stream->Linked, nullptr);
  EXPECT_EQ(stream->Data, "");
  EXPECT_EQ(stream->Dictionary()->GetInteger("Length", -1), 0);
}

}  // namespace

// What a mark reaches stays: entries, items and stream dictionaries at any depth, and the
// interned key names whether reached or not. The rest is freed, and the marks are cleared.
TEST(PellarStructure, SweepFreesWhatNoMarkReached) {
  TPDFStructure pool;
  TPDFDictionary* kept = pool.NewDictionary();
  TPDFArray* items = pool.NewArray({pool.NewNumeric(1), pool.NewString("s", false)});
  TPDFStream* stream = pool.NewStream("data", false);  // its /Length key is interned
  items->Add(stream);
  kept->Put("Kids", items);
  TPDFDictionary* loose = pool.NewDictionary();
  loose->Put("Type", pool.NewName("Page"));  // an interned key, a value that goes
  const int before = pool.Count();
  pool.Mark(kept);
  EXPECT_TRUE(pool.IsMarked(stream->Dictionary()));
  EXPECT_FALSE(pool.IsMarked(loose));
  EXPECT_EQ(pool.SweepUnmarked(), 2u);
  EXPECT_EQ(pool.Count(), before - 2);
  EXPECT_FALSE(pool.IsMarked(kept));
  EXPECT_EQ(As<TPDFStream>(As<TPDFArray>(kept->Get("Kids", false))->Item(2))->Data, "data");
  EXPECT_EQ(pool.SweepUnmarked(), static_cast<size_t>(before - 4));  // all but "Length" and "Type"
  EXPECT_NE(pool.FindName("Type"), nullptr);
  EXPECT_NE(pool.FindName("Length"), nullptr);
}
