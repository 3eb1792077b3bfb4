// Hostile files: each loads to its answer, and its pages can be walked, without a crash, a
// hang or an allocation the file cannot justify. Files come from the test PDF writer, patched
// where a structure has to be broken, or from the cross-reference stream writer below.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/PellarPageTree.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "pdf/PellarXRefReader.h"
#include "tests/support/FilterEncoders.h"
#include "tests/support/PdfWriter.h"

namespace {

std::string Ref(int number) { return std::to_string(number) + " 0 R"; }

std::string Digits10(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "%010ld", value);
  return text;
}

// The offset after the last "startxref".
long StartXref(const std::string& file) {
  return std::stol(file.substr(file.rfind("startxref") + 9));
}

// Replaces the first "0000000000" after `after` by the offset, in ten digits: no offset moves.
void Patch(std::string& file, const std::string& after, long offset) {
  const size_t at = file.find("0000000000", file.find(after));
  file.replace(at, 10, Digits10(offset));
}

// Appends an update section: one free entry, a trailer with the extra entries.
void AppendSection(std::string& file, const std::string& trailerExtra) {
  const long offset = static_cast<long>(file.size());
  file += "xref\n0 1\n0000000000 65535 f \ntrailer\n<< /Root 1 0 R " + trailerExtra + " >>\nstartxref\n" +
          std::to_string(offset) + "\n%%EOF\n";
}

// The content of each page from 1 to `upTo` (at most the page count), as gathered for the
// content-order extractor; "-" for a page that is not found. Size and resources are asked too.
std::vector<std::string> WalkPages(TPDFDocument& document, int32_t upTo = 64) {
  TPDFPageTree& tree = document.PageTree();
  std::vector<std::string> pages;
  for (int32_t n = 1; n <= tree.PageCount() && n <= upTo; ++n) {
    tree.SelectPage(n);
    const bool found = tree.CurrentPage() == n && tree.PageDictionary();
    EXPECT_GT(tree.PageWidth(), 0);
    EXPECT_GT(tree.PageHeight(), 0);
    if (found) {
      EXPECT_NE(tree.PageResources(), nullptr);
    }
    pages.push_back(found ? tree.PageContent() : "-");
  }
  return pages;
}

// What WalkPages gives for pages showing these contents (the engine's own empty stream ends each).
std::vector<std::string> Gathered(const std::vector<std::string>& contents) {
  std::vector<std::string> pages;
  for (const std::string& content : contents) pages.push_back(content == "-" ? "-" : " " + content + " ");
  return pages;
}

// A one-page document; the page's content object is written as given (its text between
// "4 0 obj" and "endobj"), and `pageExtra` goes into the page dictionary.
std::string OnePage(const std::string& contentBody, const std::string& pageExtra = "") {
  TTestPdfWriter w;
  w.Add("<< /Type /Catalog /Pages 2 0 R >>");
  w.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  w.Add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R " + pageExtra + " >>");
  w.Add(contentBody);
  return w.Build(1);
}

// A file whose cross-reference data is one stream (by default /W [1 4 2], not compressed). Objects are
// written in the file or placed into object streams; `Entry` writes an entry as it is given.
class TXRefStreamFile {
public:
  void Object(int number, const std::string& body) { Bodies[number] = body; }
  // An object stream holding the objects in this order, with the index as they need it.
  void ObjectStream(int number, const std::vector<std::pair<int, std::string>>& objects,
                    const std::string& extra = "") {
    std::string index, data;
    for (size_t i = 0; i < objects.size(); ++i) {
      index += std::to_string(objects[i].first) + " " + std::to_string(data.size()) + " ";
      data += objects[i].second + " ";
      Entries[objects[i].first] = {2, number, static_cast<int>(i)};
    }
    RawObjectStream(number, index, data, static_cast<int>(objects.size()), extra);
  }
  // An object stream with the index text, the objects' text and /N as given; no entries.
  void RawObjectStream(int number, const std::string& index, const std::string& data, int n,
                       const std::string& extra = "") {
    const std::string stream = index + data;
    std::string dict = "<< /Type /ObjStm /N " + std::to_string(n) + " /First " + std::to_string(index.size()) + " " +
                       extra;
    if (extra.find("/Length") == std::string::npos) dict += " /Length " + std::to_string(stream.size());
    Bodies[number] = dict + " >>\nstream\n" + stream + "\nendstream";
  }
  void Entry(int number, int type, int field2, int field3) { Entries[number] = {type, field2, field3}; }
  // The table is stored as its producers usually write it: Flate with PNG rows.
  bool Compressed = false;
  // The field widths of /W; bytes beyond the low four are written as zeros.
  std::array<int, 3> Widths = {1, 4, 2};

  std::string Build(int root, const std::string& trailerExtra = "") {
    std::string out = "%PDF-1.5\n%\xe2\xe3\xcf\xd3\n";
    int highest = 0;
    for (const auto& [number, body] : Bodies) {
      if (!Entries.count(number)) Entries[number] = {1, static_cast<int>(out.size()), 0};
      out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
      highest = std::max(highest, number);
    }
    for (const auto& entry : Entries) highest = std::max(highest, entry.first);
    const int self = highest + 1;
    Entries[self] = {1, static_cast<int>(out.size()), 0};
    std::string table;
    for (int n = 0; n <= self; ++n) {
      auto found = Entries.find(n);
      const TEntry e = found == Entries.end() ? TEntry{0, 0, 0} : found->second;
      const int values[3] = {e.Type, e.Field2, e.Field3};
      for (int i = 0; i < 3; ++i)
        for (int byte = Widths[i] - 1; byte >= 0; --byte)
          table += static_cast<char>(byte < 4 ? (values[i] >> (8 * byte)) & 0xFF : 0);
    }
    const int rowSize = Widths[0] + Widths[1] + Widths[2];
    std::string filter;
    if (Compressed) {
      table = ZlibCompress(PngUpRows(table, rowSize));
      filter = " /Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns " + std::to_string(rowSize) + " >>";
    }
    const long xref = static_cast<long>(out.size());
    out += std::to_string(self) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(self + 1) + " /W [" +
           std::to_string(Widths[0]) + " " + std::to_string(Widths[1]) + " " + std::to_string(Widths[2]) + "] /Root " +
           Ref(root) + " " + trailerExtra + filter + " /Length " + std::to_string(table.size()) + " >>\nstream\n" +
           table + "\nendstream\nendobj\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
  }

private:
  struct TEntry {
    int Type, Field2, Field3;
  };
  std::map<int, std::string> Bodies;
  std::map<int, TEntry> Entries;
};

// Catalog 1, page-tree root 2 with the page 3, whose content stream 4 shows "(P1)".
void WriteOnePageTree(TXRefStreamFile& f, bool pageInStream) {
  f.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  f.Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  if (!pageInStream) f.Object(3, "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>");
  f.Object(4, "<< /Length 4 >>\nstream\n(P1)\nendstream");
}

struct TLoadCase {
  const char* Name;
  std::string File;
  TPDFLoadResult Result;
  std::vector<std::string> Pages;  // gathered content per page, "-" for not found
};

void ExpectLoads(const std::vector<TLoadCase>& cases) {
  for (const TLoadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFDocument document;
    ASSERT_EQ(document.LoadFromBytes(c.File, u""), c.Result);
    EXPECT_EQ(WalkPages(document), c.Pages);
  }
}

// ---- Cross-reference chains

std::string PrevToItself() {
  std::string file = MakeTestPdf({"(P1)"}, "/Prev 0000000000");
  Patch(file, "/Prev", StartXref(file));
  return file;
}

std::string PrevIntoEachOther() {
  std::string file = MakeTestPdf({"(P1)"}, "/Prev 0000000000");
  const long base = StartXref(file);
  AppendSection(file, "/Size 6 /Prev " + std::to_string(base));
  Patch(file, "/Prev 0000000000", StartXref(file));
  return file;
}

std::string XRefStmToItself() {
  std::string file = MakeTestPdf({"(P1)"}, "/XRefStm 0000000000");
  Patch(file, "/XRefStm", StartXref(file));
  return file;
}

// The newest section names the older one in /Prev, which names the newest in /XRefStm.
std::string XRefStmBackToNewest() {
  std::string file = MakeTestPdf({"(P1)"}, "/XRefStm 0000000000");
  const long base = StartXref(file);
  AppendSection(file, "/Size 6 /Prev " + std::to_string(base));
  Patch(file, "/XRefStm 0000000000", StartXref(file));
  return file;
}

std::string ManyUpdates(int count) {
  std::string file = MakeTestPdf({"(P1)"});
  for (int i = 0; i < count; ++i) AppendSection(file, "/Size 6 /Prev " + std::to_string(StartXref(file)));
  return file;
}

TEST(LoadRegression, CrossReferenceChainsEndAtASectionReadBefore) {
  const std::vector<std::string> onePage = Gathered({"(P1)"});
  std::string prevPastEnd = MakeTestPdf({"(P1)"}, "/Prev 2000000000");
  std::string startPastEnd = MakeTestPdf({"(P1)"});
  startPastEnd.replace(startPastEnd.rfind("startxref") + 10, std::to_string(StartXref(startPastEnd)).size(),
                       "2000000000");
  ExpectLoads({
      {"/Prev names its own section", PrevToItself(), TPDFDocument::LoadOk, onePage},
      {"two sections name each other in /Prev", PrevIntoEachOther(), TPDFDocument::LoadOk, onePage},
      {"/XRefStm names its own section", XRefStmToItself(), TPDFDocument::LoadOk, onePage},
      {"/XRefStm leads back to the newest section", XRefStmBackToNewest(), TPDFDocument::LoadOk, onePage},
      {"/XRefStm past the end is not used", MakeTestPdf({"(P1)"}, "/XRefStm 2000000000"), TPDFDocument::LoadOk,
       onePage},
      {"/Prev negative ends the chain", MakeTestPdf({"(P1)"}, "/Prev -40"), TPDFDocument::LoadOk, onePage},
      // Both leave the cross-reference data unreadable: the objects are found where they are defined.
      {"/Prev past the end fails the chain", prevPastEnd, TPDFDocument::LoadOk, onePage},
      {"startxref past the end", startPastEnd, TPDFDocument::LoadOk, onePage},
      {"3000 incremental updates", ManyUpdates(3000), TPDFDocument::LoadOk, onePage},
  });
}

// A chain of sound sections whose trailers each name, in /XRefStm, a table that claims entries
// up to the end of the file. Those reads fail and are not used, but reading each of them to
// the end would cost sections times file size: the bytes read as entries stay bounded by the
// file instead.
TEST(LoadRegression, TablesClaimingTheRestOfTheFileAreReadWithinTheFile) {
  const int sections = 3000;
  std::string file = "%PDF-1.4\n";
  std::vector<long> claims;
  for (int i = 0; i < sections; ++i) {
    claims.push_back(static_cast<long>(file.size()));
    file += "xref\n0 99999999\n";
  }
  long previous = 0;
  for (int i = 0; i < sections; ++i) {
    const long offset = static_cast<long>(file.size());
    file += "xref\n0 1\n0000000000 65535 f \ntrailer\n<< /Size 1 /XRefStm " + std::to_string(claims[i]) +
            (previous ? " /Prev " + std::to_string(previous) : "") + " >>\n";
    previous = offset;
  }
  file += "startxref\n" + std::to_string(previous) + "\n%%EOF\n";

  TPDFXRefReader reader(file);
  int64_t entries = 0;
  reader.OnEntry = [&](int32_t, int32_t, char, int32_t) { ++entries; };
  EXPECT_TRUE(reader.ReadSection(reader.FindStartXref()));
  EXPECT_TRUE(reader.IsHybrid);
  EXPECT_GE(entries, sections);  // every sound section's own entry
  EXPECT_LE(entries, sections + 2 * static_cast<int64_t>(file.size()) / 18);
}

TEST(LoadRegression, CrossReferenceStreamsReadOnlyTheirData) {
  const std::vector<std::string> onePage = Gathered({"(P1)"});
  auto withTrailer = [](const std::string& extra) {
    TXRefStreamFile f;
    WriteOnePageTree(f, false);
    return f.Build(1, extra);
  };
  // The objects numbered 20 to 23: their entries are the last rows of the compressed table.
  const std::string compressedTable = [] {
    TXRefStreamFile f;
    f.Object(20, "<< /Type /Catalog /Pages 21 0 R >>");
    f.Object(21, "<< /Type /Pages /Kids [22 0 R] /Count 1 >>");
    f.Object(22, "<< /Type /Page /Parent 21 0 R /Contents 23 0 R >>");
    f.Object(23, "<< /Length 4 >>\nstream\n(P1)\nendstream");
    f.Compressed = true;
    return f.Build(20);
  }();
  auto compressedPage = [](const std::string& pageStream, std::array<int, 3> widths = {1, 4, 2}) {
    TXRefStreamFile f;
    WriteOnePageTree(f, true);
    f.ObjectStream(5, {{3, "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>"}}, pageStream);
    f.Widths = widths;
    f.Compressed = true;
    return f.Build(1);
  };
  std::string claimsTooMany = withTrailer("");
  claimsTooMany.replace(claimsTooMany.find("/W [1 4 2]"), 10, "/W [1 4 2] /Index [0 2000000000]");
  ExpectLoads({
      {"sound cross-reference stream", withTrailer(""), TPDFDocument::LoadOk, onePage},
      {"Flate with PNG rows", compressedTable, TPDFDocument::LoadOk, onePage},
      {"/Index claims two billion entries", claimsTooMany, TPDFDocument::LoadOk, onePage},
      {"/Prev of the stream names the stream", withTrailer("/Prev " + std::to_string(StartXref(withTrailer("")))),
       TPDFDocument::LoadOk, onePage},
      {"page inside an object stream", compressedPage(""), TPDFDocument::LoadOk, onePage},
      {"fields wider than four bytes", compressedPage("", {1, 4, 6}), TPDFDocument::LoadOk, onePage},
      {"every field wider than four bytes", compressedPage("", {5, 8, 6}), TPDFDocument::LoadOk, onePage},
      {"object stream /N of two billion", compressedPage("/N 2000000000"), TPDFDocument::LoadOk, {"-"}},
      {"object stream /First past its data", compressedPage("/First 99999"), TPDFDocument::LoadOk, {"-"}},
  });
}

// ---- Objects and streams past their bounds

TEST(LoadRegression, ObjectsAndStreamsPastTheirBounds) {
  std::string pagePastEnd = OnePage("<< /Length 4 >>\nstream\n(P1)\nendstream");
  // The page's entry (the fourth of the table) points past the end of the file.
  const size_t table = pagePastEnd.find("0000000000 65535 f", static_cast<size_t>(StartXref(pagePastEnd)));
  pagePastEnd.replace(table + 20 * 3, 10, "1999999999");
  ExpectLoads({
      {"page offset past the end is read where the page is defined", pagePastEnd, TPDFDocument::LoadOk,
       Gathered({"(P1)"})},
      {"/Length past the end takes the data up to endstream",
       OnePage("<< /Length 99999999 >>\nstream\n(P1)\nendstream"), TPDFDocument::LoadOk, Gathered({"(P1)"})},
      {"negative /Length takes the data up to endstream", OnePage("<< /Length -5 >>\nstream\n(P1)\nendstream"),
       TPDFDocument::LoadOk, Gathered({"(P1)\n"})},
      {"/Length past the end without endstream stays a dictionary",
       OnePage("<< /Length 99999999 >>\nstream\n(P1)"), TPDFDocument::LoadOk, Gathered({""})},
      {"/Length names the stream itself", OnePage("<< /Length 4 0 R >>\nstream\n(P1)\nendstream"),
       TPDFDocument::LoadOk, Gathered({""})},
      {"/Length names a missing object", OnePage("<< /Length 99 0 R >>\nstream\n(P1)\nendstream"),
       TPDFDocument::LoadOk, Gathered({""})},
  });
}

// ---- Object streams that lead back to themselves

TEST(LoadRegression, ObjectStreamsThatLeadBackEndAsNull) {
  auto build = [](auto&& fill) {
    TXRefStreamFile f;
    WriteOnePageTree(f, true);
    fill(f);
    return f.Build(1);
  };
  const std::string page = "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>";
  ExpectLoads({
      {"the page names its own number as its object stream", build([](TXRefStreamFile& f) { f.Entry(3, 2, 3, 0); }),
       TPDFDocument::LoadOk, {"-"}},
      {"two object streams name each other", build([&](TXRefStreamFile& f) {
         f.ObjectStream(5, {{3, page}});
         f.Entry(5, 2, 6, 0);
         f.Entry(6, 2, 5, 0);
       }),
       TPDFDocument::LoadOk, {"-"}},
      {"an object stream's /Length lies inside it", build([&](TXRefStreamFile& f) {
         f.ObjectStream(5, {{3, page}, {6, "999"}}, "/Length 6 0 R");
       }),
       TPDFDocument::LoadOk, {"-"}},
      {"an object stream's /Length lies in another object stream", build([&](TXRefStreamFile& f) {
         f.ObjectStream(5, {{3, page}}, "/Length 6 0 R");
         f.ObjectStream(7, {{6, std::to_string(std::string("3 0 " + page + " ").size())}});
       }),
       TPDFDocument::LoadOk, Gathered({"(P1)"})},
  });
}

// Object texts inside an object stream never overlap, whatever its index claims.
TEST(LoadRegression, ObjectStreamTextsEndAtTheNextObject) {
  struct TCase {
    const char* Name;
    std::string Index;
    std::string Data;
    int Count;
    std::map<int, std::string> Texts;  // object number -> raw text
  };
  const std::vector<TCase> cases = {
      {"ascending offsets", "20 0 21 5 22 10 ", "(aaa)(bbb)(ccc)", 3,
       {{20, "20 0 obj\r(aaa)"}, {21, "21 0 obj\r(bbb)"}, {22, "22 0 obj\r(ccc) "}}},
      {"equal neighbours: the first is empty", "20 0 21 0 22 5 ", "(aaa)(bbb)", 3,
       {{20, "20 0 obj\r"}, {21, "21 0 obj\r(aaa)"}, {22, "22 0 obj\r(bbb) "}}},
      {"descending next offset gives null", "20 5 21 0 ", "(aaa)(bbb)", 2,
       {{20, "20 0 obj\rnull\rendobj"}, {21, "21 0 obj\r(aaa)"}}},
      {"offsets that come back: the last at an offset keeps it", "20 0 21 5 22 0 23 5 ", "(aaa)(bbb)", 4,
       {{20, "20 0 obj\r"}, {21, "21 0 obj\rnull\rendobj"}, {22, "22 0 obj\r(aaa)"}, {23, "23 0 obj\r(bbb) "}}},
      {"an index number that differs", "20 0 99 5 ", "(aaa)(bbb)", 2,
       {{20, "20 0 obj\r(aaa)"}, {21, "21 0 obj\rnull\rendobj"}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TXRefStreamFile f;
    WriteOnePageTree(f, false);
    f.RawObjectStream(10, c.Index, c.Data + " ", c.Count);
    int index = 0;
    for (const auto& text : c.Texts) f.Entry(text.first, 2, 10, index++);
    TPDFDocument document;
    ASSERT_EQ(document.LoadFromBytes(f.Build(1), u""), TPDFDocument::LoadOk);
    for (const auto& [number, text] : c.Texts) {
      TPDFIndObj* record = document.ObjectByNumber(number);
      ASSERT_NE(record, nullptr);
      EXPECT_EQ(document.RawObjectText(*record), text) << number;
    }
  }
}

// /Length values that each lie in the next object stream: a short chain is read through, a
// long one ends once the reads nest too deep, without exhausting the stack.
std::string LengthChain(int links) {
  TXRefStreamFile f;
  f.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  f.Object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  f.Object(3, "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>");
  f.Object(4, "<< /Length 100 0 R >>\nstream\n(P1)\nendstream");
  std::string length = "4";
  for (int k = 0; k < links; ++k) {
    const int held = 100 + 2 * k, stream = held + 1;
    const std::string index = std::to_string(held) + " 0 ";
    const std::string data = length + " ";
    const std::string extra = k + 1 < links ? "/Length " + Ref(stream + 1) : "";
    f.RawObjectStream(stream, index, data, 1, extra);
    f.Entry(held, 2, stream, 0);
    length = std::to_string(index.size() + data.size());
  }
  return f.Build(1);
}

TEST(LoadRegression, LengthChainsThroughObjectStreams) {
  ExpectLoads({
      {"three links", LengthChain(3), TPDFDocument::LoadOk, Gathered({"(P1)"})},
      {"five thousand links", LengthChain(5000), TPDFDocument::LoadOk, Gathered({""})},
  });
}

// ---- Page trees

// Pages 3, 4, ... show "(P1)", "(P2)", ...; the root is 2 with the kids and /Count given
// ("P<k>" in the kids text stands for a reference to page k).
std::string TreeFile(const std::string& kids, long count, int pageCount, const std::vector<std::string>& extraObjects,
                     const std::string& pageExtra = "/Parent 2 0 R /MediaBox [0 0 200 100]") {
  TTestPdfWriter w;
  w.Add("<< /Type /Catalog /Pages 2 0 R >>");
  const int root = w.Reserve();
  std::vector<int> pages;
  for (int k = 1; k <= pageCount; ++k) {
    const int stream = w.AddStream("", "(P" + std::to_string(k) + ")");
    pages.push_back(w.Add("<< /Type /Page " + pageExtra + " /Contents " + Ref(stream) + " >>"));
  }
  for (const std::string& body : extraObjects) w.Add(body);
  std::string kidsText;
  for (size_t i = 0; i < kids.size(); ++i) {
    size_t end = i + 1;
    while (end < kids.size() && std::isdigit(static_cast<unsigned char>(kids[end]))) ++end;
    if (kids[i] == 'P' && end > i + 1) {
      kidsText += Ref(pages[static_cast<size_t>(std::stoi(kids.substr(i + 1, end - i - 1)) - 1)]);
      i = end - 1;
    } else {
      kidsText += kids[i];
    }
  }
  w.Set(root, "<< /Type /Pages /Kids [" + kidsText + "] /Count " + std::to_string(count) + " >>");
  return w.Build(1);
}

// Objects after three pages start at 9.
TEST(LoadRegression, PageTreesWithCycles) {
  const std::vector<std::string> three = Gathered({"(P1)", "(P2)", "(P3)"});
  const std::string childBackToRoot = "<< /Type /Pages /Count 3 /Kids [2 0 R] >>";
  const std::string childOfItself = "<< /Type /Pages /Count 3 /Kids [9 0 R] >>";
  const std::string parentLoop = "/Parent 9 0 R";
  ExpectLoads({
      {"a kid leads back to the root", TreeFile("9 0 R", 3, 3, {childBackToRoot}), TPDFDocument::LoadOk,
       {"-", "-", "-"}},
      {"a node is its own kid", TreeFile("9 0 R", 3, 3, {childOfItself}), TPDFDocument::LoadOk, {"-", "-", "-"}},
      {"a node after the pages leads back", TreeFile("P1 P2 P3 9 0 R", 4, 3, {childBackToRoot}),
       TPDFDocument::LoadOk, Gathered({"(P1)", "(P2)", "(P3)", "-"})},
      {"the root is its own kid after the pages", TreeFile("P1 P2 P3 2 0 R", 5, 3, {}), TPDFDocument::LoadOk,
       Gathered({"(P1)", "(P2)", "(P3)", "-", "-"})},
      {"pages whose /Parent chain is a loop", TreeFile("P1 P2 P3", 3, 3, {"<< /Parent 9 0 R >>"}, parentLoop),
       TPDFDocument::LoadOk, three},
      {"negative /Count: the pages are counted", TreeFile("P1 P2 P3", -3, 3, {}), TPDFDocument::LoadOk, three},
  });
}

// With a parent loop and no /MediaBox the size is the default one.
TEST(LoadRegression, PageSizeAcrossAParentLoop) {
  TPDFDocument document;
  ASSERT_EQ(document.LoadFromBytes(TreeFile("P1", 1, 1, {"<< /Parent 5 0 R >>"}, "/Parent 5 0 R"), u""),
            TPDFDocument::LoadOk);
  EXPECT_DOUBLE_EQ(document.PageTree().PageWidth(), 612);
  EXPECT_DOUBLE_EQ(document.PageTree().PageHeight(), 792);
}

// A chain of /Pages nodes, each the only kid of the one before, with the page at the bottom.
std::string DeepTree(int levels) {
  std::vector<std::string> nodes;
  for (int k = 0; k < levels; ++k) {
    const std::string kid = k + 1 < levels ? Ref(6 + k) : Ref(4);
    nodes.push_back("<< /Type /Pages /Count 1 /Kids [" + kid + "] >>");
  }
  return TreeFile(levels > 0 ? "5 0 R" : "P1", 1, 1, nodes);
}

TEST(LoadRegression, DeepTreesEndAtTheirDepthBound) {
  ExpectLoads({
      {"200 levels", DeepTree(200), TPDFDocument::LoadOk, Gathered({"(P1)"})},
      {"5000 levels", DeepTree(5000), TPDFDocument::LoadOk, {"-"}},
  });
}

// Kids with a non-reference first entry keep the flat shortcut away: every page is found by
// the search, and walking them (forwards or backwards) gives the same numbering.
TEST(LoadRegression, SearchedTreesNumberPagesAsTheSearchDoes) {
  const int count = 5000;
  std::string kids = "<< /Type /Page >> ";
  std::vector<std::string> expected;
  for (int k = 1; k <= count; ++k) {
    kids += "P" + std::to_string(k) + " ";
    expected.push_back(" (P" + std::to_string(k) + ") ");
  }
  const std::string file = TreeFile(kids, count, count, {});
  for (bool backwards : {false, true}) {
    SCOPED_TRACE(backwards ? "backwards" : "forwards");
    TPDFDocument document;
    ASSERT_EQ(document.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
    TPDFPageTree& tree = document.PageTree();
    for (int i = 0; i < count; ++i) {
      const int n = backwards ? count - i : i + 1;
      tree.SelectPage(n);
      ASSERT_EQ(tree.CurrentPage(), n);
      ASSERT_EQ(tree.PageContent(), expected[static_cast<size_t>(n - 1)]);
    }
  }
}

// /Count values that disagree with the tree: a node whose /Kids is missing passes its count
// on only to numbers beyond it, and a negative count sends the counter back.
TEST(LoadRegression, DisagreeingCountsNumberPagesInAnyOrder) {
  struct TCase {
    const char* Name;
    std::string File;
    std::vector<int> Order;
    std::vector<std::string> Expected;  // per page number
  };
  const std::string noKids = "<< /Type /Pages /Count 2 >>";
  // /Count one above the kids keeps the flat shortcut away. Objects after four pages start
  // at 11, after three at 9. In the second file, node 9 holds pages 1 and 2 but counts 5, and
  // node 10 counts -2: the last kid is met with the counter at 3 by searches that pass both
  // nodes, yet a search for 4 enters node 9 and finds nothing there.
  const std::string withNoKids = TreeFile("P1 11 0 R P2 P3 P4", 6, 4, {noKids});
  const std::string withNegative =
      TreeFile("9 0 R 10 0 R P3", 10, 3,
               {"<< /Type /Pages /Count 5 /Kids [4 0 R 6 0 R] >>", "<< /Type /Pages /Count -2 /Kids [] >>"});
  const std::vector<std::string> noKidsPages = Gathered({"(P1)", "(P2)", "(P3)", "(P2)", "(P3)", "(P4)"});
  const std::vector<std::string> negativePages = Gathered({"(P1)", "(P2)", "-", "-", "-", "-", "-", "-", "-", "-"});
  const std::vector<TCase> cases = {
      {"node without kids, forwards", withNoKids, {1, 2, 3, 4, 5, 6}, noKidsPages},
      {"node without kids, backwards", withNoKids, {6, 5, 4, 3, 2, 1}, noKidsPages},
      {"negative count, forwards", withNegative, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, negativePages},
      {"negative count, from the end", withNegative, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, negativePages},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFDocument document;
    ASSERT_EQ(document.LoadFromBytes(c.File, u""), TPDFDocument::LoadOk);
    TPDFPageTree& tree = document.PageTree();
    std::vector<std::string> seen(c.Expected.size());
    for (int n : c.Order) {
      tree.SelectPage(n);
      seen[static_cast<size_t>(n - 1)] = tree.CurrentPage() == n && tree.PageDictionary() ? tree.PageContent() : "-";
    }
    EXPECT_EQ(seen, c.Expected);
  }
}

// A root /Count that is not positive or exceeds the object count (every page is an object)
// gives way to the pages found by walking the tree, each node entered once; a plausible
// /Count stands. The walk would otherwise run over two billion pages.
TEST(LoadRegression, ImplausibleCountsGiveWayToTheTree) {
  auto repeat = [](const std::string& item, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += item + " ";
    return out;
  };
  // Root: 1000 x node 5; node 5: 1000 x node 6; node 6: 2000 x the one page.
  const std::string shared =
      TreeFile(repeat("5 0 R", 1000), 2000000000, 1,
               {"<< /Type /Pages /Count 2000000 /Kids [" + repeat("6 0 R", 1000) + "] >>",
                "<< /Type /Pages /Count 2000 /Kids [" + repeat(Ref(4), 2000) + "] >>"});
  TTestPdfWriter rootIsPage;
  rootIsPage.Add("<< /Type /Catalog /Pages 2 0 R >>");
  rootIsPage.Add("<< /Type /Page /MediaBox [0 0 200 100] /Contents 3 0 R >>");
  rootIsPage.AddStream("", "(P1)");
  struct {
    const char* Name;
    std::string File;
    int32_t Count;
    std::vector<std::string> FirstPages;
  } cases[] = {
      {"two billion", TreeFile("P1 P2 P3", 2000000000, 3, {}), 3, Gathered({"(P1)", "(P2)", "(P3)"})},
      {"zero", TreeFile("P1 P2", 0, 2, {}), 2, Gathered({"(P1)", "(P2)"})},
      {"plausible but wrong stands", TreeFile("P1 P2 P3", 2, 3, {}), 2, Gathered({"(P1)", "(P2)"})},
      {"nodes sharing their kids", shared, 2000, Gathered({"(P1)", "(P1)", "(P1)"})},
      {"/Pages names a page", rootIsPage.Build(1), 1, Gathered({"(P1)"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPDFDocument document;
    ASSERT_EQ(document.LoadFromBytes(c.File, u""), TPDFDocument::LoadOk);
    EXPECT_EQ(document.PageTree().PageCount(), c.Count);
    EXPECT_EQ(WalkPages(document, static_cast<int32_t>(c.FirstPages.size())), c.FirstPages);
  }
}

// ---- Nesting

TEST(LoadRegression, DeeplyNestedObjectsReadAsNothing) {
  const std::string deepArray = std::string(100000, '[') + std::string(100000, ']');
  const std::string deepDict = [] {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "<</A ";
    for (int i = 0; i < 50000; ++i) text += ">>";
    return text;
  }();
  TTestPdfWriter w;
  w.Add("<< /Type /Catalog /Pages 2 0 R >>");
  w.Add("<< /Type /Pages /Kids [" + deepArray + " 3 0 R] /Count 1 >>");
  w.Add("<< /Type /Page /Parent 2 0 R >>");
  const std::string deepKids = w.Build(1);
  ExpectLoads({
      {"page holds a deep array", OnePage("<< /Length 4 >>\nstream\n(P1)\nendstream", "/Deep " + deepArray),
       TPDFDocument::LoadOk, {"-"}},
      {"content object is a deep dictionary", OnePage(deepDict), TPDFDocument::LoadOk, Gathered({""})},
      {"trailer holds a deep array: the catalog is found by its type", MakeTestPdf({"(P1)"}, "/Deep " + deepArray),
       TPDFDocument::LoadOk, Gathered({"(P1)"})},
      {"kids start with a deep array", deepKids, TPDFDocument::LoadFailed, {}},
  });
}

// ---- Numbers of new objects

// The table names the highest object number there is: objects made in memory (the engine's
// own content stream of the selected page) take the lowest free numbers instead.
TEST(LoadRegression, NewObjectsAfterTheHighestNumberTakeFreeNumbers) {
  std::string file = MakeTestPdf({"(P1)"});
  const long xref = StartXref(file);
  const std::string top = "2147483647 1\n0000000009 00000 n \n";
  file.insert(static_cast<size_t>(file.find("trailer", static_cast<size_t>(xref))), top);
  TPDFDocument document;
  ASSERT_EQ(document.LoadFromBytes(file, u""), TPDFDocument::LoadOk);
  ASSERT_NE(document.ObjectByNumber(2147483647), nullptr);
  // Objects 1 to 5 are the file's; selecting page 1 made the marked stream 6.
  TPDFIndObj* made = document.ObjectByNumber(6);
  ASSERT_NE(made, nullptr);
  ASSERT_EQ(made->Object->Kind, TPDFObject::KindStream);
  EXPECT_EQ(static_cast<TPDFStream*>(made->Object)->Dictionary()->Get("LC")->Text(), "/iMRV");
  TPDFIndObj* next = document.AddIndirectObject(document.Pool().NewNull());
  EXPECT_EQ(next->Number, 7);
  EXPECT_EQ(document.ObjectByNumber(7), next);
  EXPECT_EQ(WalkPages(document), Gathered({"(P1)"}));
}

// ---- Linearization

// A linearization dictionary of many keys is emptied at once, not entry by entry.
TEST(LoadRegression, LargeLinearizationDictionaryIsEmptied) {
  std::string keys;
  for (int i = 0; i < 20000; ++i) keys += "/K" + std::to_string(i) + " " + std::to_string(i) + " ";
  TTestPdfWriter w;
  w.Add("<< /Linearized 1 " + keys + ">>");
  w.Add("<< /Type /Catalog /Pages 3 0 R >>");
  w.Add("<< /Type /Pages /Kids [4 0 R] /Count 1 >>");
  w.Add("<< /Type /Page /Parent 3 0 R /Contents 5 0 R >>");
  w.AddStream("", "(P1)");
  TPDFDocument document;
  ASSERT_EQ(document.LoadFromBytes(w.Build(2), u""), TPDFDocument::LoadOk);
  EXPECT_TRUE(document.Linearized());
  TPDFIndObj* record = document.ObjectByNumber(1);
  ASSERT_NE(record, nullptr);
  TPDFObject* dict = document.RecordObject(*record);
  ASSERT_EQ(dict->Kind, TPDFObject::KindDictionary);
  EXPECT_EQ(static_cast<TPDFDictionary*>(dict)->Count(), 0);
  EXPECT_EQ(WalkPages(document), Gathered({"(P1)"}));
}

// ---- Content gathering

// /Contents that names one stream a thousand times: the stream is decoded once and the
// gathered content stops at the limit asked for.
TEST(LoadRegression, RepeatedContentStreamsStayWithinTheLimit) {
  std::string refs;
  for (int i = 0; i < 1000; ++i) refs += "4 0 R ";
  const std::string compressed = ZlibCompress("abc");
  TTestPdfWriter w;
  w.Add("<< /Type /Catalog /Pages 2 0 R >>");
  w.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  w.Add("<< /Type /Page /Parent 2 0 R /Contents [" + refs + "] >>");
  w.AddStream("/Filter /FlateDecode", compressed);
  TPDFDocument document;
  ASSERT_EQ(document.LoadFromBytes(w.Build(1), u""), TPDFDocument::LoadOk);
  TPDFPageTree& tree = document.PageTree();
  std::string full;
  for (int i = 0; i < 1000; ++i) full += " abc";
  full += " ";
  EXPECT_EQ(tree.PageContent(), full);
  for (size_t limit : {0, 1, 2, 3, 4, 5, 4001, 4002}) EXPECT_EQ(tree.PageContent(limit), full.substr(0, limit));
}

// A content stream whose data is whole but whose Adler-32 checksum is wrong reads whole.
TEST(LoadRegression, ContentWithABadChecksumReads) {
  const std::string content = "BT /F1 12 Tf 72 700 Td (Checked) Tj ET";
  TTestPdfWriter w;
  w.Add("<< /Type /Catalog /Pages 2 0 R >>");
  w.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  w.Add("<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>");
  w.AddStream("/Filter /FlateDecode", ZlibWithBadChecksum(content));
  TPDFDocument document;
  ASSERT_EQ(document.LoadFromBytes(w.Build(1), u""), TPDFDocument::LoadOk);
  EXPECT_EQ(document.PageTree().PageContent(), " " + content + " ");
}

}  // namespace
