#pragma once
// The last step of content-order extraction: lines holding a single space disappear, runs
// of three or more line breaks shrink by two at a time (odd runs to one break, even runs
// to two), U+0000 becomes a space and spaces are trimmed from both ends.
#include <string>

// The result equals deleting "\r\n " at the first "\r\n \r\n" while one occurs, then four
// characters at the first "\r\n\r\n\r\n" while one occurs, but takes one pass each: a
// deletion never makes a new match start before it, so both rules work on the tail.
void CleanExtractedText(std::u16string& text);
