// Glyph names ('post') and advances ('hmtx') of TrueType data.
#include "data/PellarFontProgramData.h"
#include "fonts/PellarFontPrograms.h"
#include "platform/FontBytes.h"

using Platform::FindSfntTable;
using Platform::TFontReader;

namespace {

// The advance of every glyph when the font has no 'hmtx' entries.
constexpr int32_t AdvanceWithoutMetrics = 750;

constexpr uint32_t PostFormat1 = 0x00010000, PostFormat2 = 0x00020000, PostFormat25 = 0x00025000;
constexpr size_t PostHeaderSize = 32;

// Glyph names by index; an index without a name gets an empty one.
std::vector<std::string> PostNames(std::string_view post) {
  TFontReader in(post);
  const uint32_t format = in.U32();
  std::vector<std::string> names;
  if (!in.Ok()) return names;
  if (format == PostFormat1) return std::vector<std::string>(MacGlyphNames.begin(), MacGlyphNames.end());
  if (format != PostFormat2 && format != PostFormat25) return names;  // 3 and others: no names

  in.Seek(PostHeaderSize);
  const size_t glyphs = in.U16();
  const size_t entrySize = format == PostFormat2 ? 2 : 1;
  TFontReader entries(in.Bytes(std::min(glyphs * entrySize, in.Left())));
  names.resize(entries.Size() / entrySize);
  if (format == PostFormat25) {
    // Each glyph names a standard glyph by a signed offset from its own index.
    for (size_t glyph = 0; glyph < names.size(); ++glyph) {
      const int64_t index = int64_t(glyph) + static_cast<int8_t>(entries.U8());
      if (index >= 0 && index < int64_t(MacGlyphNameCount)) names[glyph] = MacGlyphNames[size_t(index)];
    }
    return names;
  }
  // The font's own names follow as Pascal strings, numbered from 258.
  std::vector<std::string_view> own;
  while (in.Left() > 0) {
    const uint8_t length = in.U8();
    const std::string_view name = in.Bytes(length);
    if (!in.Ok()) break;
    own.push_back(name);
  }
  for (size_t glyph = 0; glyph < names.size(); ++glyph) {
    const size_t index = entries.U16();
    if (index < MacGlyphNameCount) names[glyph] = MacGlyphNames[index];
    else if (index - MacGlyphNameCount < own.size()) names[glyph] = own[index - MacGlyphNameCount];
  }
  return names;
}

// Advances by glyph index scaled to 1000 units per em; empty when the font has no usable
// 'head', 'hhea' or 'hmtx' entries.
std::vector<int32_t> ScaledAdvances(std::string_view font) {
  const std::optional<std::string_view> head = FindSfntTable(font, "head");
  const std::optional<std::string_view> hhea = FindSfntTable(font, "hhea");
  const std::optional<std::string_view> hmtx = FindSfntTable(font, "hmtx");
  if (!head || !hhea || !hmtx) return {};
  TFontReader headIn(*head, 18);
  const int32_t unitsPerEm = headIn.U16();
  TFontReader hheaIn(*hhea, 34);
  const size_t metrics = std::min<size_t>(hheaIn.U16(), hmtx->size() / 4);
  // Without units per em the advances have no scale; they are as good as absent.
  if (!headIn.Ok() || !hheaIn.Ok() || unitsPerEm == 0) return {};
  std::vector<int32_t> advances(metrics);
  TFontReader in(*hmtx);
  for (int32_t& advance : advances) {
    advance = int32_t(in.U16()) * 1000 / unitsPerEm;
    in.Skip(2);
  }
  return advances;
}

}  // namespace

TTrueTypeProgram::TTrueTypeProgram(std::string_view data) : Advances(ScaledAdvances(data)) {
  const std::optional<std::string_view> post = FindSfntTable(data, "post");
  if (!post) return;
  const std::vector<std::string> names = PostNames(*post);
  for (uint32_t glyph = 0; glyph < names.size(); ++glyph)
    if (!names[glyph].empty()) LastGlyph[names[glyph]] = glyph;
}

std::optional<int32_t> TTrueTypeProgram::GlyphAdvance(const std::string& glyphName) const {
  const auto found = LastGlyph.find(glyphName);
  if (found == LastGlyph.end()) return std::nullopt;
  if (Advances.empty()) return AdvanceWithoutMetrics;
  return Advances[std::min<size_t>(found->second, Advances.size() - 1)];
}
