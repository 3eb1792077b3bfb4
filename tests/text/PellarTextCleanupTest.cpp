// The one-pass cleanup must give what the plain repeated searches from the start give.
#include "text/PellarTextCleanup.h"

#include <gtest/gtest.h>

#include <random>

#include "pdf/PellarConvert.h"

namespace {

std::u16string RepeatedSearches(std::u16string text) {
  for (size_t at; (at = text.find(u"\r\n \r\n")) != std::u16string::npos;) text.erase(at, 3);
  for (size_t at; (at = text.find(u"\r\n\r\n\r\n")) != std::u16string::npos;) text.erase(at, 4);
  for (char16_t& c : text)
    if (c == 0) c = u' ';
  return TrimSpaces(text);
}

std::u16string Cleaned(std::u16string text) {
  CleanExtractedText(text);
  return text;
}

}  // namespace

TEST(PellarTextCleanup, ExactResults) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"a\r\n \r\n \r\nb", u"a\r\nb"},
      {u"a\r\n\r\n\r\n\r\n\r\nb", u"a\r\nb"},
      {u"a\r\n\r\n\r\n\r\nb", u"a\r\n\r\nb"},
      // The first rule's deletion makes a run for the second.
      {u"\r\n\r\n\r\n \r\n", u"\r\n"},
      {u"\r\r\n\n", u"\r\r\n\n"},
      {std::u16string(u"  a\0b \t ", 8), u"a b \t"},
      {u"   ", u""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Cleaned(in), out) << UTF16ToUTF8(in);
}

TEST(PellarTextCleanup, SameAsRepeatedSearchesOnRandomTexts) {
  std::mt19937 random(12);
  const char16_t alphabet[] = {u'\r', u'\n', u' ', u'a', u'\0'};
  for (int round = 0; round < 50000; ++round) {
    std::u16string text(random() % 40, u'a');
    // Mostly line breaks and spaces, so that long runs and nested matches occur.
    for (char16_t& c : text) c = random() % 8 < 6 ? alphabet[random() % 3] : alphabet[random() % 5];
    ASSERT_EQ(Cleaned(text), RepeatedSearches(text)) << UTF16ToUTF8(text);
  }
}
