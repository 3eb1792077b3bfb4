#pragma once
// The ASCII85 filter.
#include <string>

#include "filters/PellarFilterLimits.h"

// Decodes ASCII85 text. White space and bytes outside "!" to "u" (other than "z" and "~") are
// skipped; "z" stands for "!!!!!". The last "~>" ends the data; text without it is decoded as
// if it ended there. A group above 2^32 - 1 gives four zero bytes; a final group of r
// characters, padded with "u", gives r - 1 bytes. Output stops at `limit` bytes.
std::string Ascii85Decode(const std::string& data, size_t limit = MaxDecodedStreamSize);
