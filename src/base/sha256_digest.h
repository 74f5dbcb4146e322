// SHA-256 digests: setup records the digests of the files it leaves for the
// uninstaller, which checks them before it trusts the files. Computed here
// rather than through the system's CryptoAPI provider: under Wine that
// provider loads a TLS library and its dependencies, about 3 MiB of working
// set and tens of milliseconds, to hash a few kilobytes at the end of setup.
#ifndef VANTOREL_BASE_SHA256_DIGEST_H
#define VANTOREL_BASE_SHA256_DIGEST_H

#include <stddef.h>
#include <stdint.h>

#include "base/shared_string.h"

// A digest's length as text: lower-case hexadecimal digits.
const int kDigestLength = 64;

// The digest of bytes given a piece at a time (vtpack hashes whole setup
// files this way).
class Sha256 {
 public:
  void Add(const void* data, size_t size);
  // As kDigestLength lower-case hexadecimal digits; the hash is used up.
  void Finish(SharedString& digest);

 private:
  void AddByte(unsigned char byte);

  uint32_t state_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  unsigned char block_[64];
  unsigned filled_ = 0;
  uint64_t length_ = 0;  // bytes added
};

// The digest of `size` bytes at `data` as kDigestLength lower-case
// hexadecimal digits.
void Sha256Digest(const void* data, size_t size, SharedString& digest);

#endif
