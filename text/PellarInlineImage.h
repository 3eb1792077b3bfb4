#pragma once
// Inline images are passed over in text mode: their data is never decoded, only skipped.
#include "text/PellarContentScanner.h"

// Moves the scanner, which stands after "BI", past the image's dictionary, "ID", its data
// and "EI". The data ends where /L or /Length says when "EI" follows there, else at the
// first "EI" standing between blanks. False, with the scanner where the data starts, when
// there is no "ID" or no such "EI".
bool SkipInlineImage(TPDFContentScanner& scanner);
