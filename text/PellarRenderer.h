#pragma once
// The content interpreter in text mode: it runs a page's content streams, its form
// XObjects and its annotation appearances with the graphics and text state, paints
// nothing, and sends every shown string as positioned pieces to a text funnel.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "text/PellarColourSpace.h"
#include "text/PellarGraphicsState.h"

class TPDFDictionary;
class TPDFFontCollection;
class TPDFObject;
class TPDFStream;
class TPDFTextFunnel;
struct TAnnotationView;

class TPDFRenderer {
public:
  // The collection is not owned; its current font is the one text is shown in.
  explicit TPDFRenderer(TPDFFontCollection& fonts);
  ~TPDFRenderer();
  TPDFRenderer(const TPDFRenderer&) = delete;
  TPDFRenderer& operator=(const TPDFRenderer&) = delete;

  // Pieces go to the given funnel instead of the renderer's own; it is not owned.
  void AttachFunnel(TPDFTextFunnel* funnel);
  TPDFTextFunnel& Funnel() { return *Output; }

  // Clears the funnel and interprets the page's content, then, unless the content failed,
  // its annotation appearances. Pieces are in user space mapped by `start` (the identity:
  // neither /Rotate nor the boxes apply; the caller passes the page's view for text laid
  // out as the page is seen).
  void RenderPage(TPDFDictionary* page, const TPDFMatrix& start = IdentityMatrix);

  // Empty, or "Rendering exception: ...", CR LF, "Token position n" for the last content
  // run that failed. A failed run keeps the pieces it produced.
  const std::string& ErrorText() const { return Error; }

  // The document asks viewers to make field appearances: a text or choice field without
  // one that shows text shows its value.
  bool NeedAppearances = false;

private:
  struct TRun;
  using THandler = void (TPDFRenderer::*)(TRun&);
  static THandler FindOperator(std::string_view token);

  // Interprets content with its resources; false when it failed.
  bool RunContent(std::string_view content, TPDFDictionary* resources);
  // A form or an appearance: nested runs are bounded in depth and in total work, and a
  // stream is not entered again while it is being drawn.
  void DrawStream(TPDFStream& stream);
  std::string_view StreamContent(TPDFStream& stream, std::string& scratch);
  void DrawAnnotations(TPDFDictionary& page, TPDFDictionary* resources);
  void DrawAnnotation(const TAnnotationView& view, TPDFDictionary* resources);
  void ShowFieldValue(const TAnnotationView& view);

  void Save(TRun& run);
  void Restore(TRun& run);
  void SelectFont(TPDFDictionary* resources);
  int32_t ColourSpaceIndex(TRun& run, std::string_view name);
  void SetColour(TRun& run, int32_t space, bool fill);
  void BeginMarked(TRun& run, std::string_view tag, std::string_view properties);
  void Show(TRun& run);

  // Operators.
  void BeginText(TRun& run);
  void SetFont(TRun& run);
  void SetCharSpacing(TRun& run);
  void SetWordSpacing(TRun& run);
  void SetLeading(TRun& run);
  void SetRise(TRun& run);
  void SetScaling(TRun& run);
  void SetRenderMode(TRun& run);
  void SetTextMatrix(TRun& run);
  void MoveText(TRun& run);
  void MoveTextSetLeading(TRun& run);
  void NextLine(TRun& run);
  void ShowString(TRun& run);
  void ShowArray(TRun& run);
  void NextLineShow(TRun& run);
  void NextLineSpacedShow(TRun& run);
  void OpenArray(TRun& run);
  void SaveState(TRun& run);
  void RestoreState(TRun& run);
  void Concat(TRun& run);
  void SetExtGState(TRun& run);
  void FillGray(TRun& run);
  void FillRGB(TRun& run);
  void FillCMYK(TRun& run);
  void StrokeGray(TRun& run);
  void StrokeRGB(TRun& run);
  void StrokeCMYK(TRun& run);
  void FillColour(TRun& run);
  void StrokeColour(TRun& run);
  void FillSpace(TRun& run);
  void StrokeSpace(TRun& run);
  void SetDash(TRun& run);
  void GlyphBox(TRun& run);
  void InlineImage(TRun& run);
  void BeginMarkedContent(TRun& run);
  void BeginMarkedProperties(TRun& run);
  void EndMarked(TRun& run);
  void DrawObject(TRun& run);
  // Painting operators: their operands are taken and nothing else happens.
  template <int Operands>
  void Paint(TRun& run);

  TPDFFontCollection& Fonts;
  std::unique_ptr<TPDFTextFunnel> OwnFunnel;
  TPDFTextFunnel* Output;
  std::string Error;

  TPDFGraphicsState State;
  TPDFMatrix StartMatrix = IdentityMatrix;  // the page's, restored for each annotation
  std::vector<TPDFGraphicsState> Saved;
  bool Visible = true;
  std::vector<char> VisibilityStack;  // one entry per open marked-content sequence
  // Resources of the content that drew the current form, for forms without their own.
  TPDFDictionary* Fallback = nullptr;

  std::unordered_set<std::string> FontNames;  // Tf names, decoded, kept once
  std::vector<TPDFColourSpace> Spaces;         // DeviceGray, DeviceRGB, DeviceCMYK, Pattern, then read ones
  std::unordered_map<const TPDFObject*, int32_t> SpaceIndex;
  std::vector<std::string_view> ShowOperands;  // reused by every show

  std::vector<const TPDFStream*> ActiveStreams;  // forms and appearances being drawn
  size_t FormWorkLeft = 0;
  std::unordered_map<const TPDFStream*, std::string> FormCache;
  size_t CachedBytes = 0;
};
