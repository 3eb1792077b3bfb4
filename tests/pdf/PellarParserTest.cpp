#include <gtest/gtest.h>

#include "pdf/PellarParser.h"
#include "pdf/PellarStructure.h"
#include "tests/support/PdfTestSupport.h"

namespace {

struct TParseCase {
  std::string Input;
  char Kind;             // kind of the object read
  std::string Written;   // its text form with the default settings
  size_t Consumed;
};

void CheckCases(const std::vector<TParseCase>& cases) {
  for (const TParseCase& c : cases) {
    TPDFStructure pool;
    size_t consumed = 12345;
    TPDFObject* object = pool.ParseAt(c.Input, consumed);
    ASSERT_NE(object, nullptr) << c.Input;
    EXPECT_EQ(object->Kind, c.Kind) << c.Input;
    EXPECT_EQ(object->Text(), c.Written) << c.Input;
    EXPECT_EQ(consumed, c.Consumed) << c.Input;
  }
}

TEST(PellarParser, Numbers) {
  CheckCases({
      {"12", 'n', "12", 2},
      {"-7 ", 'n', "-7", 2},
      {".5", 'n', "0.5", 2},
      {"-.5", 'n', "-0.5", 3},
      {"5.", 'n', "5", 2},
      {"1.2.3", 'n', "1.2", 3},  // ".3" is the next number
      {"--5", 'n', "0", 1},      // the token is a lone "-"
      {"-", 'n', "0", 1},
      {".", 'n', "0", 1},
      {"12345678", 'n', "12345678", 8},
      {"123456789", 'n', "123456789", 9},
      {"-12345678", 'n', "-12345678", 9},
      {"1234567890123", 'n', "1234567890123", 13},
      {"0.1234567891", 'n', "0.1235", 12},
      {"99999999999999999999", 'n', "0", 20},  // beyond 64 bits reads as 0
      {"3.14159x", 'n', "3.1416", 7},
      {"+3", '0', "null", 0},
  });
}

TEST(PellarParser, References) {
  CheckCases({
      {"12 0 R", 'I', "12 0 R", 6},
      {"12 0 Rx", 'I', "12 0 R", 6},  // nothing is required after the R
      {"12 0.5 R", 'I', "12 0 R", 8},
      {"12 3.9 R", 'I', "12 3 R", 8},
      {"12 R", 'I', "12 0 R", 4},  // no generation: 0
      {"12 %c\r 0 %d\n R", 'I', "12 0 R", 14},
      {"-5 0 R", 'I', "-5 0 R", 6},
      {"99999999999 0 R", 'I', "2147483647 0 R", 15},
      {"1.5 0 R", 'n', "1.5", 3},
      {"12 0 obj", 'n', "12", 2},
      {"12 0", 'n', "12", 2},
      {"12 -0 R", 'n', "12", 2},
      {"12 0 0 R", 'n', "12", 2},
  });
}

TEST(PellarParser, Keywords) {
  CheckCases({
      {"true", 'B', "true", 4},
      {"true]", 'B', "true", 4},
      {"false /A", 'B', "false", 5},
      {"null", '0', "null", 4},
      {"null(x)", '0', "null", 4},
      {"truex", '0', "null", 0},
      {"true}", '0', "null", 0},  // "}" is not a delimiter
      {"tru", '0', "null", 0},
      {"nullx", '0', "null", 0},
  });
  TPDFStructure pool;
  EXPECT_FALSE(static_cast<TPDFBoolean*>(pool.Parse("false"))->Value);
  EXPECT_TRUE(static_cast<TPDFBoolean*>(pool.Parse("true "))->Value);
}

TEST(PellarParser, Names) {
  struct {
    std::string Input;
    std::string Value;
    size_t Consumed;
  } cases[] = {
      {"/Type", "Type", 5},
      {"/A#20B", "A B", 6},
      {"/A#2", "A#2", 4},
      {"/A#2x", "A#2x", 5},
      {"/A#4a#4A", "AJJ", 8},
      {"/#23#23", "##", 7},
      {"/a}b", "a}b", 4},
      {"/A/B", "A", 2},
      {"/A[", "A", 2},
      {"/A{", "A", 2},
      {"/A\x0b", "A\x0b", 3},  // byte 11 is not whitespace
      {std::string("/A\0B", 4), "A", 2},
      {"/ ", "", 1},
  };
  for (const auto& c : cases) {
    TPDFStructure pool;
    size_t consumed;
    TPDFObject* object = pool.ParseAt(c.Input, consumed);
    ASSERT_EQ(object->Kind, 'N') << c.Input;
    auto* name = static_cast<TPDFName*>(object);
    EXPECT_EQ(name->Value, c.Value) << c.Input;
    EXPECT_FALSE(name->Common) << c.Input;
    EXPECT_EQ(consumed, c.Consumed) << c.Input;
  }
  TPDFStructure pool;
  EXPECT_EQ(pool.Parse("/")->Kind, '0');  // a lone "/" as the last byte reads as nothing
}

TEST(PellarParser, LiteralStrings) {
  struct {
    std::string Input;
    std::string Value;
  } cases[] = {
      {"(a\\(b)", "a(b"},
      {"(a(b)c)", "a(b)c"},
      {"(a\\)b)", "a)b"},
      {"(a\\\\)", "a\\"},
      {"(\\101)", "A"},
      {"(\\1a2)", Bytes({1}) + "a2"},
      {"(\\12)", "\n"},
      {"(\\0053)", Bytes({5}) + "3"},  // three digits at most
      {"(\\9)", Bytes({9})},
      {"(\\89)", Bytes({73})},         // 8 * 8 + 9
      {"(\\777)", Bytes({255})},       // 511 modulo 256
      {"(\\999)", Bytes({(9 * 64 + 9 * 8 + 9) % 256})},
      {"(a\\qb)", "a\\qb"},
      {"(\\n\\r\\t\\b\\f)", "\n\r\t\b\f"},
      {"(a\r\nb)", "a\nb"},
      {"(a\rb)", "a\nb"},
      {"(a\n\rb)", "a\n\nb"},
      {"(a\\\r\nb)", "ab"},
      {"(a\\\rb)", "ab"},
      {"(a\\\nb)", "ab"},
      {"(a\\\n\nb)", "a\nb"},
      {"()", ""},
      {std::string("(\0\x0b\xff)", 5), Bytes({0, 11, 255})},
      {"(a\\)", "a\\"},  // the backslash next to the end does not escape the ")"
  };
  for (const auto& c : cases) {
    TPDFStructure pool;
    size_t consumed;
    TPDFObject* object = pool.ParseAt(c.Input, consumed);
    ASSERT_EQ(object->Kind, 's') << c.Input;
    EXPECT_EQ(static_cast<TPDFString*>(object)->Value, c.Value) << c.Input;
    EXPECT_FALSE(static_cast<TPDFString*>(object)->IsHex);
    EXPECT_EQ(consumed, c.Input.size()) << c.Input;
  }
  CheckCases({
      {"(abc", '0', "null", 0},
      {"(a(b)", '0', "null", 0},
      {"(", '0', "null", 0},
      {"(a)b", 's', "(a)", 3},
  });
}

TEST(PellarParser, HexStrings) {
  struct {
    std::string Input;
    std::string Value;
    size_t Consumed;
  } cases[] = {
      {"<48 65 6C6C 6F>", "Hello", 15},
      {"<48656c6c6f>", "Hello", 12},
      {"<417>", "Ap", 5},
      {"<4G1>", "A", 5},  // junk is dropped
      {"<4\n1\t>", "A", 6},
      {"<>", "", 2},
      {"<a>", Bytes({0xA0}), 3},
      {"<41", "A", 3},  // unterminated: up to the end
      {"<41>>", "A", 4},
      {"<<>", "", 3},  // too short for a dictionary
  };
  for (const auto& c : cases) {
    TPDFStructure pool;
    size_t consumed;
    TPDFObject* object = pool.ParseAt(c.Input, consumed);
    ASSERT_EQ(object->Kind, 's') << c.Input;
    EXPECT_EQ(static_cast<TPDFString*>(object)->Value, c.Value) << c.Input;
    EXPECT_TRUE(static_cast<TPDFString*>(object)->IsHex);
    EXPECT_EQ(consumed, c.Consumed) << c.Input;
  }
  TPDFStructure pool;
  EXPECT_EQ(pool.Parse("<")->Kind, '0');
}

TEST(PellarParser, Arrays) {
  CheckCases({
      {"[1 2 3]", 'A', "[ 1 2 3 ]", 7},
      {"[]", 'A', "[ ]", 2},
      {"[ ]", 'A', "[ ]", 3},
      {"[1 2 +3]", 'A', "[ 1 2 ]", 5},  // stops at "+"; the "]" stays
      {"[1[2[3]]4]", 'A', "[ 1 [ 2 [ 3 ] ] 4 ]", 10},
      {"[/A/B(c)<64>true null 1 0 R]", 'A', "[ /A /B (c) <64> true null 1 0 R ]", 28},
      {"[1 2", 'A', "[ 1 2 ]", 4},
      {"[1 (abc]", 'A', "[ 1 ]", 3},
      {"[1 %c]\n2]", 'A', "[ 1 2 ]", 9},
      {"[1 %c5", 'A', "[ 1 ]", 6},  // a comment up to the end is no data
      {"[", '0', "null", 0},
      {"[--5]", 'A', "[ 0 -5 ]", 5},
      {"[1.2.3]", 'A', "[ 1.2 0.3 ]", 7},
  });
}

TEST(PellarParser, ArrayOfReferencesIsSizedOnce) {
  TPDFStructure pool;
  auto* array = static_cast<TPDFArray*>(pool.Parse("[1 0 R 2 0 R + 3 0 R]"));
  ASSERT_EQ(array->Kind, 'A');
  // Two "R" follow the first item up to "]": two slots reserved, one used before "+".
  EXPECT_EQ(array->Count(), 2);
  EXPECT_EQ(array->SpareCount(), 1);

  array = static_cast<TPDFArray*>(pool.Parse("[1 0 R 2 0 R 3 0 R]"));
  EXPECT_EQ(array->Count(), 3);
  EXPECT_EQ(array->SpareCount(), 0);
  array = static_cast<TPDFArray*>(pool.Parse("[1 /X R R R]"));  // first item not a reference
  EXPECT_EQ(array->SpareCount(), 0);
}

TEST(PellarParser, Dictionaries) {
  CheckCases({
      {"<< /A 1 /A 2 >>", 'D', "<<\n/A 2\n>>\n", 15},
      {"<< /A >>", 'D', "<<\n>>\n", 8},
      {"<<>>", 'D', "<<\n>>\n", 4},
      {"<</Type/Page/Kids[1 0 R]/N<<>>>>", 'D', "<<\n/Type /Page\n/Kids [ 1 0 R ]\n/N <<\n>>\n>>\n", 32},
      {"<< 1 2 >>", 'D', "<<\n>>\n", 6},   // a key that is not a name ends the dictionary
      {"<< /A 1", 'D', "<<\n/A 1\n>>\n", 7},
      {"<< /A (x >>", 'D', "<<\n>>\n", 6},
      {"<< /A 1 % c >>\n>>", 'D', "<<\n/A 1\n>>\n", 17},
  });
  TPDFStructure pool;
  auto* dictionary = static_cast<TPDFDictionary*>(pool.Parse("<< /A 1 /B 2 /A 3 >>"));
  ASSERT_EQ(dictionary->Count(), 2);
  EXPECT_EQ(dictionary->Entry(0).Key->Value, "A");  // replaced in its first position
  EXPECT_EQ(dictionary->GetInteger("A", 0), 3);
}

TEST(PellarParser, LargeDictionaryKeepsKeysUnique) {
  std::string text = "<<";
  for (int i = 0; i < 40; ++i) text += " /K" + std::to_string(i) + " " + std::to_string(i);
  text += " /K5 99 /K39 98 /New 1 /K0 97 >>";
  TPDFStructure pool;
  auto* dictionary = static_cast<TPDFDictionary*>(pool.Parse(text));
  ASSERT_EQ(dictionary->Kind, 'D');
  ASSERT_EQ(dictionary->Count(), 41);
  EXPECT_EQ(dictionary->IndexOfKey("K5"), 5);
  EXPECT_EQ(dictionary->GetInteger("K5", 0), 99);
  EXPECT_EQ(dictionary->GetInteger("K39", 0), 98);
  EXPECT_EQ(dictionary->GetInteger("K0", 0), 97);
  EXPECT_EQ(dictionary->IndexOfKey("New"), 40);
}

TEST(PellarParser, TopLevelWhitespaceAndComments) {
  CheckCases({
      {"", '0', "null", 0},
      {"   ", '0', "null", 2},  // the last byte is never skipped
      {" \r\n\t\f12", 'n', "12", 7},
      {std::string("\0 12", 4), 'n', "12", 4},
      {"% comment\n12", 'n', "12", 12},
      {"%a\r%b\n 7 ", 'n', "7", 8},
      {"%5", '0', "null", 2},  // the comment's last byte is not read as a number
      {"%", '0', "null", 1},
      {"\x0b 1", '0', "null", 0},  // byte 11 is not whitespace
      {"}", '0', "null", 0},
  });
}

TEST(PellarParser, NestingBeyondTheLimitReadsAsNothing) {
  auto nested = [](int depth, const std::string& open, const std::string& close) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open + " /K ";
    for (int i = 0; i < depth; ++i) text += close;
    return text;
  };
  TPDFStructure pool;
  EXPECT_EQ(pool.Parse(nested(256, "[", "]"))->Kind, 'A');
  EXPECT_EQ(pool.Parse(nested(256, "<<", ">>"))->Kind, 'D');
  size_t consumed = 1;
  EXPECT_EQ(pool.ParseAt(nested(257, "[", "]"), consumed)->Kind, '0');
  EXPECT_EQ(consumed, 0u);
  EXPECT_EQ(pool.Parse(nested(257, "<<", ">>"))->Kind, '0');
  EXPECT_EQ(pool.Parse("[" + nested(300, "<<", ">>") + "]")->Kind, '0');

  // Long runs of openers, and an unterminated string inside deep nesting.
  EXPECT_EQ(pool.Parse(std::string(4 << 20, '['))->Kind, '0');
  std::string dictionaries;
  for (int i = 0; i < 2 << 20; ++i) dictionaries += "<<";
  EXPECT_EQ(pool.Parse(dictionaries)->Kind, '0');
  auto* outer = static_cast<TPDFArray*>(pool.Parse(std::string(200, '[') + "(" + std::string(1 << 20, 'x')));
  ASSERT_EQ(outer->Kind, 'A');
  EXPECT_EQ(outer->Count(), 1);
}

TEST(PellarParser, ParsedObjectsBelongToThePoolInReadingOrder) {
  TPDFStructure pool;
  pool.NewNull();
  TPDFObject* object = pool.Parse("<< /A [1 (x)] >>");
  ASSERT_EQ(pool.Count(), 6);
  EXPECT_EQ(pool.Object(1), object);
  std::string kinds;
  for (int i = 1; i < pool.Count(); ++i) {
    kinds += pool.Object(i)->Kind;
    EXPECT_EQ(pool.Object(i)->Owner, &pool);
  }
  EXPECT_EQ(kinds, "DNAns");
}

TEST(PellarParser, UnescapeLiteral) {
  struct {
    std::string Token;
    std::string Bytes;
  } cases[] = {
      {"(\\12)", "\n"},
      {"(\\8)", "8"},
      {"(\\\\)", "\\"},
      {"(\\18)", Bytes({16})},   // "18" is accepted as two digits
      {"(\\101)", "A"},
      {"(\\778)", "?8"},         // 778 is too large, 77 is not
      {"(\\708)", Bytes({200})},  // 708 reads as 7 * 64 + 0 * 8 + 8
      {"(\\9)", "9"},
      {"(\\0053)", Bytes({5}) + "3"},
      {"(\\1)", Bytes({1})},
      {"(\\n\\r\\t\\b\\f\\(\\))", "\n\r\t\b\f()"},
      {"(a\\\r\nb)", "ab"},
      {"(a\\\rb)", "ab"},
      {"(a\\\nb)", "ab"},
      {"(a\r\nb)", "a\r\nb"},  // unescaped line ends are kept
      {"(a\\qb)", "aqb"},
      {"(a\\)", "a"},
      {"()", ""},
      {"(", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UnescapeLiteral(c.Token), c.Bytes) << c.Token;
}

TEST(PellarParser, DecodeHexToken) {
  struct {
    std::string Token;
    std::string Bytes;
  } cases[] = {
      {"<48656C6C6F>", "Hello"},
      {"<48 65 6c 6c 6f>", "Hello"},
      {"<417>", "Ap"},
      {"<4G>", Bytes({0})},        // "4G" is kept but is not hexadecimal
      {"<4G1>", Bytes({0, 0x10})},
      {"<4-1>", "A"},              // other bytes are dropped
      {"<41", ""},
      {"41>", ""},
      {"<>", ""},
      {">", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHexToken(c.Token), c.Bytes) << c.Token;
}

TEST(PellarParser, CharacterClasses) {
  std::string white, delimiters;
  for (int c = 0; c < 256; ++c) {
    if (IsPdfWhitespace(static_cast<unsigned char>(c))) white += static_cast<char>(c);
    if (IsPdfDelimiter(static_cast<unsigned char>(c))) delimiters += static_cast<char>(c);
  }
  EXPECT_EQ(white, Bytes({0, 9, 10, 12, 13, 32}));
  EXPECT_EQ(delimiters, "%()/<>[]{");
}

// The text begins with "stream"; the data start is counted from its first byte.
TEST(PellarParser, StreamDataStart) {
  constexpr size_t None = std::string_view::npos;
  const struct {
    std::string Text;
    size_t Start;
  } cases[] = {
      {"stream\nDATA", 7},
      {"stream\r\nDATA", 8},
      {"stream\rDATA", 7},
      {"stream\n\nDATA", 7},                      // one line end only
      {"stream\r\rDATA", 7},
      {"stream \t\f" + Bytes({0}) + "\r\nDATA", 12},  // blanks before the line end
      {"stream x\nDATA", None},                    // something else before the line end
      {"stream", None},
      {"stream  ", None},
      {"stream\n", 7},                             // empty data at the end of the text
  };
  for (const auto& c : cases) EXPECT_EQ(StreamDataStart(c.Text, 6), c.Start) << BytesToHex(c.Text);
}

TEST(PellarParser, TextFormsReadBackUnchanged) {
  const char* texts[] = {
      "<<\n/Type /Page\n/Kids [ 1 0 R 2 0 R ]\n/A#20B (a\\(b\\)\\\\\\r\\n)\n/H <00FF>\n/N -0.5\n>>\n",
      "[ true false null /#00#FF#7D 12 0 R ]",
  };
  for (const char* text : texts) {
    TPDFStructure pool;
    EXPECT_EQ(ParsedText(pool, text), text);
  }
}

}  // namespace

namespace {

// Inputs found by the parser fuzz target.
TEST(PellarParser, FuzzRegressions) {
  // An empty name before a dictionary: written as "/", which reads back as the empty
  // name only when something follows it.
  const std::string emptyName = "/<< /Length 12tPred/FlatPredictor 24 /Colum" +
                                Bytes({0x92, 0x8c, 0xdf, 0xca, 0xdf, 0xc1, 0xc1, 0xdf}) + ">>\nstream\n";
  TPDFStructure pool;
  size_t consumed;
  TPDFObject* object = pool.ParseAt(emptyName, consumed);
  ASSERT_EQ(object->Kind, 'N');
  EXPECT_EQ(static_cast<TPDFName*>(object)->Value, "");
  EXPECT_EQ(consumed, 1u);
  EXPECT_EQ(object->Text(), "/");
  EXPECT_EQ(ParsedText(pool, "/ "), "/");
  EXPECT_EQ(ParsedText(pool, "[ / ]"), "[ / ]");
}

}  // namespace
