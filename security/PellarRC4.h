#pragma once
#include <string>

// The RC4 stream cipher: data XORed with the key stream; encryption and decryption
// are the same. An empty key leaves the data as it is.
std::string RC4(const std::string& key, const std::string& data);
