#pragma once
// The engine's list of byte strings, each with an object reference it does not own.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TPellarStringList {
public:
  struct TPellarStringItem {
    std::string Text;
    void* Object = nullptr;
  };

  TPellarStringList() = default;
  virtual ~TPellarStringList() = default;

  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, void* object);
  void AddStrings(const TPellarStringList& other);
  void Clear() { Items.clear(); }
  void Delete(int i);
  void Exchange(int i, int j);
  // Binary search of a sorted list: the first equal item, or the insertion point.
  bool Find(const std::string& s, int& index) const;
  const std::string& Get(int i) const { return Items.at(static_cast<size_t>(i)).Text; }
  void* Objects(int i) const;
  int Count() const { return static_cast<int>(Items.size()); }
  std::string Text() const;
  std::string Values(const std::string& name) const;
  int IndexOf(const std::string& s) const;
  int IndexOfName(const std::string& name) const;
  int IndexOfObject(const void* object) const;
  void Insert(int i, const std::string& s) { InsertObject(i, s, nullptr); }
  void InsertObject(int i, const std::string& s, void* object);
  void Put(int i, const std::string& s);
  void PutObject(int i, void* object);
  bool Sorted() const { return IsSorted; }
  void SetSorted(bool sorted);
  void SetText(const std::string& text);
  void Sort();
  bool CaseSensitive() const { return IsCaseSensitive; }
  // Negative, zero or positive; ASCII case-insensitive byte order unless case-sensitive.
  int Compare(const std::string& a, const std::string& b) const;

protected:
  explicit TPellarStringList(bool caseSensitive) : IsCaseSensitive(caseSensitive) {}

private:
  void QuickSort(int lo, int hi);

  std::vector<TPellarStringItem> Items;
  bool IsSorted = false;
  bool IsCaseSensitive = false;
};

class TPellarCaseSensitiveStringList : public TPellarStringList {
public:
  TPellarCaseSensitiveStringList() : TPellarStringList(true) {}
};

// A set of unsigned 32-bit numbers: one flag per number, kept in 64-number words that
// exist only where numbers were added, so memory follows the numbers used however far
// apart a file spreads them.
class TLyxSortedUniqueIntegerList {
public:
  // True when the number had not been added since the last Clear; it is added now.
  bool AddIfNew(uint32_t number);
  void Clear() { Words.clear(); }

private:
  std::unordered_map<uint32_t, uint64_t> Words;
};
