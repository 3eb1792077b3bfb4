#include "tests/support/FontTestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::string Card(uint32_t value, int bytes) {
  std::string out;
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift & 0xFF));
  return out;
}

uint32_t ReadCard(const std::string& data, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | static_cast<uint8_t>(data.at(at + size_t(i)));
  return value;
}

std::string StyleKey(const std::string& family, bool bold, bool italic) {
  return family + (bold && italic ? ",BoldItalic" : bold ? ",Bold" : italic ? ",Italic" : "");
}

}  // namespace

std::string FontFixture(const std::string& name) {
  std::ifstream in(std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/fonts/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Sfnt(const std::vector<std::pair<std::string, std::string>>& tables, const std::string& version) {
  std::string directory = version + Card(uint32_t(tables.size()), 2) + std::string(6, '\0');
  std::string body;
  const size_t start = 12 + 16 * tables.size();
  for (const auto& [tag, data] : tables) {
    directory += tag + Card(0, 4) + Card(uint32_t(start + body.size()), 4) + Card(uint32_t(data.size()), 4);
    body += data + std::string((4 - data.size() % 4) % 4, '\0');
  }
  return directory + body;
}

std::string Collection(const std::vector<std::string>& fonts) {
  std::string out = "ttcf" + Card(0x00010000, 4) + Card(uint32_t(fonts.size()), 4);
  size_t offset = out.size() + 4 * fonts.size();
  for (const std::string& font : fonts) {
    out += Card(uint32_t(offset), 4);
    offset += font.size();
  }
  for (std::string font : fonts) {
    const size_t shift = out.size();
    const uint32_t tables = ReadCard(font, 4, 2);
    for (uint32_t i = 0; i < tables; ++i) {
      const size_t at = 12 + 16 * i + 8;
      font.replace(at, 4, Card(uint32_t(ReadCard(font, at, 4) + shift), 4));
    }
    out += font;
  }
  return out;
}

std::string U16(int value) { return Card(static_cast<uint32_t>(value) & 0xFFFF, 2); }

std::string CffIndex(const std::vector<std::string>& items, int offSize) {
  std::string out = Card(uint32_t(items.size()), 2);
  if (items.empty()) return out;
  out += Card(uint32_t(offSize), 1);
  uint32_t offset = 1;
  std::string data;
  out += Card(offset, offSize);
  for (const std::string& item : items) {
    offset += uint32_t(item.size());
    out += Card(offset, offSize);
    data += item;
  }
  return out + data;
}

std::string CffInt(int32_t value) { return "\x1d" + Card(static_cast<uint32_t>(value), 4); }

std::string CompactFont(const TCompactParts& parts) {
  const std::string header("\x01\x00\x04\x04", 4);
  const std::string names = CffIndex({"Test"});
  const std::string strings = CffIndex(parts.Strings);
  const std::string globalSubrs = CffIndex({});
  const std::string charStrings = CffIndex(std::vector<std::string>(size_t(parts.Glyphs), "\x0e"));
  // Three five-byte offsets and their operators, whether or not each is written.
  std::string top = parts.TopExtra;
  const size_t topSize = top.size() + 3 * 6;
  const size_t topIndexSize = CffIndex({std::string(topSize, ' ')}).size();
  size_t at = header.size() + names.size() + topIndexSize + strings.size() + globalSubrs.size();
  top += CffInt(int32_t(at)) + "\x11";
  at += charStrings.size();
  const auto reference = [&](const std::optional<int>& id, const std::optional<std::string>& bytes, char op,
                             std::string& tail) {
    if (bytes) {
      top += CffInt(int32_t(at + tail.size())) + op;
      tail += *bytes;
    } else if (id) {
      top += CffInt(*id) + op;
    }
  };
  std::string tail;
  reference(parts.CharsetId, parts.Charset, '\x0f', tail);
  reference(parts.EncodingId, parts.Encoding, '\x10', tail);
  top.resize(topSize, '\x8b');  // operators left out make room for 0 operands, which are dropped
  return header + names + CffIndex({top}) + strings + globalSubrs + charStrings + tail;
}

void TFakeFontCatalogue::Add(const std::string& family, bool bold, bool italic, std::string data) {
  Faces.emplace_back(StyleKey(family, bold, italic), std::move(data));
}

std::vector<std::string> TFakeFontCatalogue::Families() {
  std::vector<std::string> families;
  for (const auto& face : Faces) families.push_back(face.first.substr(0, face.first.find(',')));
  std::sort(families.begin(), families.end());
  families.erase(std::unique(families.begin(), families.end()), families.end());
  return families;
}

std::string TFakeFontCatalogue::FontData(const std::string& family, bool bold, bool italic) {
  Requests.push_back(StyleKey(family, bold, italic));
  for (const auto& face : Faces)
    if (face.first == Requests.back()) return face.second;
  return {};
}
