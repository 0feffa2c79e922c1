#include "install/sha256.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/file_util.h"

namespace {

constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

uint32_t RotateRight(uint32_t value, int bits) { return (value >> bits) | (value << (32 - bits)); }

uint32_t ReadBigEndian(const uint8_t* bytes) {
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

}  // namespace

CSha256::CSha256() { std::memcpy(state_, kInitialState, sizeof state_); }

void CSha256::Compress(const uint8_t* block) {
  uint32_t w[64];
  for (int i = 0; i < 16; ++i) w[i] = ReadBigEndian(block + 4 * i);
  for (int i = 16; i < 64; ++i) {
    uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
    uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
  for (int i = 0; i < 64; ++i) {
    uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
    uint32_t choice = (e & f) ^ (~e & g);
    uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
    uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
    uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
    uint32_t t2 = s0 + majority;
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += e;
  state_[5] += f;
  state_[6] += g;
  state_[7] += h;
}

void CSha256::Update(const void* data, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  totalBytes_ += size;
  while (size > 0) {
    size_t take = sizeof block_ - blockUsed_;
    if (take > size) take = size;
    std::memcpy(block_ + blockUsed_, bytes, take);
    blockUsed_ += take;
    bytes += take;
    size -= take;
    if (blockUsed_ == sizeof block_) {
      Compress(block_);
      blockUsed_ = 0;
    }
  }
}

std::string CSha256::FinishHex() {
  // The padding: one 1 bit, zeros up to 8 bytes short of a block, then the length in bits.
  uint64_t bits = totalBytes_ * 8;
  uint8_t padding[72] = {0x80};
  size_t padLength = (blockUsed_ < 56 ? 56 : 120) - blockUsed_;
  for (int i = 0; i < 8; ++i) padding[padLength + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
  Update(padding, padLength + 8);
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (uint32_t word : state_) {
    for (int shift = 28; shift >= 0; shift -= 4) hex += digits[(word >> shift) & 15];
  }
  return hex;
}

bool FileSha256(const std::wstring& path, std::string& hex) {
  std::FILE* file = OpenBinaryFile(path);
  if (file == nullptr) return false;
  CSha256 sum;
  std::vector<char> buffer(1 << 16);
  size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) sum.Update(buffer.data(), got);
  bool complete = std::ferror(file) == 0;
  std::fclose(file);
  if (!complete) return false;
  hex = sum.FinishHex();
  return true;
}
