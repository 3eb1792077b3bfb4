#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>

#include "pdf/PellarStructure.h"
#include "tests/support/PdfTestSupport.h"

namespace {

using namespace std::string_literals;

TEST(PellarObjects, NumberText) {
  struct {
    double Value;
    int Decimals;
    std::string Text;
  } cases[] = {
      {3, 4, "3"},           {0.5, 4, "0.5"},         {1.23456, 4, "1.2346"},  {-0.5, 4, "-0.5"},
      {2.00004, 4, "2"},     {-0.00004, 4, "0"},      {0.00005, 4, "0.0001"},  {1e10, 4, "10000000000"},
      {-12, 4, "-12"},       {1.23456789, 8, "1.23456789"}, {2.5, 0, "3"},    {0.1, 4, "0.1"},
      {-0.0, 4, "0"},        {1e16, 4, "10000000000000000"}, {-999999999999999, 4, "-999999999999999"},
  };
  for (const auto& c : cases) {
    TPDFStructure pool;
    pool.SetNumberDecimals(c.Decimals);
    EXPECT_EQ(pool.NewNumeric(c.Value)->Text(), c.Text) << c.Value;
  }
}

TEST(PellarObjects, NumberPrecisionSettings) {
  TPDFStructure pool;
  EXPECT_EQ(pool.NumberDecimals(), 4);
  EXPECT_EQ(pool.NumberPattern(), "0.0000");
  pool.SetNumberDecimals(8);
  EXPECT_EQ(pool.NumberPattern(), "0.00000000");
  pool.SetNumberDecimals(-3);
  EXPECT_EQ(pool.NumberDecimals(), 0);
  pool.SetNumberDecimals(99);
  EXPECT_EQ(pool.NumberDecimals(), 15);
  pool.MultiLineDictionaries = false;
  pool.ResetPool();
  EXPECT_EQ(pool.NumberDecimals(), 4);
  EXPECT_EQ(pool.NumberPattern(), "0.0000");
  EXPECT_TRUE(pool.MultiLineDictionaries);
}

TEST(PellarObjects, AsIntegerTiesToEven) {
  struct {
    double Value;
    int32_t Integer;
  } cases[] = {{2.5, 2},   {3.5, 4},        {-2.5, -2},         {-3.5, -4},
               {2.4, 2},   {2.6, 3},        {-0.5, 0},          {0.5, 0},
               {1.5, 2},   {1e12, INT32_MAX}, {-1e12, INT32_MIN}, {std::nan(""), 0}};
  TPDFStructure pool;
  for (const auto& c : cases) EXPECT_EQ(pool.NewNumeric(c.Value)->AsInteger(), c.Integer) << c.Value;
}

TEST(PellarObjects, NameText) {
  struct {
    std::string Value;
    std::string Text;
  } cases[] = {
      {"Type", "/Type"},
      {"A B", "/A#20B"},
      {"a}b", "/a#7Db"},
      {"/()#%[{}]<>", "/#2F#28#29#23#25#5B#7B#7D#5D#3C#3E"},
      {Bytes({0, 9, 32, 33, 126, 127, 128, 255}), "/#00#09#20!~#7F#80#FF"},
      {"a.b-c_d*e", "/a.b-c_d*e"},
      {"", "/"},
  };
  TPDFStructure pool;
  for (const auto& c : cases) EXPECT_EQ(pool.NewName(c.Value)->Text(), c.Text) << c.Value;
}

TEST(PellarObjects, LiteralStringTextEscapesEveryByteItMust) {
  struct {
    std::string Value;
    std::string Text;
  } cases[] = {
      {"\b", "(\\b)"},
      {"\t", "(\\t)"},
      {"\n", "(\\n)"},
      {"\f", "(\\f)"},
      {"\r", "(\\r)"},
      {"(", "(\\()"},
      {")", "(\\))"},
      {"\\", "(\\\\)"},
      {Bytes({11}), "(" + Bytes({11}) + ")"},
      {Bytes({0, 1, 7, 14, 31, 127, 128, 200, 255}), "(" + Bytes({0, 1, 7, 14, 31, 127, 128, 200, 255}) + ")"},
      {"a(b)c", "(a\\(b\\)c)"},
      {"", "()"},
  };
  TPDFStructure pool;
  for (const auto& c : cases) EXPECT_EQ(pool.NewString(c.Value, false)->Text(), c.Text);

  // Every byte value survives writing and reading back.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (bool hex : {false, true}) {
    auto* back = static_cast<TPDFString*>(pool.Parse(pool.NewString(all, hex)->Text()));
    ASSERT_EQ(back->Kind, 's');
    EXPECT_EQ(back->Value, all);
    EXPECT_EQ(back->IsHex, hex);
  }
}

TEST(PellarObjects, ScalarTexts) {
  TPDFStructure pool;
  EXPECT_EQ(pool.NewString(Bytes({0x01, 0xAB, 0x00}), true)->Text(), "<01AB00>");
  EXPECT_EQ(pool.NewString("", true)->Text(), "<>");
  EXPECT_EQ(pool.NewIndRef(12, 0)->Text(), "12 0 R");
  EXPECT_EQ(pool.NewIndRef(-1, 65535)->Text(), "-1 65535 R");
  EXPECT_EQ(pool.NewBoolean(true)->Text(), "true");
  EXPECT_EQ(pool.NewBoolean(false)->Text(), "false");
  EXPECT_EQ(pool.NewNull()->Text(), "null");
}

TEST(PellarObjects, ArrayText) {
  TPDFStructure pool;
  EXPECT_EQ(pool.NewIntegerArray({1, 2, 3})->Text(), "[ 1 2 3 ]");
  EXPECT_EQ(pool.NewArray()->Text(), "[ ]");
  EXPECT_EQ(pool.NewRealArray({0.5, -1.25, 2})->Text(), "[ 0.5 -1.25 2 ]");
  TPDFArray* withNil = pool.NewArray({pool.NewNumeric(1), nullptr, pool.NewNumeric(2)});
  EXPECT_EQ(withNil->Text(), "[ 1  2 ]");

  // 40 three-digit numbers: the first line is broken once it passes 80 characters.
  std::vector<int32_t> numbers;
  for (int i = 100; i < 140; ++i) numbers.push_back(i);
  std::string expected = "[ 100 101 102 103 104 105 106 107 108 109 110 111 112 113 114 115 116 117 118 119 \n"
                         "120 121 122 123 124 125 126 127 128 129 130 131 132 133 134 135 136 137 138 139 ]";
  EXPECT_EQ(pool.NewIntegerArray(numbers)->Text(), expected);

  // An item that ends with a line feed (a dictionary) is not followed by a space, and
  // starts a new line for the length count.
  TPDFDictionary* dictionary = pool.NewDictionary();
  dictionary->Put("A", pool.NewNumeric(1));
  TPDFArray* mixed = pool.NewArray({dictionary, pool.NewNumeric(5)});
  EXPECT_EQ(mixed->Text(), "[ <<\n/A 1\n>>\n5 ]");
  std::vector<TPDFObject*> items{pool.NewName(std::string(80, 'x')), dictionary};
  for (int i = 0; i < 20; ++i) items.push_back(pool.NewNumeric(1000 + i));
  EXPECT_EQ(pool.NewArray(items)->Text(),
            "[ /" + std::string(80, 'x') + " \n<<\n/A 1\n>>\n"
            "1000 1001 1002 1003 1004 1005 1006 1007 1008 1009 1010 1011 1012 1013 1014 1015 1016 \n1017 1018 1019 ]");
}

TEST(PellarObjects, DictionaryText) {
  TPDFStructure pool;
  TPDFDictionary* empty = pool.NewDictionary();
  TPDFDictionary* one = pool.NewDictionary();
  one->Put("A", pool.NewNumeric(1));
  TPDFDictionary* two = pool.NewDictionary();
  two->Put("Type", pool.NewName("Page"));
  two->Put("Kids", pool.NewArray({pool.NewIndRef(3, 0)}));
  TPDFDictionary* outer = pool.NewDictionary();
  outer->Put("D", one);

  EXPECT_EQ(empty->Text(), "<<\n>>\n");
  EXPECT_EQ(one->Text(), "<<\n/A 1\n>>\n");
  EXPECT_EQ(two->Text(), "<<\n/Type /Page\n/Kids [ 3 0 R ]\n>>\n");
  EXPECT_EQ(outer->Text(), "<<\n/D <<\n/A 1\n>>\n>>\n");

  pool.MultiLineDictionaries = false;
  EXPECT_EQ(empty->Text(), "<< >>\n");
  EXPECT_EQ(one->Text(), "<< /A 1 >>\n");
  EXPECT_EQ(two->Text(), "<<\n/Type /Page\n/Kids [ 3 0 R ]\n>>\n");
  EXPECT_EQ(outer->Text(), "<< /D << /A 1 >>\n >>\n");

  pool.MultiLineDictionaries = true;
  TPDFDictionary* odd = pool.NewDictionary();
  odd->Put("Nil", nullptr);
  odd->SetEntry(nullptr, pool.NewNumeric(1));  // an entry that cannot be written
  odd->Put("B", pool.NewBoolean(true));
  EXPECT_EQ(odd->Text(), "<<\n/Nil \n% bug \n/B true\n>>\n");
}

TEST(PellarObjects, StreamText) {
  TPDFStructure pool;
  TPDFStream* stream = pool.NewStream("abc", false);
  EXPECT_EQ(stream->Text(), "<<\n/Length 3\n>>\nstream\nabc\nendstream");
  stream->Dictionary()->Put("Type", pool.NewName("XObject"));
  stream->SetData(std::string("\0\n", 2));
  EXPECT_EQ(stream->Text(), "<<\n/Length 2\n/Type /XObject\n>>\nstream\n"s + Bytes({0, 10}) + "\nendstream");
}

TEST(PellarObjects, ContainersThatHoldThemselvesStayFinite) {
  TPDFStructure pool;
  TPDFArray* array = pool.NewArray();
  array->Add(pool.NewIndRef(1, 0));
  array->Add(array);
  EXPECT_EQ(array->Text(), "[ 1 0 R  ]");
  TPDFDictionary* dictionary = pool.NewDictionary();
  dictionary->SetEntry(pool.NewName("Self"), dictionary);
  dictionary->Put("A", array);
  array->Add(dictionary);
  EXPECT_EQ(dictionary->Text(), "<<\n% bug \n/A [ 1 0 R   ]\n>>\n");  // members being written are left out
  dictionary->ShiftNumbers(5);
  EXPECT_EQ(static_cast<TPDFIndRef*>(array->Item(0))->Number, 6);
  int count = pool.Count();
  dictionary->Discard();
  array->Discard();
  EXPECT_EQ(pool.Count(), count);  // each holds the other
}

TEST(PellarObjects, DictionaryAccess) {
  TPDFStructure pool;
  TPDFDictionary* d = pool.NewDictionary();
  TPDFNumeric* one = pool.NewNumeric(1);
  d->Put("A", one);
  d->Put("B", pool.NewNumeric(2.5));
  d->Put("C", pool.NewNumeric(3.5));
  d->Put("S", pool.NewString("x", false));
  d->Put("R", pool.NewIndRef(7, 0));
  d->Put("Type", pool.NewIndRef(8, 0));

  EXPECT_EQ(d->IndexOfKey("B"), 1);
  EXPECT_EQ(d->IndexOfKey("b"), -1);  // keys are case-sensitive
  EXPECT_EQ(d->Get("A"), one);
  EXPECT_EQ(d->Get("Missing"), nullptr);
  EXPECT_EQ(d->GetInteger("B", -1), 2);
  EXPECT_EQ(d->GetInteger("C", -1), 4);
  EXPECT_EQ(d->GetInteger("S", -1), -1);
  EXPECT_EQ(d->GetInteger("Missing", -1), -1);
  EXPECT_EQ(d->Get("R"), nullptr);  // no resolver
  EXPECT_EQ(d->GetInteger("R", -1), -1);
  EXPECT_EQ(d->Get("Type", false)->Kind, 'I');
  EXPECT_EQ(d->TypeName(), "");

  // Replacing keeps the position; Put of the dictionary itself is ignored.
  TPDFNumeric* nine = pool.NewNumeric(9);
  d->Put("B", nine);
  EXPECT_EQ(d->IndexOfKey("B"), 1);
  EXPECT_EQ(d->Get("B"), nine);
  int count = d->Count();
  d->Put("Self", d);
  d->Put("A", d);
  EXPECT_EQ(d->Count(), count);
  EXPECT_EQ(d->Get("A"), one);

  d->Put("Type", pool.NewName("Page"));
  EXPECT_EQ(d->TypeName(), "Page");
  EXPECT_EQ(d->Entry(-1).Key, nullptr);
  EXPECT_EQ(d->Entry(count).Value, nullptr);
  EXPECT_EQ(d->Entry(0).Key->Value, "A");

  d->Remove("A");
  EXPECT_EQ(d->IndexOfKey("A"), -1);
  EXPECT_EQ(d->Entry(0).Key->Value, "B");
  d->Remove("Missing");
  EXPECT_EQ(d->Count(), count - 1);
  d->Clear();
  EXPECT_EQ(d->Count(), 0);
}

TEST(PellarObjects, ResolveGoesThroughTheCallback) {
  TPDFStructure pool;
  TPDFNumeric* target = pool.NewNumeric(42);
  std::vector<std::pair<int32_t, int32_t>> asked;
  pool.OnLookupIndirect = [&](TPDFIndRef& ref, int32_t number, int32_t generation) -> TPDFObject* {
    EXPECT_EQ(ref.Number, number);
    asked.emplace_back(number, generation);
    return number == 5 ? target : nullptr;
  };
  TPDFDictionary* d = static_cast<TPDFDictionary*>(pool.Parse("<< /N 5 3 R /M 6 0 R >>"));
  EXPECT_EQ(d->Get("N"), target);
  EXPECT_EQ(d->Get("N", false)->Kind, 'I');
  EXPECT_EQ(d->GetInteger("N", 0), 42);
  EXPECT_EQ(d->Get("M"), nullptr);
  EXPECT_EQ(asked.front(), std::make_pair(5, 3));
  EXPECT_EQ(asked.size(), 3u);

  pool.OnNewIndirect = [](TPDFObject& object) {
    object.MarkIndirect(9, 1);
    return TPDFIndirectId{9, 1};
  };
  TPDFIndirectId id = pool.OnNewIndirect(*target);
  EXPECT_EQ(id.Number, 9);
  EXPECT_TRUE(target->IsIndirect);
  EXPECT_EQ(target->IndirectGeneration, 1);
}

TEST(PellarObjects, CopyFrom) {
  TPDFStructure pool, other;
  TPDFDictionary* source = static_cast<TPDFDictionary*>(pool.Parse("<< /A 1 /B [2 3] >>"));
  TPDFDictionary* same = pool.NewDictionary();
  same->Put("Old", pool.NewNull());
  same->CopyFrom(*source);
  ASSERT_EQ(same->Count(), 2);
  EXPECT_EQ(same->Entry(1).Value, source->Entry(1).Value);  // shared within a pool

  TPDFDictionary* foreign = other.NewDictionary();
  foreign->CopyFrom(*source);
  ASSERT_EQ(foreign->Count(), 2);
  EXPECT_EQ(foreign->Entry(1).Value->Owner, &other);
  EXPECT_EQ(foreign->Text(), source->Text());

  foreign->CopyFrom(*foreign);
  EXPECT_EQ(foreign->Count(), 2);
}

TEST(PellarObjects, ArrayOperations) {
  TPDFStructure pool;
  TPDFArray* a = pool.NewIntegerArray({1, 2, 3});
  EXPECT_TRUE(a->AllNumeric());
  EXPECT_TRUE(pool.NewArray()->AllNumeric());
  EXPECT_EQ(a->Item(3), nullptr);
  EXPECT_EQ(a->Item(-1), nullptr);

  a->Delete(1);
  EXPECT_EQ(a->Text(), "[ 1 3 ]");
  EXPECT_EQ(a->SpareCount(), 1);
  a->Delete(5);
  a->Replace(7, pool.NewNull());
  EXPECT_EQ(a->Count(), 2);
  a->Add(pool.NewNumeric(4));
  EXPECT_EQ(a->SpareCount(), 0);
  a->Replace(0, pool.NewName("X"));
  EXPECT_EQ(a->Text(), "[ /X 3 4 ]");
  EXPECT_FALSE(a->AllNumeric());

  a->Reserve(5);
  EXPECT_EQ(a->SpareCount(), 5);
  a->Reserve(2);
  EXPECT_EQ(a->SpareCount(), 5);
  a->Add(pool.NewNull());
  EXPECT_EQ(a->SpareCount(), 4);
}

TEST(PellarObjects, StreamStoreAndData) {
  TPDFStructure pool;
  std::string text(5000, 'a');
  TPDFStream* stream = pool.NewStream(text, true);
  TPDFDictionary* d = stream->Dictionary();
  EXPECT_EQ(d->Owner, &pool);
  EXPECT_EQ(static_cast<TPDFName*>(d->Get("Filter"))->Value, "FlateDecode");
  EXPECT_FALSE(static_cast<TPDFName*>(d->Get("Filter"))->Common);
  EXPECT_EQ(d->GetInteger("Length", -1), static_cast<int32_t>(stream->Data.size()));
  EXPECT_LT(stream->Data.size(), text.size());
  std::string inflated(text.size(), '\0');
  uLongf size = inflated.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                       reinterpret_cast<const Bytef*>(stream->Data.data()), stream->Data.size()),
            Z_OK);
  EXPECT_EQ(inflated, text);

  // Storing plainly drops the filter and keeps the same /Length object when it is direct.
  TPDFObject* length = d->Get("Length");
  stream->Store("xyz", false);
  EXPECT_EQ(d->Get("Filter"), nullptr);
  EXPECT_EQ(d->Get("Length"), length);
  EXPECT_EQ(d->GetInteger("Length", -1), 3);
  EXPECT_EQ(stream->Data, "xyz");

  // An indirect /Length is replaced by a direct number.
  d->Put("Length", pool.NewIndRef(4, 0));
  stream->SetData("12345");
  EXPECT_EQ(d->Get("Length", false)->Kind, 'n');
  EXPECT_EQ(d->GetInteger("Length", -1), 5);
  EXPECT_FALSE(stream->Refers(d));
  EXPECT_TRUE(stream->Refers(d->Get("Length", false)));
}

TEST(PellarObjects, ShiftNumbersReachesNestedReferences) {
  TPDFStructure pool;
  TPDFObject* d = pool.Parse("<< /A 1 0 R /B [2 0 R << /C 3 0 R >>] /N 4 >>");
  d->ShiftNumbers(10);
  EXPECT_EQ(d->Text(), "<<\n/A 11 0 R\n/B [ 12 0 R <<\n/C 13 0 R\n>>\n]\n/N 4\n>>\n");
  TPDFStream* stream = pool.NewStream("", false);
  stream->Dictionary()->Put("R", pool.NewIndRef(1, 0));
  stream->ShiftNumbers(-1);
  EXPECT_EQ(stream->Dictionary()->Get("R", false)->Text(), "0 0 R");
  TPDFIndRef* high = pool.NewIndRef(INT32_MAX - 1, 0);
  high->ShiftNumbers(5);
  EXPECT_EQ(high->Number, INT32_MAX);
}

}  // namespace
