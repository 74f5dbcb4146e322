// SHA-256 digests through the system's CryptoAPI provider (PROV_RSA_AES,
// Windows XP SP3 on): setup records the digests of the files it leaves for
// the uninstaller, which checks them before it trusts the files.
#ifndef VANTOREL_BASE_SHA256_DIGEST_H
#define VANTOREL_BASE_SHA256_DIGEST_H

#include <stddef.h>

#include "base/shared_string.h"

// The digest of `size` bytes at `data` as 64 lower-case hexadecimal digits
// into `digest`; false (and `digest` empty) when the system cannot make it.
bool Sha256Digest(const void* data, size_t size, SharedString& digest);

#endif
