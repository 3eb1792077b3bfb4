#pragma once
// A table of one entry per single-byte code that font records share until one of them
// changes it. Most fonts of a document take their glyph names and texts unchanged from a
// few tables (a base encoding, the texts of a common encoding); a record that copied them
// would build, compare and free 768 strings per font.
#include <array>
#include <cstddef>
#include <memory>

template <typename T>
class TSharedTable {
public:
  using TTable = std::array<T, 256>;

  TSharedTable() : View(&EmptyTable()) {}
  // Copies share the table; a move copies too, so that no holder is left pointing into a
  // table it does not own.
  TSharedTable(const TSharedTable&) = default;
  TSharedTable& operator=(const TSharedTable&) = default;
  // A table of the record's own; its bytes are counted now, so that copies share the count.
  explicit TSharedTable(TTable table) : Owned(std::make_shared<TTable>(std::move(table))), View(Owned.get()) {
    EntryBytes();
  }
  // A table that lives as long as the program (the built-in encodings): shared by address.
  static TSharedTable Fixed(const TTable& table) {
    TSharedTable shared;
    shared.View = &table;
    return shared;
  }

  const T& operator[](size_t code) const { return (*View)[code]; }
  const TTable& All() const { return *View; }
  // The entry to change; the table is copied first unless this holder alone owns it.
  T& Change(size_t code) {
    if (!Owned || Owned.use_count() > 1) {
      Owned = std::make_shared<TTable>(*View);
      View = Owned.get();
    }
    CountedBytes = Uncounted;  // the caller changes the entry through the reference
    return (*Owned)[code];
  }
  // The heap bytes the entries hold, counted once per table and shared with the copies
  // (a font cache weighs every record it keeps); a fixed table holds none of a record's.
  size_t EntryBytes() const {
    if (IsFixed()) return 0;
    if (CountedBytes == Uncounted) {
      CountedBytes = 0;
      for (const T& entry : *View) CountedBytes += sizeof entry + entry.capacity() * sizeof entry[0];
    }
    return CountedBytes;
  }
  bool IsFixed() const { return !Owned; }
  // The same table, not only equal entries.
  bool SameTable(const TSharedTable& other) const { return View == other.View; }
  friend bool operator==(const TSharedTable& a, const TSharedTable& b) { return a.View == b.View || *a.View == *b.View; }

private:
  static const TTable& EmptyTable() {
    static const TTable empty{};
    return empty;
  }

  static constexpr size_t Uncounted = ~size_t(0);

  std::shared_ptr<TTable> Owned;  // nothing for a fixed table
  const TTable* View;             // the entries: Owned's, or a fixed table
  mutable size_t CountedBytes = Uncounted;
};
