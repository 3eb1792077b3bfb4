#include "pdf/PellarDocument.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "engine/PellarPageTree.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStreamData.h"
#include "pdf/PellarStructure.h"
#include "tests/support/EncryptedPdf.h"
#include "tests/support/Fixtures.h"
#include "tests/support/PdfWriter.h"

namespace {

const std::string Content = "BT /F1 12 Tf 72 700 Td (Hello) Tj ET";

std::string PageContent(TPDFDocument& doc, int32_t page) {
  doc.PageTree().SelectPage(page);
  return doc.PageTree().PageContent();
}

TPDFObject* Object(TPDFDocument& doc, int32_t number) {
  TPDFIndObj* record = doc.ObjectByNumber(number);
  return record ? doc.RecordObject(*record) : nullptr;
}

// A one-object file around `body` as object 1, with a catalog and pages tree after it.
std::string WithObject(const std::string& body) {
  TTestPdfWriter w;
  w.Add(body);
  const int pages = w.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  const int catalog = w.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  return w.Build(catalog);
}

}  // namespace

TEST(Document, HeadersAndVersions) {
  const std::string body = MakeTestPdf({Content});
  const std::string rest = body.substr(body.find('\n'));
  struct {
    const char* Name;
    std::string File;
    TPDFLoadResult Result;
    std::string Version;
  } cases[] = {
      {"plain", body, TPDFDocument::LoadOk, "1.4"},
      {"1.7", "%PDF-1.7" + rest, TPDFDocument::LoadOk, "1.7"},
      {"three-part version", "%PDF-1.7.1" + rest, TPDFDocument::LoadFailed, ""},
      {"no header", "%XYZ-1.4" + rest, TPDFDocument::LoadFailed, ""},
      {"empty", "", TPDFDocument::LoadFailed, ""},
  };
  for (const auto& c : cases) {
    TPDFDocument doc;
    EXPECT_EQ(doc.LoadFromBytes(c.File, u""), c.Result) << c.Name;
    EXPECT_EQ(doc.Version(), c.Version) << c.Name;
  }
}

TEST(Document, PostScriptMarkerGivesTheVersion) {
  const std::string marker = "%!PS-Adobe-3.0 PDF-1.3";
  TTestPdfWriter w;
  const int pages = w.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  const int catalog = w.Add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  TPDFDocument doc;
  EXPECT_EQ(doc.LoadFromBytes(w.Build(catalog, "", marker), u""), TPDFDocument::LoadOk);
  EXPECT_EQ(doc.Version(), "1.3");
}

TEST(Document, JunkBeforeTheHeaderIsDropped) {
  const std::string file = std::string(100, 'J') + MakeTestPdf({Content});
  TPDFDocument doc;
  ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
  EXPECT_EQ(doc.PageTree().PageCount(), 1);
  EXPECT_EQ(PageContent(doc, 1), " " + Content + " ");
}

// Twenty bytes of junk leave the cross-reference table within reach but the objects off their
// offsets, so the first try finds no usable encryption dictionary and refuses the password.
TEST(Document, JunkBeforeAnEncryptedFile) {
  for (size_t junk : {20, 100}) {
    const std::string file = std::string(junk, 'J') + Fixture("locked/empty-user-aes-256.pdf");
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk) << junk;
    EXPECT_NE(PageContent(doc, 1).find("(Hello) Tj"), std::string::npos) << junk;
    EXPECT_EQ(doc.LoadFromBytes(file, u"wrong"), TPDFDocument::LoadPasswordRejected) << junk;
  }
}

// The encryption dictionary (object 6) of a qpdf fixture, empty-user-aes-128.pdf unless
// another is named, written again by an update, with the changes given, and the objects added beside it.
std::string UpdatedEncryption(const std::vector<std::pair<std::string, std::string>>& changes,
                              const std::map<int, std::string>& added = {},
                              const std::string& fixture = "security/empty-user-aes-128.pdf") {
  std::string file = Fixture(fixture);
  const size_t begin = file.find("<<", file.find("6 0 obj"));
  std::string dict = file.substr(begin, file.find("endobj", begin) - begin);
  for (const auto& [from, to] : changes) dict.replace(dict.find(from), from.size(), to);
  std::map<int, std::string> objects = added;
  objects[6] = dict;
  const size_t id = file.find("/ID", file.rfind("trailer"));
  AppendUpdate(file, objects, "/Root 1 0 R /Size 12 /Encrypt 6 0 R " + file.substr(id, file.find(']', id) + 1 - id));
  return file;
}

const std::string StdCF = "<< /AuthEvent /DocOpen /CFM /AESV2 /Length 16 >>";

TEST(Document, EncryptionDictionaryEntriesThroughReferences) {
  const std::vector<std::pair<std::string, std::string>> cases[] = {
      {},
      {{"/CF << /StdCF " + StdCF + " >>", "/CF 10 0 R"}},
      {{StdCF, "11 0 R"}},
  };
  for (const auto& changes : cases) {
    // Object 10 holds the filters with /StdCF as a reference to 11.
    const std::string file = UpdatedEncryption(changes, {{10, "<< /StdCF 11 0 R >>"}, {11, StdCF}});
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk) << changes.size();
    EXPECT_EQ(PageContent(doc, 1), " " + SampleContentText + " ");
  }
}

// RC4 files whose key length reads neither as bits nor as bytes still open.
TEST(Document, UnexpectedKeyLengths) {
  struct {
    const char* Fixture;
    std::string From, To;
  } cases[] = {
      {"security/rc4-128.pdf", "/Length 128", "/Length 16"},
      {"security/rc4-128.pdf", "/Length 128", "/Length 4096"},
      {"security/rc4-128-v4.pdf", "/Length 16 >>", "/Length 3 >>"},
  };
  for (const auto& c : cases) {
    const std::string file = UpdatedEncryption({{c.From, c.To}}, {}, c.Fixture);
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(file, u"user"), TPDFDocument::LoadOk) << c.Fixture << c.To;
    EXPECT_EQ(PageContent(doc, 1), " " + SampleContentText + " ");
    EXPECT_EQ(doc.LoadFromBytes(file, u"wrong"), TPDFDocument::LoadPasswordRejected);
  }
}

// An AES-256 password written as Windows-1252 bytes opens the file given as text; UTF-8
// files keep answering to their UTF-8 bytes only.
TEST(Document, AES256PasswordsAsWindows1252) {
  const std::string file = Fixture("locked/cp1252-aes-256.pdf");
  TPDFDocument doc;
  ASSERT_EQ(doc.LoadFromBytes(file, u"p\u00e4ss"), TPDFDocument::LoadOk);
  EXPECT_NE(PageContent(doc, 1).find("(Hello) Tj"), std::string::npos);
  EXPECT_EQ(doc.LoadFromBytes(file, u"pass"), TPDFDocument::LoadPasswordRejected);
  EXPECT_EQ(doc.LoadFromBytes(Fixture("locked/latin-aes-256.pdf"), u"p\u00e4ss"), TPDFDocument::LoadOk);
}

// A crypt filter named /Identity leaves its class of data in clear. Object 10, added by the
// update, holds a string written in clear.
TEST(Document, IdentityCryptFilters) {
  const std::map<int, std::string> clear = {{10, "<< /T (Clear) >>"}};
  auto clearString = [](TPDFDocument& doc) {
    auto* dict = As<TPDFDictionary>(doc.RecordObject(*doc.ObjectByNumber(10)));
    auto* text = dict ? As<TPDFString>(dict->Get("T", false)) : nullptr;
    return text ? text->Value : std::string("-");
  };
  TPDFDocument doc;
  // Strings in clear, streams still decrypted.
  const std::string strings = UpdatedEncryption({{"/StrF /StdCF", "/StrF /Identity"}}, clear);
  ASSERT_EQ(doc.LoadFromBytes(strings, u""), TPDFDocument::LoadOk);
  EXPECT_EQ(PageContent(doc, 1), " " + SampleContentText + " ");
  EXPECT_EQ(clearString(doc), "Clear");

  // Only embedded files encrypted: any password opens, nothing is decrypted.
  const std::string plain = MakeTestPdf({Content});
  for (const std::u16string password : {u"", u"anything"}) {
    std::string file = plain;
    AppendUpdate(file, {{10, "<< /T (Clear) >>"}, {11, "<< /Filter /Standard /V 4 /R 4 /O <00> /U <00> /P -4 "
                                                          "/CF << /StdCF << /CFM /AESV2 >> >> /StmF /Identity "
                                                          "/StrF /Identity /EFF /StdCF >>"}},
                 "/Root 1 0 R /Size 12 /Encrypt 11 0 R");
    ASSERT_EQ(doc.LoadFromBytes(file, password), TPDFDocument::LoadOk);
    EXPECT_EQ(PageContent(doc, 1), " " + Content + " ");
    EXPECT_EQ(clearString(doc), "Clear");
  }
}

// Files whose cross-reference data fail or lead to no pages are read from their definitions.
TEST(Document, DamagedFilesAreRebuiltFromTheirDefinitions) {
  const std::string plain = MakeTestPdf({Content});
  std::string noRoot = plain;
  noRoot.replace(noRoot.rfind("/Root"), 5, "/Roof");
  const std::string newer = "BT /F1 12 Tf 72 700 Td (Newer) Tj ET";
  std::string brokenUpdate = plain;
  AppendUpdate(brokenUpdate, {{4, "<< /Length " + std::to_string(newer.size()) + " >>\nstream\n" + newer + "\nendstream"}},
               "/Root 1 0 R /Size 6");
  brokenUpdate.replace(brokenUpdate.rfind("xref\n4 1"), 4, "xrex");
  struct {
    const char* Name;
    std::string File, Content;
  } cases[] = {
      {"no table, no trailer: the catalog by its type", plain.substr(0, plain.find("xref")), Content},
      {"trailer without /Root", noRoot, Content},
      {"an update whose section is broken: its objects win", brokenUpdate, newer},
  };
  for (const auto& c : cases) {
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(c.File, u""), TPDFDocument::LoadOk) << c.Name;
    EXPECT_EQ(doc.PageTree().PageCount(), 1) << c.Name;
    EXPECT_EQ(PageContent(doc, 1), " " + c.Content + " ") << c.Name;
  }
  TPDFDocument doc;
  EXPECT_EQ(doc.LoadFromBytes("%PDF-1.4\n1 0 obj\n<< /Type /Pages >>\nendobj\n", u""), TPDFDocument::LoadFailed);
}

// The dictionary of the cross-reference stream is the trailer of a file without "startxref",
// and the objects of its encrypted object streams are read once the password is known.
TEST(Document, DamagedEncryptedFileWithObjectStreams) {
  for (const char* name : {"locked/rc4-40-objstm.pdf", "locked/aes-256-r6-objstm.pdf"}) {
    std::string file = Fixture(name);
    file.replace(file.rfind("startxref"), 9, "startxrex");
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(file, u"user"), TPDFDocument::LoadOk) << name;
    EXPECT_NE(PageContent(doc, 1).find("(Hello) Tj"), std::string::npos) << name;
    EXPECT_EQ(doc.LoadFromBytes(file, u"wrong"), TPDFDocument::LoadPasswordRejected) << name;
  }
}

TEST(Document, MissingPagesRootFails) {
  TTestPdfWriter w;
  const int catalog = w.Add("<< /Type /Catalog >>");
  TPDFDocument doc;
  EXPECT_EQ(doc.LoadFromBytes(w.Build(catalog), u""), TPDFDocument::LoadFailed);
  EXPECT_EQ(doc.ObjectCount(), 0);  // reset
  EXPECT_EQ(doc.PageTree().PageCount(), 0);
}

TEST(Document, ObjectReadingRules) {
  struct {
    const char* Name;
    std::string Body;
    char Kind;
    std::string Data;
  } cases[] = {
      {"stream", "<</Length 3>>stream\nabc\nendstream", TPDFObject::KindStream, "abc"},
      {"stream with CR LF", "<< /Length 3 >>\nstream\r\nabc\r\nendstream", TPDFObject::KindStream, "abc"},
      {"length too short", "<< /Length 1 >>\nstream\nabcdefghijkl\nendstream", TPDFObject::KindStream,
       "abcdefghijkl\n"},
      {"length past the object", "<< /Length 900 >>\nstream\nabc\nendstream", TPDFObject::KindStream, "abc"},
      {"indirect length without object", "<< /Length 77 0 R >>\nstream\nabc\nendstream",
       TPDFObject::KindDictionary, ""},
      {"no endstream", "<< /Length 3 >>\nstream\nabc", TPDFObject::KindDictionary, ""},
      {"array", "[1 2 3]", TPDFObject::KindArray, ""},
  };
  for (const auto& c : cases) {
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(WithObject(c.Body), u""), TPDFDocument::LoadOk) << c.Name;
    TPDFObject* object = Object(doc, 1);
    ASSERT_NE(object, nullptr) << c.Name;
    EXPECT_EQ(object->Kind, c.Kind) << c.Name;
    if (c.Kind == TPDFObject::KindStream) {
      auto* stream = static_cast<TPDFStream*>(object);
      EXPECT_EQ(stream->Data, c.Data) << c.Name;
      EXPECT_EQ(stream->Dictionary()->GetInteger("Length", -1), static_cast<int32_t>(c.Data.size())) << c.Name;
    }
    EXPECT_EQ(Object(doc, 1), object) << "read once";
  }
}

// The number of the first content stream of the selected page, whose /Contents the page tree
// has made an array.
int32_t ContentNumber(TPDFDocument& doc) {
  auto* contents = As<TPDFArray>(doc.PageTree().PageDictionary()->Get("Contents", true));
  auto* first = contents ? As<TPDFIndRef>(contents->Item(0)) : nullptr;
  return first ? first->Number : 0;
}

// Data let go come back from the file when the stream is read again, decrypted once more.
TEST(Document, ReleasedStreamDataComeBack) {
  const struct {
    const char* Name;
    std::string File;
    std::u16string Password;
  } files[] = {
      {"plain", MakeTestPdf({Content}), u""},
      {"RC4", Fixture("locked/rc4-40.pdf"), u"user"},
      {"AES-256", Fixture("locked/aes-256-r6.pdf"), u"owner"},
  };
  for (const auto& f : files) {
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(f.File, f.Password), TPDFDocument::LoadOk) << f.Name;
    const int32_t number = ContentNumber(doc);
    auto* stream = As<TPDFStream>(Object(doc, number));
    ASSERT_NE(stream, nullptr) << f.Name;
    const std::string data = stream->Data;
    EXPECT_NE(DecodedData(*stream).find("(Hello) Tj"), std::string::npos) << f.Name;
    for (int round = 1; round <= 2; ++round) {
      doc.ReleaseStreamData(number);
      EXPECT_EQ(stream->Data, "") << f.Name << round;
      EXPECT_EQ(stream->Dictionary()->GetInteger("Length", -1), 0) << f.Name << round;
      EXPECT_TRUE(doc.StreamDataUnread(number)) << f.Name << round;
      EXPECT_EQ(Object(doc, number), stream) << f.Name << round;  // the same object
      EXPECT_EQ(stream->Data, data) << f.Name << round;
      EXPECT_EQ(stream->Dictionary()->GetInteger("Length", -1), static_cast<int32_t>(data.size())) << f.Name;
      EXPECT_FALSE(doc.StreamDataUnread(number)) << f.Name << round;
    }
  }
}

// Object streams (compressed objects are read from them) and streams made in memory (the file
// does not hold their data) keep their data.
TEST(Document, SomeStreamsKeepTheirData) {
  TPDFDocument doc;
  ASSERT_EQ(doc.LoadFromBytes(Fixture("variants/objstm.pdf"), u""), TPDFDocument::LoadOk);
  std::vector<int32_t> kept;
  for (int i = 0; i < doc.ObjectCount(); ++i) {
    const TPDFIndObj& record = doc.ObjectAt(i);
    const auto* stream = As<TPDFStream>(record.Object);
    if (record.Parsed && stream && stream->Dictionary()->TypeName() == "ObjStm") kept.push_back(record.Number);
  }
  ASSERT_EQ(kept.size(), 1u);
  kept.push_back(doc.AddIndirectObject(doc.Pool().NewStream("made in memory", false))->Number);
  for (int32_t number : kept) {
    auto* stream = As<TPDFStream>(Object(doc, number));
    const std::string data = stream->Data;
    ASSERT_FALSE(data.empty());
    doc.ReleaseStreamData(number);
    EXPECT_EQ(stream->Data, data) << number;
    EXPECT_FALSE(doc.StreamDataUnread(number)) << number;
  }
  doc.ReleaseStreamData(99999);  // no such object
  EXPECT_FALSE(doc.StreamDataUnread(99999));
}

TEST(Document, HeaderMustMatchTheRecord) {
  std::string file = WithObject("(text)");
  file.replace(file.find("1 0 obj"), 7, "1 1 obj");
  TPDFDocument doc;
  ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
  EXPECT_EQ(Object(doc, 1)->Kind, TPDFObject::KindNull);
  EXPECT_EQ(Object(doc, 99), nullptr);
}

TEST(Document, NumberingRepairOfTablesStartingAtOne) {
  // Objects 1 to 3, but the table's subsection starts at 1 with a free first entry.
  std::string file = "%PDF-1.4\n";
  const size_t o1 = file.size();
  file += "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
  const size_t o2 = file.size();
  file += "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n";
  const size_t o3 = file.size();
  file += "3 0 obj\n<< /Type /Page /Parent 2 0 R >>\nendobj\n";
  const size_t xref = file.size();
  char entries[128];
  std::snprintf(entries, sizeof entries, "%010zu 00000 n \n%010zu 00000 n \n%010zu 00000 n \n", o1, o2, o3);
  file += "xref\n1 4\n0000000000 65535 f \n" + std::string(entries) + "trailer\n<< /Size 4 /Root 1 0 R >>\n" +
          "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
  TPDFDocument doc;
  ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
  EXPECT_EQ(doc.PageTree().PageCount(), 1);
  EXPECT_NE(doc.PageTree().PageDictionary(), nullptr);
}

TEST(Document, NewerFreeEntryDoesNotHideOlderObject) {
  std::string file = WithObject("(old)");
  const size_t end = file.size();
  file += "xref\n1 1\n0000000000 00001 f \ntrailer\n<< /Size 4 /Root 3 0 R /Prev " +
          file.substr(file.rfind("startxref") + 10, file.rfind("%%EOF") - file.rfind("startxref") - 11) +
          " >>\nstartxref\n" + std::to_string(end) + "\n%%EOF\n";
  TPDFDocument doc;
  ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
  TPDFObject* object = Object(doc, 1);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->Text(), "(old)");
}

// Tables that list nothing in a subsection (hybrid files and updates that change only the
// trailer write "0 0") still give every object.
TEST(Document, EmptySubsectionsAreValid) {
  const std::string plain = MakeTestPdf({Content});
  std::string before = plain;
  before.replace(before.find("xref\n"), 5, "xref\n0 0\n\n");
  std::string update = plain;
  const std::string prev = update.substr(update.rfind("startxref") + 10);
  const size_t end = update.size();
  update += "xref\r\n0 0\r\n" + std::string(40, ' ') + "\r\ntrailer\n<< /Size 6 /Root 1 0 R /Prev " +
            prev.substr(0, prev.find('\n')) + " >>\nstartxref\n" + std::to_string(end) + "\n%%EOF\n";
  for (const std::string& file : {before, update}) {
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
    EXPECT_EQ(doc.PageTree().PageCount(), 1);
    EXPECT_EQ(PageContent(doc, 1), " " + Content + " ");
  }
}

TEST(Document, BlankDocument) {
  TPDFDocument doc;
  ASSERT_TRUE(doc.NewBlankDocument());
  EXPECT_EQ(doc.Version(), "1.4");
  EXPECT_EQ(doc.PageTree().PageCount(), 1);
  EXPECT_EQ(doc.PageTree().CurrentPage(), 1);
  EXPECT_EQ(doc.PageTree().PageWidth(), 612);
  EXPECT_EQ(doc.PageTree().PageHeight(), 792);
  EXPECT_NE(doc.Trailer()->Get("Root", false), nullptr);
  EXPECT_NE(doc.Trailer()->Get("Info", false), nullptr);
  doc.SetInfoEntry("Producer", u"Vorbix");
  auto* producer = doc.InfoDictionary()->Get("Producer", true);
  ASSERT_NE(producer, nullptr);
  EXPECT_EQ(producer->Text(), "(Vorbix)");
  doc.SetInfoEntry("Producer", u"V\u00e9");  // replaces the string in place, as UTF-16BE
  EXPECT_EQ(doc.InfoDictionary()->Get("Producer", true), producer);
  EXPECT_EQ(static_cast<TPDFString*>(producer)->Value, std::string("\xfe\xff\x00V\x00\xe9", 6));
}

// tests/fixtures/variants: the three pages of MakeTestPdf({Content, "BT (Second) Tj ET",
// "BT (Third) Tj ET"}) rewritten by qpdf.
TEST(Document, QpdfVariantsLoadTheSamePages) {
  for (const char* variant : {"objstm", "linearized", "objstm-linearized", "qdf", "objstm-compressed"}) {
    TPDFDocument doc;
    ASSERT_EQ(doc.LoadFromBytes(Fixture(std::string("variants/") + variant + ".pdf"), u""), TPDFDocument::LoadOk)
        << variant;
    EXPECT_EQ(doc.PageTree().PageCount(), 3);
    EXPECT_NE(PageContent(doc, 1).find("(Hello) Tj"), std::string::npos) << variant;
    EXPECT_NE(PageContent(doc, 3).find("(Third) Tj"), std::string::npos) << variant;
    EXPECT_EQ(doc.Linearized(), std::string(variant).ends_with("linearized")) << variant;
  }
}

// tests/fixtures/locked: MakeTestPdf({Content}, "/Info << /Title (Secret title) >>") encrypted
// by qpdf, each without and with object streams.
TEST(Document, EncryptedFilesOpenWithEitherPassword) {
  struct {
    const char* File;
    std::u16string User;
  } methods[] = {
      {"rc4-40", u"user"},
      {"rc4-128", u"user"},
      {"aes-128", u"user"},
      {"aes-256-r5", u"user"},
      {"aes-256-r6", u"user"},
      {"empty-user-aes-256", u""},
      {"latin-aes-256", u"p\u00e4ss"},
      {"latin-aes-128", u"p\u00e4ss"},
  };
  for (const auto& method : methods) {
    for (const char* streams : {"", "-objstm"}) {
      const std::string name = std::string(method.File) + streams;
      const std::string file = Fixture("locked/" + name + ".pdf");
      for (const std::u16string& password : {method.User, std::u16string(u"owner")}) {
        TPDFDocument doc;
        ASSERT_EQ(doc.LoadFromBytes(file, password), TPDFDocument::LoadOk) << name;
        EXPECT_EQ(doc.EncryptionState(), TPDFEncryptionState::Supported);
        EXPECT_TRUE(doc.IsUnlocked());
        EXPECT_NE(PageContent(doc, 1).find("(Hello) Tj"), std::string::npos) << name;
        EXPECT_EQ(doc.InfoDictionary()->Get("Title", true)->Text(), "(Secret title)") << name;
      }
      TPDFDocument wrong;
      EXPECT_EQ(wrong.LoadFromBytes(file, u"wrong"), TPDFDocument::LoadPasswordRejected) << name;
      EXPECT_EQ(wrong.PageTree().PageCount(), 0);
    }
  }
}
