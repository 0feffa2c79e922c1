#pragma once
// SHA-256 (FIPS 180-4) of a byte stream, for checking downloaded archives against the sums
// their host publishes.
#include <cstddef>
#include <cstdint>
#include <string>

class CSha256 {
 public:
  CSha256();

  void Update(const void* data, size_t size);
  // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
  std::string FinishHex();

 private:
  void Compress(const uint8_t* block);

  uint32_t state_[8];
  uint8_t block_[64];
  size_t blockUsed_ = 0;
  uint64_t totalBytes_ = 0;
};

// The SHA-256 of the file's bytes as 64 lower-case hexadecimal digits into hex; false when the
// file cannot be read to its end.
bool FileSha256(const std::wstring& path, std::string& hex);
