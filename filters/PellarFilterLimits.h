#pragma once
// Limits shared by the stream decoders.
#include <cstddef>

// The most bytes one decoder produces for one stream. Compression ratios multiply along a
// filter chain (a Flate stream inside a Flate stream inflates about a million times), so a
// small file could otherwise claim all memory; a decoder that reaches this size stops and
// hands on what it has produced.
inline constexpr size_t MaxDecodedStreamSize = size_t(512) << 20;
