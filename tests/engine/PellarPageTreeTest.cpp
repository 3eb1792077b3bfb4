#include "engine/PellarPageTree.h"

#include <gtest/gtest.h>

#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "tests/support/PdfWriter.h"

namespace {

// A document whose objects are given as (number, body); object 1 is the catalog.
struct TTreeDoc {
  explicit TTreeDoc(const std::vector<std::pair<int, std::string>>& objects) {
    TTestPdfWriter w;
    for (const auto& [number, body] : objects) w.Set(number, body);
    Result = Doc.LoadFromBytes(w.Build(1), u"");
  }
  TPDFPageTree& Tree() { return Doc.PageTree(); }
  // The /Name of the page dictionary found for page n, or "none".
  std::string NameOf(int32_t n) {
    TPDFDictionary* page = Tree().FindPage(n);
    if (!page) return "none";
    TPDFObject* name = page->Get("Name", true);
    return name ? name->Text() : "?";
  }
  TPDFDocument Doc;
  TPDFLoadResult Result;
};

const std::pair<int, std::string> Catalog{1, "<< /Type /Catalog /Pages 2 0 R >>"};

}  // namespace

TEST(PageTree, FindPageThroughFlatAndNestedTrees) {
  TTreeDoc flat({Catalog,
                 {2, "<< /Type /Pages /Count 3 /Kids [3 0 R 4 0 R 5 0 R] >>"},
                 {3, "<< /Type /Page /Name /A >>"},
                 {4, "<< /Type /Page /Name /B >>"},
                 {5, "<< /Type /Page /Name /C >>"}});
  ASSERT_EQ(flat.Result, TPDFDocument::LoadOk);
  EXPECT_EQ(flat.NameOf(2), "/B");
  EXPECT_EQ(flat.NameOf(0), "none");
  EXPECT_EQ(flat.NameOf(4), "none");

  TTreeDoc nested({Catalog,
                   {2, "<< /Type /Pages /Count 3 /Kids [3 0 R 6 0 R] >>"},
                   {3, "<< /Type /Pages /Count 2 /Kids [4 0 R 5 0 R] >>"},
                   {4, "<< /Type /Page /Name /A >>"},
                   {5, "<< /Type /Page /Name /B >>"},
                   {6, "<< /Type /Page /Name /C >>"}});
  EXPECT_EQ(nested.NameOf(1), "/A");
  EXPECT_EQ(nested.NameOf(2), "/B");
  EXPECT_EQ(nested.NameOf(3), "/C");

  // A direct page dictionary in /Kids is neither entered nor counted.
  TTreeDoc direct({Catalog,
                   {2, "<< /Type /Pages /Count 2 /Kids [<< /Type /Page /Name /X >> 3 0 R 4 0 R] >>"},
                   {3, "<< /Type /Page /Name /A >>"},
                   {4, "<< /Type /Page /Name /B >>"}});
  EXPECT_EQ(direct.NameOf(1), "/A");
  EXPECT_EQ(direct.NameOf(2), "/B");

  // Counts that disagree with the tree decide the numbering.
  TTreeDoc small({Catalog,
                  {2, "<< /Type /Pages /Count 3 /Kids [3 0 R 6 0 R] >>"},
                  {3, "<< /Type /Pages /Count 1 /Kids [4 0 R 5 0 R] >>"},
                  {4, "<< /Type /Page /Name /A >>"},
                  {5, "<< /Type /Page /Name /B >>"},
                  {6, "<< /Type /Page /Name /C >>"}});
  EXPECT_EQ(small.NameOf(2), "/C");
  EXPECT_EQ(small.NameOf(3), "none");
}

TEST(PageTree, HostileTreesEndPromptly) {
  // A /Kids entry that leads back to an ancestor, and a /Count larger than the object count:
  // the pages are counted by a walk that enters each node once.
  TTreeDoc cycle({Catalog,
                  {2, "<< /Type /Pages /Count 2000000000 /Kids [3 0 R] >>"},
                  {3, "<< /Type /Pages /Count 2000000000 /Kids [2 0 R 4 0 R] >>"},
                  {4, "<< /Type /Page /Name /A >>"}});
  ASSERT_EQ(cycle.Result, TPDFDocument::LoadOk);
  EXPECT_EQ(cycle.Tree().PageCount(), 1);
  EXPECT_EQ(cycle.NameOf(1), "/A");
  EXPECT_EQ(cycle.NameOf(1999999999), "none");
  cycle.Tree().SelectPage(5);
  EXPECT_EQ(cycle.Tree().CurrentPage(), 1);

  TTreeDoc negative({Catalog, {2, "<< /Type /Pages /Count -5 /Kids [] >>"}});
  EXPECT_EQ(negative.Tree().PageCount(), 0);
}

TEST(PageTree, SelectPageKeepsTheCurrentPageOutOfRange) {
  TTreeDoc doc({Catalog,
                {2, "<< /Type /Pages /Count 2 /Kids [3 0 R 4 0 R] >>"},
                {3, "<< /Type /Page /Name /A >>"},
                {4, "<< /Type /Page /Name /B >>"}});
  TPDFPageTree& tree = doc.Tree();
  EXPECT_EQ(tree.CurrentPage(), 1);  // loading selects page 1
  tree.SelectPage(2);
  EXPECT_EQ(tree.CurrentPage(), 2);
  for (int32_t n : {0, 3, -1}) {
    tree.SelectPage(n);
    EXPECT_EQ(tree.CurrentPage(), 2);
    EXPECT_EQ(tree.PageDictionary()->Get("Name", true)->Text(), "/B");
  }
}

TEST(PageTree, ContentStreamsEndWithAMarkedStream) {
  TTreeDoc doc({Catalog,
                {2, "<< /Type /Pages /Count 4 /Kids [3 0 R 4 0 R 6 0 R 8 0 R] >>"},
                {3, "<< /Type /Page >>"},
                {4, "<< /Type /Page /Contents 5 0 R >>"},
                {5, "<< /Length 3 >>\nstream\nq Q\nendstream"},
                {6, "<< /Type /Page /Contents [5 0 R 7 0 R 5 0 R] >>"},
                {7, "<< /Not /AStream >>"},
                {8, "<< /Type /Page /Contents << /Length 0 >> >>"}});
  TPDFPageTree& tree = doc.Tree();
  tree.SelectPage(1);
  EXPECT_EQ(tree.ContentStreamCount(), 1);
  EXPECT_EQ(tree.PageContent(), " ");
  tree.SelectPage(2);
  EXPECT_EQ(tree.ContentStreamCount(), 2);
  EXPECT_EQ(tree.PageContent(), " q Q ");
  tree.SelectPage(2);  // selecting again adds nothing more
  EXPECT_EQ(tree.ContentStreamCount(), 2);
  tree.SelectPage(3);  // the entry that is no stream becomes an empty one
  EXPECT_EQ(tree.PageContent(), " q Q  q Q ");
  tree.SelectPage(4);  // a direct dictionary: no content streams
  EXPECT_EQ(tree.ContentStreamCount(), 0);
  EXPECT_EQ(tree.PageContent(), "");
  EXPECT_EQ(tree.StreamText(7), "");
}

// A walk lets go of the content data each page read once another page is selected; they come
// back when a page shows them again. A stream read before its page keeps its data.
TEST(PageTree, ContentDataOfPagesLeftAreLetGo) {
  TTreeDoc doc({Catalog,
                {2, "<< /Type /Pages /Count 3 /Kids [3 0 R 4 0 R 5 0 R] >>"},
                {3, "<< /Type /Page /Contents 6 0 R >>"},
                {4, "<< /Type /Page /Contents [7 0 R 8 0 R] >>"},
                {5, "<< /Type /Page /Contents 6 0 R >>"},
                {6, "<< /Length 3 >>\nstream\n(A)\nendstream"},
                {7, "<< /Length 3 >>\nstream\n(B)\nendstream"},
                {8, "<< /Length 3 >>\nstream\n(C)\nendstream"}});
  TPDFIndObj& read = *doc.Doc.ObjectByNumber(8);
  TPDFObject* const kept = doc.Doc.RecordObject(read);  // read before its page
  TPDFObject* const first = doc.Doc.ObjectByNumber(6)->Object;  // read for page 1 at loading
  const struct {
    int32_t Page;
    std::string Content;
    std::vector<int32_t> Released, Held;
  } steps[] = {
      {2, " (B) (C) ", {6}, {7, 8}},
      {3, " (A) ", {7}, {6, 8}},
      {1, " (A) ", {7}, {6, 8}},
      {2, " (B) (C) ", {6}, {7, 8}},
  };
  for (const auto& step : steps) {
    doc.Tree().SelectPage(step.Page);
    EXPECT_EQ(doc.Tree().PageContent(), step.Content) << step.Page;
    for (int32_t n : step.Released) EXPECT_TRUE(doc.Doc.StreamDataUnread(n)) << step.Page << ": " << n;
    for (int32_t n : step.Held) EXPECT_FALSE(doc.Doc.StreamDataUnread(n)) << step.Page << ": " << n;
  }
  EXPECT_EQ(doc.Doc.ObjectByNumber(6)->Object, first);  // read again into the same object
  EXPECT_EQ(read.Object, kept);
}

TEST(PageTree, SizesAndResourcesAreInherited) {
  TTreeDoc doc({Catalog,
                {2, "<< /Type /Pages /Count 3 /Kids [3 0 R 4 0 R 5 0 R] /MediaBox [0 0 200 100] "
                    "/Resources << /Font << >> >> >>"},
                {3, "<< /Type /Pages /Count 1 /Kids [6 0 R] >>"},
                {4, "<< /Type /Page /MediaBox [612 792 0 0] /Resources 9 0 R >>"},
                {5, "<< /Type /Page /MediaBox [0 0 (x) 50] /Resources (bad) >>"},
                {6, "<< /Type /Page /Parent 3 0 R >>"},
                {9, "<< /ProcSet [/PDF] >>"}});
  TPDFPageTree& tree = doc.Tree();
  // Page 1 sits in node 3, whose parent chain leads nowhere (no /Parent on node 3).
  tree.SelectPage(1);
  EXPECT_EQ(tree.PageWidth(), 200);  // the root's direct /MediaBox
  EXPECT_EQ(tree.PageHeight(), 100);
  TPDFDictionary* res = tree.PageResources();
  ASSERT_NE(res, nullptr);
  EXPECT_EQ(res->Count(), 0);  // node 3 has none: resources come only from the direct parent
  tree.SelectPage(2);
  EXPECT_EQ(tree.PageWidth(), 612);
  EXPECT_EQ(tree.PageHeight(), 792);
  EXPECT_NE(tree.PageResources()->Get("ProcSet", false), nullptr);
  tree.SelectPage(3);
  EXPECT_EQ(tree.PageWidth(), 0);  // a non-number counts as 0
  EXPECT_EQ(tree.PageHeight(), 50);
  EXPECT_EQ(tree.PageResources()->Count(), 0);
}

TEST(PageTree, MediaBoxFoundThroughTheParentChain) {
  TTreeDoc doc({Catalog,
                {2, "<< /Type /Pages /Count 1 /Kids [3 0 R] /MediaBox [0 0 300 400] >>"},
                {3, "<< /Type /Pages /Count 1 /Kids [4 0 R] /Parent 2 0 R >>"},
                {4, "<< /Type /Page /Parent 3 0 R >>"}});
  EXPECT_EQ(doc.Tree().PageWidth(), 300);
  EXPECT_EQ(doc.Tree().PageHeight(), 400);
  // A /Parent loop ends the walk and gives the default size.
  TTreeDoc loop({Catalog,
                 {2, "<< /Type /Pages /Count 1 /Kids [3 0 R] >>"},
                 {3, "<< /Type /Page /Parent 4 0 R >>"},
                 {4, "<< /Type /Pages /Parent 4 0 R >>"}});
  EXPECT_EQ(loop.Tree().PageWidth(), 612);
  EXPECT_EQ(loop.Tree().PageHeight(), 792);
}

// The media box's corners come in reverse; the view puts its lower left corner at the origin.
TEST(PageTree, RotationAndView) {
  struct Case {
    const char* Rotate;  // the page's entries
    int32_t Rotation;
    TPDFMatrix View;
  };
  const TPDFMatrix identity = IdentityMatrix;
  const Case cases[] = {
      {"", 0, identity},
      {"/Rotate 90", 90, {0, -1, 1, 0, -20, 110}},
      {"/Rotate -90", 270, {0, 1, -1, 0, 220, -10}},
      {"/Rotate 540", 180, {-1, 0, 0, -1, 110, 220}},
      {"/Rotate 90.5", 0, identity},
      {"/Rotate /R90", 0, identity},
      {"/Rotate 1e400", 0, identity},
      {"/Parent 2 0 R", 270, {0, 1, -1, 0, 220, -10}},  // the parent's
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Rotate);
    TTreeDoc doc({Catalog,
                  {2, "<< /Type /Pages /Count 1 /Kids [3 0 R] /Rotate 270 >>"},
                  {3, std::string("<< /Type /Page /MediaBox [110 220 10 20] ") + c.Rotate + " >>"}});
    EXPECT_EQ(doc.Tree().PageRotation(), c.Rotation);
    EXPECT_EQ(doc.Tree().ViewMatrix(), c.View);
  }
}
