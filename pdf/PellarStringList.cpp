#include "pdf/PellarStringList.h"

#include <algorithm>

namespace {
unsigned char Fold(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
}  // namespace

int TPellarStringList::Compare(const std::string& a, const std::string& b) const {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (!IsCaseSensitive) {
      x = Fold(x);
      y = Fold(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int TPellarStringList::AddObject(const std::string& s, void* object) {
  if (!IsSorted) {
    Items.push_back({s, object});
    return Count() - 1;
  }
  int index;
  if (Find(s, index)) return index;
  Items.insert(Items.begin() + index, {s, object});
  return index;
}

void TPellarStringList::AddStrings(const TPellarStringList& other) {
  for (const auto& item : other.Items) AddObject(item.Text, item.Object);
}

void TPellarStringList::Delete(int i) {
  if (i >= 0 && i < Count()) Items.erase(Items.begin() + i);
}

void TPellarStringList::Exchange(int i, int j) {
  std::swap(Items.at(static_cast<size_t>(i)), Items.at(static_cast<size_t>(j)));
}

bool TPellarStringList::Find(const std::string& s, int& index) const {
  bool found = false;
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = Compare(Items[static_cast<size_t>(mid)].Text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void* TPellarStringList::Objects(int i) const {
  return i >= 0 && i < Count() ? Items[static_cast<size_t>(i)].Object : nullptr;
}

std::string TPellarStringList::Text() const {
  std::string out;
  for (const auto& item : Items) out += item.Text + "\r\n";
  return out;
}

std::string TPellarStringList::Values(const std::string& name) const {
  int i = IndexOfName(name);
  if (i < 0) return "";
  const std::string& s = Items[static_cast<size_t>(i)].Text;
  return s.substr(s.find('=') + 1);
}

int TPellarStringList::IndexOf(const std::string& s) const {
  if (IsSorted) {
    int index;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(Items[static_cast<size_t>(i)].Text, s) == 0) return i;
  return -1;
}

int TPellarStringList::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = Items[static_cast<size_t>(i)].Text;
    size_t eq = s.find('=');
    if (eq != std::string::npos && Compare(s.substr(0, eq), name) == 0) return i;
  }
  return -1;
}

int TPellarStringList::IndexOfObject(const void* object) const {
  for (int i = 0; i < Count(); ++i)
    if (Items[static_cast<size_t>(i)].Object == object) return i;
  return -1;
}

void TPellarStringList::InsertObject(int i, const std::string& s, void* object) {
  if (i >= 0 && i <= Count()) Items.insert(Items.begin() + i, {s, object});
}

void TPellarStringList::Put(int i, const std::string& s) {
  if (i >= 0 && i < Count()) Items[static_cast<size_t>(i)].Text = s;
}

void TPellarStringList::PutObject(int i, void* object) {
  if (i >= 0 && i < Count()) Items[static_cast<size_t>(i)].Object = object;
}

void TPellarStringList::SetSorted(bool sorted) {
  if (sorted && !IsSorted) Sort();
  IsSorted = sorted;
}

void TPellarStringList::SetText(const std::string& text) {
  Clear();
  if (text.empty()) {
    Add("");
    return;
  }
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t start = i;
    while (i < n && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
    Add(text.substr(start, i - start));
    if (i < n && text[i] == '\0') break;
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
  }
}

void TPellarStringList::Sort() {
  if (Count() > 1) QuickSort(0, Count() - 1);
}

void TPellarStringList::QuickSort(int lo, int hi) {
  // Hoare partition around the middle item; recursing into the smaller half
  // keeps the stack depth logarithmic.
  while (lo < hi) {
    int i = lo, j = hi;
    std::string pivot = Items[static_cast<size_t>((lo + hi) / 2)].Text;
    while (i <= j) {
      while (Compare(Items[static_cast<size_t>(i)].Text, pivot) < 0) ++i;
      while (Compare(Items[static_cast<size_t>(j)].Text, pivot) > 0) --j;
      if (i <= j) std::swap(Items[static_cast<size_t>(i++)], Items[static_cast<size_t>(j--)]);
    }
    if (j - lo < hi - i) {
      QuickSort(lo, j);
      lo = i;
    } else {
      QuickSort(i, hi);
      hi = j;
    }
  }
}

bool TLyxSortedUniqueIntegerList::AddIfNew(uint32_t number) {
  uint64_t& flags = Words[number >> 6];
  const uint64_t mask = uint64_t(1) << (number & 63);
  const bool fresh = !(flags & mask);
  flags |= mask;
  return fresh;
}
