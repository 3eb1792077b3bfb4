#include "app/WideStringList.h"

#include <stdexcept>

#include "pdf/PellarConvert.h"
#include "platform/Platform.h"

namespace {
constexpr size_t SaveChunkSize = size_t(1) << 20;
bool IsLineBreak(char16_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x2028 || c == 0x2029; }
}  // namespace

int TWideStringList::Add(const std::u16string& s) {
  Items.push_back(s);
  return Count() - 1;
}

const std::u16string& TWideStringList::Get(int index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return Items[static_cast<size_t>(index)];
}

std::u16string TWideStringList::Text() const {
  size_t size = 0;
  for (const auto& item : Items) size += item.size() + 2;
  std::u16string out;
  out.reserve(size);
  for (const auto& item : Items) {
    out += item;
    out += u"\r\n";
  }
  return out;
}

void TWideStringList::SetText(const std::u16string& text) {
  Clear();
  size_t end = text.find(u'\0');
  if (end == std::u16string::npos) end = text.size();
  size_t i = 0;
  while (i < end) {
    size_t start = i;
    while (i < end && !IsLineBreak(text[i])) ++i;
    Add(text.substr(start, i - start));
    if (i < end) {
      if (text[i] == u'\r' && i + 1 < end && text[i + 1] == u'\n') ++i;
      ++i;
    }
  }
}

// Item by item, written in chunks: the whole text and its narrow form at once would
// treble the memory a long run needs, at its very end. Each item is converted with the
// CR LF that follows it, so the bytes are those of converting the whole text.
void TWideStringList::SaveToStream(Platform::TFile& file) const {
  std::string chunk;
  auto flush = [&] {
    if (file.Write(chunk.data(), static_cast<int64_t>(chunk.size())) != static_cast<int64_t>(chunk.size()))
      throw std::runtime_error("Stream write error");
    chunk.clear();
  };
  for (const auto& item : Items) {
    chunk += Platform::ToNarrow(item + u"\r\n");
    if (chunk.size() >= SaveChunkSize) flush();
  }
  flush();
}

void CreateTextFile(Platform::TFile& file, const std::u16string& name) {
  if (!file.Create(name))
    throw std::runtime_error("Cannot create file \"" + UTF16ToUTF8(Platform::AbsolutePath(name)) + "\". " +
                             Platform::ErrorText(file.LastErrno));
}

void TWideStringList::SaveToFile(const std::u16string& name) const {
  Platform::TFile file;
  CreateTextFile(file, name);
  SaveToStream(file);
}

void SplitDelimited(const std::u16string& text, const std::u16string& separator, TWideStringList& list,
                    char16_t escape, const std::u16string& quotes) {
  list.Clear();
  std::u16string current;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == escape) {
      if (i + 1 < text.size()) current += text[++i];
    } else if (quotes.find(c) != std::u16string::npos) {
      quoted = !quoted;
    } else if (quoted) {
      current += c;
    } else if (!separator.empty() && text.compare(i, separator.size(), separator) == 0) {
      list.Add(current);
      current.clear();
      i += separator.size() - 1;
    } else {
      current += c;
    }
  }
  list.Add(current);
}
