#pragma once
// Reads a trailer's /Encrypt dictionary and /ID into the values the security handler needs.
#include "security/PellarSecurity.h"

class TPDFDictionary;

TPDFEncryptDictionary ReadEncryptDictionary(const TPDFDictionary& trailer);
