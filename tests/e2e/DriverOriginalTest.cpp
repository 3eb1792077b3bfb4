// Page text of files from real producers (tests/fixtures/README.md says how each was made),
// byte for byte: the content order reads what the page shows, and field values stand where
// a viewer draws them.
#include <gtest/gtest.h>

#include "tests/support/RunProcess.h"

TEST(DriverEndToEnd, PageTextOfProducedFiles) {
  struct Case {
    const char* Pdf;
    const char* Type;
    const char* Expected;
  };
  const Case cases[] = {
      // Fields and annotations after the page content, in /Annots order; the hidden field
      // and the note's icon show nothing.
      {"reportlab_fields.pdf", "ORIGINAL",
       "\r\n\r\nApplication form\r\nName:\r\nColour:\r\nEnd of page text\r\nAda Lovelace\r\nForest green\r\n"
       "Reviewed by the committee\r\n"},
      // Fields without appearances in a form that asks the viewer to make them.
      {"reportlab_need_appearances.pdf", "ORIGINAL", "\r\n\r\nOrder form\r\nGrace Hopper\r\nLarge\r\n"},
      {"reportlab_need_appearances.pdf", "POSITION",
       "@X=72.00,Y=717.52@Order form@ENDTEXT@\r\n@X=152.00,Y=688.00@Grace Hopper@ENDTEXT@\r\n"
       "@X=152.00,Y=648.00@Large@ENDTEXT@\r\n"},
      // Glyphs placed one by one: by Tm of their own scale, by text objects of their own, by
      // a Td to the line start and back, Chinese, and a label read upwards.
      {"reportlab_glyphs.pdf", "ORIGINAL",
       "\r\n\r\nQuarterly report \r\nassured delivery \r\nName and address\r\nStreet \r\n"
       "\xe4\xb8\x9c\xe5\x8c\x97\xe7\x94\xb5\xe6\xb0\x94\xe5\x8f\x91\xe5\xb1\x95 \r\n\r\n50,00 EUR\r\n"},
      // groff through ps2pdf: word gaps inside strings as character spacing of one space.
      {"groff_man.pdf", "ORIGINAL",
       "\r\n\r\nSAMPLE(1) User Commands SAMPLE(1)\r\nNAME \r\nsample - show how a manual page reads back \r\n"
       "SYNOPSIS \r\nsample [-v] [-o file] input... \r\nDESCRIPTION \r\nsample reads each input and writes a "
       "report. The paragraph is long enough to be filled and justified across \r\nthe whole line, so that "
       "groff stretches the spaces between the words and the PostScript output places each \r\nword on its "
       "own. \r\n-v Tell more about what happens. \r\n-o file Write the report to file instead of the "
       "standard output. \r\nVorbix tests 2024 1\r\n"},
  };
  const TTempDir scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Pdf) + " " + c.Type);
    const TProcessResult r = RunVorbix({std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/" + c.Pdf,
                                        scratch.File("out.txt"), "-T", std::string("-O") + c.Type});
    EXPECT_EQ(r.Stdout, c.Expected);
    EXPECT_EQ(r.ExitCode, 0);
  }
}
