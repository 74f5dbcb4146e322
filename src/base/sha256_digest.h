// SHA-256 digests: setup records the digests of the files it leaves for the
// uninstaller, which checks them before it trusts the files. Computed here
// rather than through the system's CryptoAPI provider: under Wine that
// provider loads a TLS library and its dependencies, about 3 MiB of working
// set and tens of milliseconds, to hash a few kilobytes at the end of setup.
#ifndef VANTOREL_BASE_SHA256_DIGEST_H
#define VANTOREL_BASE_SHA256_DIGEST_H

#include <stddef.h>

#include "base/shared_string.h"

// A digest's length as text: lower-case hexadecimal digits.
const int kDigestLength = 64;

// The digest of `size` bytes at `data` as kDigestLength lower-case
// hexadecimal digits.
void Sha256Digest(const void* data, size_t size, SharedString& digest);

#endif
