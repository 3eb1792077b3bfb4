#include "platform/Platform.h"

#include <gtest/gtest.h>

TEST(Platform, NarrowConversionReplacesWhatItCannotRepresent) {
  Platform::SetNarrowCodePage("ISO-8859-1");
  EXPECT_EQ(Platform::ToNarrow(u"a\u00e9\u4e2d\U0001F600b"), "a\xe9??b");
  EXPECT_EQ(Platform::FromNarrow("a\xe9"), u"a\u00e9");
  Platform::SetNarrowCodePage("UTF-8");
  EXPECT_EQ(Platform::ToNarrow(u"a\u00e9\u4e2d"), "a\xc3\xa9\xe4\xb8\xad");
  EXPECT_EQ(Platform::ToNarrow(std::u16string{u'a', char16_t(0xDC00), u'b', char16_t(0xD800)}), "a?b?");
  EXPECT_EQ(Platform::FromNarrow("a\xff" "b\xc3"), u"a\uFFFDb\uFFFD");
  Platform::SetNarrowCodePage("ANSI_X3.4-1968");  // the C locale counts as UTF-8
  EXPECT_EQ(Platform::NarrowCodePage(), "UTF-8");
  const std::u16string big(100000, u'\u00e9');
  EXPECT_EQ(Platform::FromNarrow(Platform::ToNarrow(big)), big);
}

TEST(Platform, AbsolutePathIsNormalised) {
  const std::u16string cwd = Platform::CurrentDirectory();
  struct {
    std::u16string In, Out;
  } cases[] = {
      {u"/a/./b//c/../d.pdf", u"/a/b/d.pdf"},
      {u"/../x", u"/x"},
      {u"/", u"/"},
      {u"/a/b/..", u"/a"},
  };
  for (const auto& c : cases) EXPECT_EQ(Platform::AbsolutePath(c.In), c.Out);
  EXPECT_EQ(Platform::AbsolutePath(u"x.pdf"), Platform::AbsolutePath(cwd + u"/x.pdf"));
  EXPECT_EQ(Platform::AbsolutePath(u"."), Platform::AbsolutePath(cwd));
}
