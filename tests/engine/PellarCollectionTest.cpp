// Pages read the same when the objects the pages before them read are let go of.
#include <gtest/gtest.h>

#include "engine/Pellar.h"
#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarStructure.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LongDocument.h"
#include "tests/support/RunProcess.h"

// A collection before every page (any stream data read make one due) against none: the same
// text in every option the front end uses, also for objects of object streams and encrypted
// objects read again; and the pool holds as much for a late page as for a like early one.
TEST(PellarCollection, PagesReadTheSameAfterTheirObjectsAreLetGo) {
  const struct {
    const char* Name;
    std::string Bytes;
    std::u16string Password;
  } cases[] = {
      {"long document", MakeLongTestPdf(40), u""},
      {"object streams", Fixture("variants/objstm.pdf"), u""},
      {"RC4 in object streams", Fixture("locked/rc4-128-objstm.pdf"), u"user"},
      {"AES-256", Fixture("locked/aes-256-r6.pdf"), u"owner"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    dir.Write("doc.pdf", c.Bytes);
    TPellar kept, collected;
    ASSERT_EQ(kept.LoadFile(AsciiToWideForTest(dir.File("doc.pdf")), c.Password), 1);
    ASSERT_EQ(collected.LoadFile(AsciiToWideForTest(dir.File("doc.pdf")), c.Password), 1);
    TPDFDocument& doc = *collected.CurrentDocument();
    kept.CurrentDocument()->CollectAfterObjects = kept.CurrentDocument()->CollectAfterStreamBytes = INT64_MAX;
    doc.CollectAfterStreamBytes = 0;
    std::vector<int> pool{0};  // the pool's size with each page selected and read
    for (int32_t page = 1; page <= kept.PageCount(); ++page) {
      for (int32_t option : {0, 3, 7}) {
        kept.SelectPage(page);
        collected.SelectPage(page);
        std::u16string expected, text;
        kept.PageText(option, expected);
        collected.PageText(option, text);
        EXPECT_TRUE(text == expected) << "page " << page << ", option " << option;
      }
      pool.push_back(doc.Pool().Count());
    }
    // Pages 5 and 35 are alike (the same place in their /Pages node, the same kind of resources).
    if (pool.size() > 35) {
      EXPECT_EQ(pool[35], pool[5]);
    }
    EXPECT_GT(kept.CurrentDocument()->Pool().Count(), doc.Pool().Count());
  }
}
