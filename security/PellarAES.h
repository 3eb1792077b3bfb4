#pragma once
// The AES block cipher with 128-, 192- and 256-bit keys, its CBC mode, and the
// decryption of an encrypted PDF string or stream.
#include <cstdint>
#include <string>

class TPellarAES {
public:
  static constexpr size_t BlockSize = 16;

  // A key of 16, 24 or 32 bytes selects AES-128, -192 or -256; a key of any other
  // length is cut or zero-filled to 16 bytes, so that no input can fail.
  explicit TPellarAES(const std::string& key);

  // One 16-byte block, in place.
  void EncryptBlock(uint8_t block[BlockSize]) const;
  void DecryptBlock(uint8_t block[BlockSize]) const;

private:
  int Rounds;
  uint32_t EncryptKeys[60];  // round keys as big-endian column words
  uint32_t DecryptKeys[60];  // reversed, with the inverse column mix folded in
};

// CBC over the whole 16-byte blocks of data (a trailing partial block is dropped),
// no padding. AES-256 when the key has 32 bytes, AES-128 with the key cut or
// zero-filled to 16 bytes otherwise. The vector is likewise cut or zero-filled.
std::string AESDecryptCBC(const std::string& key, const std::string& iv, const std::string& data);
std::string AESEncryptCBC(const std::string& key, const std::string& iv, const std::string& data);

// An encrypted string or stream: a 16-byte vector followed by the CBC ciphertext,
// whose plaintext ends with block padding (n bytes of value n, 1 <= n <= 16). The
// padding is removed only when it is well-formed: data written without padding keep
// every byte. Data of 16 bytes or fewer decrypt to nothing.
std::string DecryptAES(const std::string& key, const std::string& data);
