#pragma once
// Bounds that keep hostile content streams from costing more than their text is worth.
#include <cstddef>

// Form XObjects drawn inside forms: deeper nesting is skipped, the rest of the page goes on.
inline constexpr int MaxFormNesting = 32;
// Operands waiting for an operator: beyond this the oldest are dropped, as no operator
// reads more than a handful and a run without operators must not grow without limit.
inline constexpr size_t MaxPendingOperands = 100000;
// Graphics states saved by q and not yet restored. Real content nests a few dozen; the
// saves beyond this are counted so that their Q still matches, but not copied.
inline constexpr size_t MaxSavedStates = 4096;
// The content that forms and annotation appearances may add to one page, in bytes, each
// run counting FormRunCost more: forms drawing each other a few times per level would
// otherwise multiply into billions of runs within the nesting bound.
inline constexpr size_t MaxFormWork = size_t(256) << 20;
inline constexpr size_t FormRunCost = 2048;
// Decoded form contents kept for the page, so a form drawn often is decoded once.
inline constexpr size_t MaxCachedFormBytes = size_t(64) << 20;
