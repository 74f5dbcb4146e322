#include "base/sha256_digest.h"

#include <windows.h>
#include <wincrypt.h>

namespace {

const DWORD kDigestBytes = 32;

// CryptHashData takes a DWORD count: bigger data goes in pieces.
bool HashData(HCRYPTHASH hash, const BYTE* data, size_t size) {
  const size_t kPiece = 1u << 30;
  for (; size > 0;) {
    const DWORD count = static_cast<DWORD>(size < kPiece ? size : kPiece);
    if (!CryptHashData(hash, data, count, 0)) return false;
    data += count;
    size -= count;
  }
  return true;
}

}  // namespace

bool Sha256Digest(const void* data, size_t size, SharedString& digest) {
  digest.Empty();
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    return false;
  }
  HCRYPTHASH hash = 0;
  BYTE value[kDigestBytes];
  DWORD length = kDigestBytes;
  const bool made = CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) &&
                    HashData(hash, static_cast<const BYTE*>(data), size) &&
                    CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0) &&
                    length == kDigestBytes;
  if (hash != 0) CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
  if (!made) return false;
  static const char kDigits[] = "0123456789abcdef";
  char* text = digest.GetBufferOfLength(2 * kDigestBytes);
  for (DWORD i = 0; i < kDigestBytes; ++i) {
    text[2 * i] = kDigits[value[i] >> 4];
    text[2 * i + 1] = kDigits[value[i] & 0x0F];
  }
  return true;
}
