#include "engine/PellarPageTree.h"

#include <algorithm>
#include <cmath>

#include "filters/PellarStreamData.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"
#include "pdf/PellarStructure.h"
#include "text/PellarTextFunnel.h"

namespace {

// Page trees are shallow; anything deeper is taken as damaged.
constexpr int MaxTreeDepth = 256;
constexpr size_t MarkedStreamLimit = 500000;
constexpr double DefaultWidth = 612;
constexpr double DefaultHeight = 792;

template <typename T>
T* As(TPDFObject* object, char kind) {
  return object && object->Kind == kind ? static_cast<T*>(object) : nullptr;
}

TPDFDictionary* AsDictionary(TPDFObject* object) { return As<TPDFDictionary>(object, TPDFObject::KindDictionary); }
TPDFArray* AsArray(TPDFObject* object) { return As<TPDFArray>(object, TPDFObject::KindArray); }
TPDFStream* AsStream(TPDFObject* object) { return As<TPDFStream>(object, TPDFObject::KindStream); }

TPDFObject* Resolved(TPDFObject* object) {
  auto* ref = As<TPDFIndRef>(object, TPDFObject::KindIndRef);
  return ref ? ref->Resolve() : object;
}

double NumberAt(TPDFArray* array, int i) {
  auto* n = As<TPDFNumeric>(array->Item(i), TPDFObject::KindNumeric);
  return n && std::isfinite(n->Value) ? n->Value : 0;
}

bool IsMarked(TPDFStream* stream) {
  auto* mark = As<TPDFName>(stream->Dictionary()->Get("LC", false), TPDFObject::KindName);
  return mark && mark->Value == "iMRV";
}

}  // namespace

TPDFPageTree::TPDFPageTree(TPDFDocument& document, TPDFDictionary* root) : Document(document), Root(root) {
  if (Root) SelectPage(1);
}

int32_t TPDFPageTree::PageCount() const {
  if (!Root) return 0;
  return std::max(Root->GetInteger("Count", 0), 0);
}

TPDFDictionary* TPDFPageTree::FindPage(int32_t n) {
  const int32_t count = PageCount();
  if (n < 1 || n > count) return nullptr;
  ParentNode = Root;
  TPDFArray* kids = AsArray(Root->Get("Kids", true));
  if (!kids) return nullptr;
  // A flat tree is a direct index.
  const bool flat = kids->Count() == count;
  if (flat && kids->Item(n - 1) && kids->Item(n - 1)->Kind == TPDFObject::KindIndRef) {
    TPDFDictionary* page = AsDictionary(Resolved(kids->Item(n - 1)));
    if (page && page->TypeName() == "Page") return page;
  }
  int32_t counter = 0;
  SearchPath.assign(1, Root);
  TPDFDictionary* found = SearchKids(kids, n, counter, 0, !flat);
  SearchPath.clear();
  PageCache[n] = found;
  return found;
}

// One counter of pages passed, shared by all levels. Pages met on the way are
// remembered too (when the flat shortcut cannot answer for them): a later search for
// them would walk the same entries with the same counter.
TPDFDictionary* TPDFPageTree::SearchKids(TPDFArray* kids, int32_t n, int32_t& counter, int depth, bool cachePassed) {
  for (int i = 0; i < kids->Count(); ++i) {
    TPDFObject* entry = kids->Item(i);
    if (!entry || entry->Kind != TPDFObject::KindIndRef) continue;
    TPDFDictionary* node = AsDictionary(Resolved(entry));
    if (!node) continue;
    const std::string type = node->TypeName();
    if (type == "Pages") {
      auto* c = As<TPDFNumeric>(node->Get("Count", true), TPDFObject::KindNumeric);
      const int64_t pages = c ? c->AsInteger() : 0;
      if (n > counter + pages) {
        counter = static_cast<int32_t>(std::clamp<int64_t>(counter + pages, INT32_MIN, INT32_MAX));
        continue;
      }
      TPDFArray* inner = AsArray(node->Get("Kids", true));
      if (!inner) continue;
      // A node that leads back to one being searched is damaged: nothing is found there.
      if (depth >= MaxTreeDepth || std::find(SearchPath.begin(), SearchPath.end(), node) != SearchPath.end())
        return nullptr;
      ParentNode = node;
      SearchPath.push_back(node);
      return SearchKids(inner, n, counter, depth + 1, cachePassed);
    }
    if (type == "Page") {
      if (counter + 1 == n) return node;
      if (cachePassed && counter + 1 >= 1) PageCache.try_emplace(counter + 1, node);
      ++counter;
    }
  }
  return nullptr;
}

void TPDFPageTree::SelectPage(int32_t n) {
  SizeValid = false;
  if (n < 1 || n > PageCount()) n = Current;
  auto cached = PageCache.find(n);
  Page = cached != PageCache.end() ? cached->second : nullptr;
  if (!Page) Page = FindPage(n);
  if (!Page) return;
  Current = n;
  ContentStreams.clear();
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
  auto referenceTo = [&](TPDFObject* object) {
    TPDFIndObj* record = Document.AddIndirectObject(object);
    return pool.NewIndRef(record->Number, record->Generation);
  };
  TPDFObject* contents = Page->Get("Contents", false);
  TPDFArray* array = nullptr;
  if (!contents) {
    array = pool.NewArray();
    array->Add(referenceTo(NewMarkedStream()));
    Page->Put("Contents", array);
  } else if (contents->Kind == TPDFObject::KindIndRef) {
    array = AsArray(Resolved(contents));
    if (!array) {
      array = pool.NewArray();
      array->Add(contents);
      Page->Put("Contents", array);
    }
  } else {
    array = AsArray(contents);
  }
  if (!array) return;  // a direct stream or dictionary: no content streams

  TPDFStream* last = array->Count() > 0 ? AsStream(Resolved(array->Item(array->Count() - 1))) : nullptr;
  if (!last || !IsMarked(last) || last->Data.size() > MarkedStreamLimit) array->Add(referenceTo(NewMarkedStream()));

  for (int i = 0; i < array->Count(); ++i) {
    TPDFStream* stream = AsStream(Resolved(array->Item(i)));
    if (!stream) {
      stream = pool.NewStream("", false);
      array->Replace(i, referenceTo(stream));
    }
    ContentStreams.push_back(stream);
  }
}

void TPDFPageTree::ComputeSize() {
  if (SizeValid) return;
  TPDFArray* box = nullptr;
  TPDFDictionary* node = Page;
  // Up the /Parent chain; a chain longer than any real tree is a loop.
  for (int depth = 0; node && !box && depth < MaxTreeDepth; ++depth) {
    box = AsArray(node->Get("MediaBox", true));
    if (!box) node = AsDictionary(node->Get("Parent", true));
  }
  if (box) {
    Width = std::fabs(NumberAt(box, 2) - NumberAt(box, 0));
    Height = std::fabs(NumberAt(box, 3) - NumberAt(box, 1));
  } else {
    Width = DefaultWidth;
    Height = DefaultHeight;
    if (TPDFArray* rootBox = Root ? AsArray(Root->Get("MediaBox", false)) : nullptr) {
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
  TPDFDictionary* dict = AsDictionary(Resolved(res));
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

std::string TPDFPageTree::PageContent() const {
  std::string content;
  for (int i = 0; i < ContentStreamCount(); ++i) content += " " + StreamText(i);
  return content;
}

void TPDFPageTree::PageText(int32_t textOption, TPDFTextFunnel* funnel, std::u16string& text) {
  text.clear();
  if (textOption < 0 || textOption > 7 || !Page) return;
  // Options 0 to 2 read the gathered content (PageContent) in content order; 3 to 7 fill
  // the funnel by interpreting the page. Neither reader is part of the engine yet, so
  // the first give an empty text and the funnel stays empty.
  if (textOption < 3 || !funnel) return;
  if (textOption == 7) {
    funnel->LayoutBlocks();
    funnel->WriteSmartText(text);
  } else {
    funnel->WriteCsv(text);
  }
}
