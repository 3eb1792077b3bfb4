#pragma once
// Password bytes for the standard security handler.
#include <string>

// The 32 bytes that pad a password for the MD5-based revisions.
extern const std::string PasswordPadding;

// Revisions 2 to 4 hash the password in Windows-1252; characters outside it become "?".
std::string PasswordToWindows1252(const std::u16string& password);
// Revisions 5 and 6 hash UTF-8, at most 127 bytes of it.
std::string PasswordToUTF8(const std::u16string& password);

// The first 32 bytes of password + PasswordPadding.
std::string PadPassword(const std::string& password);
// A padded password without its padding: everything before the earliest position
// from which the bytes continue as a prefix of PasswordPadding to the end.
std::string UnpadPassword(const std::string& padded);
