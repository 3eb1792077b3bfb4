#pragma once
// The front end's list of UTF-16 strings and its line rules.
#include <string>
#include <vector>

namespace Platform {
class TFile;
}

class TWideStringList {
public:
  int Add(const std::u16string& s);
  int Count() const { return static_cast<int>(Items.size()); }
  // Raises an error for an index outside 0 to Count - 1.
  const std::u16string& Get(int index) const;
  void Clear() { Items.clear(); }
  // Every item followed by CR LF.
  std::u16string Text() const;
  // Splits at LF, VT, FF, CR, U+2028 and U+2029 (CR LF counts once); U+0000 ends the text.
  void SetText(const std::u16string& text);
  // Text() in the narrow code page, no byte-order mark.
  void SaveToStream(Platform::TFile& file) const;
  // Replaces the file as a whole; raises "Cannot create file" when it cannot.
  void SaveToFile(const std::u16string& name) const;

private:
  std::vector<std::u16string> Items;
};

// Creates or empties the file for writing; raises "Cannot create file" with the reason when it cannot.
void CreateTextFile(Platform::TFile& file, const std::u16string& name);

// Splits `text` at `separator` into `list`; quote characters toggle quoting and are
// dropped, the escape character takes the next character literally.
void SplitDelimited(const std::u16string& text, const std::u16string& separator, TWideStringList& list,
                    char16_t escape, const std::u16string& quotes);
