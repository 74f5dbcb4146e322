#include "base/sha256_digest.h"

#include <stdint.h>
#include <string.h>

namespace {

const uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t RotateRight(uint32_t value, int bits) { return (value >> bits) | (value << (32 - bits)); }

// One 64-byte block into the running state; the message schedule is kept
// as its last 16 words.
void HashBlock(uint32_t state[8], const unsigned char* block) {
  uint32_t schedule[16];
  uint32_t v[8];  // a..h
  memcpy(v, state, sizeof v);
  for (int i = 0; i < 64; ++i) {
    uint32_t& word = schedule[i & 15];
    if (i < 16) {
      const unsigned char* at = block + 4 * i;
      word = static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
             static_cast<uint32_t>(at[2]) << 8 | at[3];
    } else {
      const uint32_t early = schedule[(i + 1) & 15], late = schedule[(i + 14) & 15];
      word += (RotateRight(early, 7) ^ RotateRight(early, 18) ^ (early >> 3)) +
              schedule[(i + 9) & 15] +
              (RotateRight(late, 17) ^ RotateRight(late, 19) ^ (late >> 10));
    }
    const uint32_t e = v[4], a = v[0];
    const uint32_t t1 = v[7] + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) +
                        ((e & v[5]) ^ (~e & v[6])) + kRoundConstants[i] + word;
    const uint32_t t2 = (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) +
                        ((a & v[1]) ^ (a & v[2]) ^ (v[1] & v[2]));
    for (int j = 7; j > 0; --j) v[j] = v[j - 1];
    v[4] += t1;
    v[0] = t1 + t2;
  }
  for (int i = 0; i < 8; ++i) state[i] += v[i];
}

}  // namespace

// Takes the bytes one at a time: the setup program hashes a few kilobytes,
// and the one path keeps it small.
void Sha256::AddByte(unsigned char byte) {
  block_[filled_++] = byte;
  if (filled_ == 64) {
    HashBlock(state_, block_);
    filled_ = 0;
  }
}

void Sha256::Add(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) AddByte(bytes[i]);
  length_ += size;
}

void Sha256::Finish(SharedString& digest) {
  // A 1 bit, zeros, and the length in bits at the end of the last block.
  const uint64_t bits = length_ * 8;
  AddByte(0x80);
  while (filled_ != 56) AddByte(0);
  for (int shift = 56; shift >= 0; shift -= 8) AddByte(static_cast<unsigned char>(bits >> shift));

  static const char kDigits[] = "0123456789abcdef";
  char* text = digest.GetBufferOfLength(kDigestLength);
  for (int i = 0; i < kDigestLength; ++i)
    text[i] = kDigits[(state_[i / 8] >> (28 - 4 * (i % 8))) & 0x0F];
}

void Sha256Digest(const void* data, size_t size, SharedString& digest) {
  Sha256 hash;
  hash.Add(data, size);
  hash.Finish(digest);
}
