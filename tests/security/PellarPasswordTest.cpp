#include <gtest/gtest.h>

#include <string>

#include "security/PellarPassword.h"
#include "tests/support/TestBytes.h"

namespace {

TEST(PellarPassword, Windows1252Bytes) {
  struct TCase {
    std::u16string Password;
    std::string Bytes;
  };
  const TCase cases[] = {
      {u"", ""},
      {u"user 123", "user 123"},
      {u"caf\u00e9", "caf\xe9"},
      {u"\u00a0\u00ff", "\xa0\xff"},
      {u"\u20ac\u2122\u0178\u017e", "\x80\x99\x9f\x9e"},  // the letters Windows-1252 keeps at 0x80 to 0x9F
      {u"\u0081\u009d", "??"},                             // unassigned there
      {u"\u03a9x", "?x"},                                  // outside the code page
      {u"a\U0001F600b", "a?b"},                            // one "?" for a surrogate pair
      {u"\xd800" u"a\xdc00", "?a?"},                       // unpaired surrogates
  };
  for (const TCase& c : cases) EXPECT_EQ(PasswordToWindows1252(c.Password), c.Bytes);
}

TEST(PellarPassword, UTF8BytesAreCutTo127) {
  EXPECT_EQ(PasswordToUTF8(u"p\u00e4ss\u20ac"), "p\xc3\xa4ss\xe2\x82\xac");
  EXPECT_EQ(PasswordToUTF8(std::u16string(200, u'x')), std::string(127, 'x'));
  // The cut counts bytes, so it may split a character as the writers' cut does.
  EXPECT_EQ(PasswordToUTF8(std::u16string(126, u'x') + u"\u00e4").size(), 127u);
}

TEST(PellarPassword, PaddingAndItsRemoval) {
  EXPECT_EQ(PadPassword(""), PasswordPadding);
  EXPECT_EQ(BytesToHex(PasswordPadding), "28bf4e5e4e758a4164004e56fffa01082e2e00b6d0683e802f0ca9fe6453697a");
  EXPECT_EQ(PadPassword("user"), "user" + PasswordPadding.substr(0, 28));
  EXPECT_EQ(PadPassword(std::string(40, 'z')), std::string(32, 'z'));
  struct TCase {
    std::string Padded, Password;
  };
  const TCase cases[] = {
      {PadPassword(""), ""},
      {PadPassword("user"), "user"},
      {PadPassword("a("), "a("},  // ends with the padding's first byte, yet is not padding
      {std::string(32, 'z'), std::string(32, 'z')},
      {"", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(UnpadPassword(c.Padded), c.Password) << c.Password;
}

}  // namespace
