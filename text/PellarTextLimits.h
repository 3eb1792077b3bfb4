#pragma once
// Bounds that keep hostile content streams from costing more than their text is worth.
#include <cstddef>

// Form XObjects drawn inside forms: deeper nesting is skipped, the rest of the page goes on.
inline constexpr int MaxFormNesting = 32;
// Operands waiting for an operator: beyond this the oldest are dropped, as no operator
// reads more than a handful and a run without operators must not grow without limit.
inline constexpr size_t MaxPendingOperands = 100000;
