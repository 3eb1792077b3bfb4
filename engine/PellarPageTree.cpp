#include "engine/PellarPageTree.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_set>

#include "fonts/PellarFontCache.h"
#include "pdf/PellarStreamData.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "fonts/PellarFontCollection.h"
#include "text/PellarRenderer.h"
#include "text/PellarExtractor.h"
#include "text/PellarTextFunnel.h"

namespace {

// Page trees are shallow; anything deeper is taken as damaged.
constexpr size_t MaxTreeDepth = 256;
// How far one search remembers the pages after the one it found, and the smallest bound of
// the page cache.
constexpr int64_t FollowingPagesPerSearch = 1024;
constexpr size_t MinPageCache = 4096;
constexpr size_t MarkedStreamLimit = 500000;
constexpr double DefaultWidth = 612;
constexpr double DefaultHeight = 792;


double NumberAt(TPDFArray* array, int i) {
  auto* n = As<TPDFNumeric>(array->Item(i));
  return n && std::isfinite(n->Value) ? n->Value : 0;
}

// A page's entry, or its nearest /Pages ancestor's; a chain longer than any real tree is a loop.
TPDFObject* InheritedEntry(TPDFDictionary* page, const char* key) {
  TPDFDictionary* node = page;
  for (size_t depth = 0; node && depth < MaxTreeDepth; ++depth) {
    if (TPDFObject* entry = node->Get(key, true)) return entry;
    node = As<TPDFDictionary>(node->Get("Parent", true));
  }
  return nullptr;
}

bool IsMarked(TPDFStream* stream) {
  auto* mark = As<TPDFName>(stream->Dictionary()->Get("LC", false));
  return mark && mark->Value == "iMRV";
}

}  // namespace

TPDFPageTree::TPDFPageTree(TPDFDocument& document, TPDFDictionary* root)
    : Document(document), Root(root), Fonts(std::make_unique<TPDFFontCache>()) {
  if (!Root) return;
  // Every page is an object of the file: a larger /Count is damage, and one of two billion
  // would make a walk over the pages run for hours.
  const int32_t stored = Root->GetInteger("Count", 0);
  if (Root->TypeName() == "Page" || stored <= 0 || stored > Document.ObjectCount()) WalkTree();
  SelectPage(1);
}

void TPDFPageTree::WalkTree() {
  Walked = true;
  if (Root->TypeName() == "Page") {
    WalkedPages.push_back({RootNumber, RootNumber});
    return;
  }
  // Each node is entered once, so that cycles and nodes sharing their kids cost one visit.
  std::unordered_set<TPDFDictionary*> entered{Root};
  struct TLevel {
    TPDFArray* Kids;
    TPDFDictionary* Node;
    int Next;
  };
  std::vector<TLevel> stack;
  if (auto* kids = As<TPDFArray>(Root->Get("Kids", true))) stack.push_back({kids, Root, 0});
  while (!stack.empty()) {
    TLevel& level = stack.back();
    if (level.Next >= level.Kids->Count()) {
      stack.pop_back();
      continue;
    }
    TPDFObject* entry = level.Kids->Item(level.Next++);
    TPDFDictionary* node =
        entry && entry->Kind == TPDFObject::KindIndRef ? As<TPDFDictionary>(Resolved(entry)) : nullptr;
    if (!node) continue;
    const std::string type = node->TypeName();
    if (type == "Page") {
      WalkedPages.push_back({NumberOf(node), NumberOf(level.Node)});
    } else if (type == "Pages" && stack.size() < MaxTreeDepth && entered.insert(node).second) {
      if (auto* kids = As<TPDFArray>(node->Get("Kids", true))) stack.push_back({kids, node, 0});
    }
  }
}

TPDFPageTree::~TPDFPageTree() = default;

int32_t TPDFPageTree::PageCount() const {
  if (!Root) return 0;
  if (Walked) return static_cast<int32_t>(std::min<size_t>(WalkedPages.size(), INT32_MAX));
  return std::max(Root->GetInteger("Count", 0), 0);
}

TPDFDictionary* TPDFPageTree::FindPage(int32_t n) {
  const int32_t count = PageCount();
  if (n < 1 || n > count) return nullptr;
  if (Walked) return Found(WalkedPages[static_cast<size_t>(n - 1)]);
  // The tree's structure never changes in memory, so a page found before is found again.
  if (auto cached = PageCache.find(n); cached != PageCache.end()) return Found(cached->second);
  ParentNode = Root;
  TPDFArray* kids = As<TPDFArray>(Root->Get("Kids", true));
  if (!kids) return nullptr;
  // A flat tree is a direct index.
  const bool flat = kids->Count() == count;
  if (flat && kids->Item(n - 1) && kids->Item(n - 1)->Kind == TPDFObject::KindIndRef) {
    TPDFDictionary* page = As<TPDFDictionary>(Resolved(kids->Item(n - 1)));
    if (page && page->TypeName() == "Page") {
      Remember(n, page, Root);
      return page;
    }
  }
  // Where the flat shortcut answers, pages met on the way must not be remembered: their own
  // requests go through the shortcut, which may give another answer.
  return SearchTree(kids, n, count, !flat);
}

// One counter of pages passed, shared by all levels. A /Pages node is passed over whole
// when n lies beyond its /Count, else entered, and then its subtree's result is the answer.
// Pages met on the way are remembered too, as long as the counter has only grown (a
// negative /Count sends it back, and a later search could then take another path).
TPDFDictionary* TPDFPageTree::SearchTree(TPDFArray* kids, int32_t n, int32_t count, bool cachePassed) {
  int32_t counter = 0;
  bool growing = true;
  int64_t limit = count;  // numbers up to this take the same decisions at the nodes met as n
  TPDFDictionary* parent = Root;
  std::vector<TPDFDictionary*> path{Root};  // the nodes entered, against cycles
  while (true) {
    TPDFArray* inner = nullptr;
    for (int i = 0; i < kids->Count() && !inner; ++i) {
      TPDFObject* entry = kids->Item(i);
      if (!entry || entry->Kind != TPDFObject::KindIndRef) continue;
      TPDFDictionary* node = As<TPDFDictionary>(Resolved(entry));
      if (!node) continue;
      const std::string type = node->TypeName();
      if (type == "Pages") {
        auto* c = As<TPDFNumeric>(node->Get("Count", true));
        const int64_t pages = c ? c->AsInteger() : 0;
        if (n > counter + pages) {
          growing = growing && pages >= 0;
          counter = static_cast<int32_t>(std::max<int64_t>(counter + pages, INT32_MIN));
          continue;
        }
        limit = std::min(limit, counter + pages);
        inner = As<TPDFArray>(node->Get("Kids", true));
        if (!inner) continue;
        // A node that leads back to one being searched is damaged: nothing is found there.
        if (path.size() > MaxTreeDepth || std::find(path.begin(), path.end(), node) != path.end()) return nullptr;
        ParentNode = parent = node;
        path.push_back(node);
      } else if (type == "Page") {
        if (counter + 1 == n) {
          Remember(n, node, parent);
          if (cachePassed && growing) CacheFollowing(kids, i, n, limit, parent);
          return node;
        }
        if (cachePassed && growing) Remember(counter + 1, node, parent);
        ++counter;
      }
    }
    if (!inner) return nullptr;
    kids = inner;
  }
}

// The pages that follow page n in its Kids array, up to the next /Pages node: their own
// searches would walk the same entries with the same counter. A walk through a tree whose
// /Count keeps the flat shortcut away then costs one pass, not one pass per page.
void TPDFPageTree::CacheFollowing(TPDFArray* kids, int after, int32_t n, int64_t limit, TPDFDictionary* parent) {
  int64_t number = n;
  for (int i = after + 1; i < kids->Count() && number < limit && number - n < FollowingPagesPerSearch; ++i) {
    TPDFObject* entry = kids->Item(i);
    if (!entry || entry->Kind != TPDFObject::KindIndRef) continue;
    TPDFDictionary* node = As<TPDFDictionary>(Resolved(entry));
    if (!node) continue;
    const std::string type = node->TypeName();
    if (type == "Pages") return;
    if (type == "Page") Remember(static_cast<int32_t>(++number), node, parent);
  }
}

// Distinct page dictionaries are objects of the file, so twice the object count holds
// every page of a sound tree; a cache that grows past that (a tree whose nodes share
// kids) starts again.
void TPDFPageTree::Remember(int32_t n, TPDFDictionary* page, TPDFDictionary* parent) {
  const size_t capacity = std::max<size_t>(MinPageCache, 2 * static_cast<size_t>(Document.ObjectCount()));
  if (PageCache.size() >= capacity) PageCache.clear();
  PageCache.try_emplace(n, TCachedPage{NumberOf(page), NumberOf(parent)});
}

// Every node but the root was reached through a reference, so it is the object of its number.
int32_t TPDFPageTree::NumberOf(const TPDFDictionary* node) const {
  return node == Root || !node->IsIndirect ? RootNumber : node->IndirectNumber;
}

TPDFDictionary* TPDFPageTree::NodeOf(int32_t number) const {
  if (number == RootNumber) return Root;
  TPDFIndObj* record = Document.ObjectByNumber(number);
  return record ? As<TPDFDictionary>(Document.RecordObject(*record)) : nullptr;
}

TPDFDictionary* TPDFPageTree::Found(const TCachedPage& page) {
  ParentNode = NodeOf(page.Parent);
  return NodeOf(page.Page);
}

// What the pages selected before hold goes with the collection: the current page, its
// content streams and the objects added for it. Only the root stays.
void TPDFPageTree::CollectIfDue() {
  if (!Root || !Document.CollectionDue()) return;
  Page = nullptr;
  ParentNode = nullptr;
  ContentStreams.clear();
  ReadForPage.clear();
  for (auto added = AddedForPages.rbegin(); added != AddedForPages.rend(); ++added)
    if (!Document.RemoveNewestObject(*added)) break;
  AddedForPages.clear();
  TPDFObject* keep[] = {Root};
  Document.CollectObjects(keep);
}

void TPDFPageTree::SelectPage(int32_t n) {
  SizeValid = false;
  CollectIfDue();
  if (n < 1 || n > PageCount()) n = Current;
  Page = FindPage(n);
  if (!Page) return;
  Current = n;
  ReleaseContents();
  PrepareContents();
}

TPDFStream* TPDFPageTree::NewMarkedStream() {
  TPDFStructure& pool = Document.Pool();
  TPDFStream* stream = pool.NewStream("", false);
  stream->Dictionary()->Put("LC", pool.NewName("iMRV"));
  return stream;
}

// The page's content ends with a stream of the engine's own, as it does when a page is
// made ready for drawing; the text readers then meet one more, empty, stream.
void TPDFPageTree::PrepareContents() {
  TPDFStructure& pool = Document.Pool();
  auto referenceTo = [&](TPDFObject* object) { return pool.NewIndRef(AddForPage(object), 0); };
  TPDFObject* contents = Page->Get("Contents", false);
  NoteUnread(contents);
  TPDFArray* array = nullptr;
  if (!contents) {
    array = pool.NewArray();
    array->Add(referenceTo(NewMarkedStream()));
    Page->Put("Contents", array);
  } else if (contents->Kind == TPDFObject::KindIndRef) {
    array = As<TPDFArray>(Resolved(contents));
    if (!array) {
      array = pool.NewArray();
      array->Add(contents);
      Page->Put("Contents", array);
    }
  } else {
    array = As<TPDFArray>(contents);
  }
  if (!array) return;  // a direct stream or dictionary: no content streams
  for (int i = 0; i < array->Count(); ++i) NoteUnread(array->Item(i));

  TPDFStream* last = array->Count() > 0 ? As<TPDFStream>(Resolved(array->Item(array->Count() - 1))) : nullptr;
  if (!last || !IsMarked(last) || last->Data.size() > MarkedStreamLimit) array->Add(referenceTo(NewMarkedStream()));

  for (int i = 0; i < array->Count(); ++i) {
    TPDFStream* stream = As<TPDFStream>(Resolved(array->Item(i)));
    if (!stream) {
      stream = pool.NewStream("", false);
      array->Replace(i, referenceTo(stream));
    }
    ContentStreams.push_back(stream);
  }
}

int32_t TPDFPageTree::AddForPage(TPDFObject* object) {
  const int32_t number = Document.AddIndirectObject(object)->Number;
  AddedForPages.push_back(number);
  return number;
}

void TPDFPageTree::NoteUnread(TPDFObject* entry) {
  const TPDFIndRef* ref = As<TPDFIndRef>(entry);
  if (ref && Document.StreamDataUnread(ref->Number)) ReadForPage.push_back(ref->Number);
}

void TPDFPageTree::ReleaseContents() {
  ContentStreams.clear();
  for (int32_t number : ReadForPage) Document.ReleaseStreamData(number);
  ReadForPage.clear();
}

void TPDFPageTree::ComputeSize() {
  if (SizeValid) return;
  TPDFArray* box = As<TPDFArray>(InheritedEntry(Page, "MediaBox"));
  Left = Bottom = 0;
  if (box) {
    Width = std::fabs(NumberAt(box, 2) - NumberAt(box, 0));
    Height = std::fabs(NumberAt(box, 3) - NumberAt(box, 1));
    Left = std::min(NumberAt(box, 0), NumberAt(box, 2));
    Bottom = std::min(NumberAt(box, 1), NumberAt(box, 3));
  } else {
    Width = DefaultWidth;
    Height = DefaultHeight;
    if (TPDFArray* rootBox = Root ? As<TPDFArray>(Root->Get("MediaBox", false)) : nullptr) {
      Width = std::fabs(NumberAt(rootBox, 2) - NumberAt(rootBox, 0));
      Height = std::fabs(NumberAt(rootBox, 3) - NumberAt(rootBox, 1));
    }
    if (Page) {
      TPDFStructure& pool = Document.Pool();
      TPDFArray* fresh = pool.NewArray();
      for (double v : {0.0, 0.0, Width, Height}) fresh->Add(pool.NewNumeric(v));
      Page->Put("MediaBox", fresh);
    }
  }
  SizeValid = true;
}

int32_t TPDFPageTree::PageRotation() const {
  const TPDFNumeric* rotate = As<TPDFNumeric>(InheritedEntry(Page, "Rotate"));
  if (!rotate || !std::isfinite(rotate->Value)) return 0;
  const double turn = std::fmod(rotate->Value, 360.0);
  if (std::fmod(turn, 90.0) != 0) return 0;
  return static_cast<int32_t>(turn < 0 ? turn + 360 : turn);
}

TPDFMatrix TPDFPageTree::ViewMatrix() {
  ComputeSize();
  const double right = Left + Width, top = Bottom + Height;
  switch (PageRotation()) {
    case 90:  // the page's top edge is seen on the right
      return {0, -1, 1, 0, -Bottom, right};
    case 180:
      return {-1, 0, 0, -1, right, top};
    case 270:  // the top edge is seen on the left
      return {0, 1, -1, 0, top, -Left};
    default:
      return IdentityMatrix;
  }
}

double TPDFPageTree::PageWidth() {
  ComputeSize();
  return Width;
}

double TPDFPageTree::PageHeight() {
  ComputeSize();
  return Height;
}

TPDFDictionary* TPDFPageTree::PageResources() {
  if (!Page) return nullptr;
  TPDFStructure& pool = Document.Pool();
  TPDFObject* res = Page->Get("Resources", false);
  if (!res) {
    FindPage(Current);
    if (ParentNode) res = ParentNode->Get("Resources", false);
  }
  if (!res) {
    res = pool.NewDictionary();
    Page->Put("Resources", res);
  }
  TPDFDictionary* dict = As<TPDFDictionary>(Resolved(res));
  if (!dict) {
    Page->Remove("Resources");
    dict = pool.NewDictionary();
    Page->Put("Resources", dict);
  }
  return dict;
}

std::string TPDFPageTree::StreamText(int i) const {
  if (i < 0 || i >= ContentStreamCount() || !ContentStreams[static_cast<size_t>(i)]) return {};
  return DecodedData(*ContentStreams[static_cast<size_t>(i)]);
}

std::string TPDFPageTree::PageContent(size_t limit) const { return JoinedStreamData(ContentStreams, " ", limit); }

bool TPDFPageTree::NeedAppearances() {
  TPDFDictionary* catalog = Document.Catalog();
  const TPDFDictionary* form = catalog ? As<TPDFDictionary>(catalog->Get("AcroForm", true)) : nullptr;
  const TPDFBoolean* need = form ? As<TPDFBoolean>(form->Get("NeedAppearances", true)) : nullptr;
  return need && need->Value;
}

void TPDFPageTree::PageText(int32_t textOption, TPDFTextFunnel* funnel, std::u16string& text) {
  text.clear();
  if (textOption < 0 || textOption > 7 || !Page) return;
  if (textOption < 3) {
    // Option 1 is the plain text of option 0.
    const std::string content = PageContent();
    TPDFFontCollection fonts(Fonts.get());
    fonts.LoadFontPrograms = true;
    TPDFExtractor extractor(PageResources(), fonts);
    extractor.NeedAppearances = NeedAppearances();
    extractor.ExtractText(content, textOption == 2 ? TPDFExtractor::ListingMode : TPDFExtractor::PlainMode, text, Page);
    return;
  }
  TPDFFontCollection fonts(Fonts.get());
  fonts.LoadFontPrograms = true;
  TPDFRenderer renderer(fonts);
  renderer.NeedAppearances = NeedAppearances();
  renderer.AttachFunnel(funnel);
  // SMART lays the page out as it is seen, on the rotated media box; the CSV blocks keep
  // their user-space coordinates.
  if (textOption == 7) {
    TPDFTextFunnel& output = renderer.Funnel();
    if (PageRotation() % 180 == 90) std::swap(output.PageWidth, output.PageHeight);
    renderer.RenderPage(Page, ViewMatrix());
  } else {
    renderer.RenderPage(Page);
  }
  renderer.Funnel().DropOverprints();
  if (textOption == 7) {
    renderer.Funnel().LayoutBlocks();
    renderer.Funnel().WriteSmartText(text);
  } else {
    renderer.Funnel().WriteCsv(text);
  }
}
