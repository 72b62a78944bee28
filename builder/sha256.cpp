#include "builder/sha256.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

#include "builder/error.h"
#include "builder/utf8_path.h"

namespace wrenly::builder {
namespace {

constexpr std::array<uint32_t, 64> kRounds = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t Rotate(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

class Digest {
 public:
  void Add(const uint8_t* p, size_t n) {
    total_ += n;
    while (n) {
      size_t take = std::min(n, 64 - used_);
      std::memcpy(block_ + used_, p, take);
      used_ += take, p += take, n -= take;
      if (used_ == 64) Compress();
    }
  }
  std::string Hex() {
    uint64_t bits = total_ * 8;
    uint8_t pad = 0x80;
    Add(&pad, 1);
    pad = 0;
    while (used_ != 56) Add(&pad, 1);
    for (int i = 7; i >= 0; --i) block_[used_++] = static_cast<uint8_t>(bits >> (8 * i));
    Compress();
    std::string out;
    for (uint32_t h : state_)
      for (int i = 28; i >= 0; i -= 4) out += "0123456789ABCDEF"[(h >> i) & 15];
    return out;
  }

 private:
  void Compress() {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
      w[i] = uint32_t(block_[4 * i]) << 24 | uint32_t(block_[4 * i + 1]) << 16 | uint32_t(block_[4 * i + 2]) << 8 |
             block_[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
      uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
      uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto v = state_;
    for (int i = 0; i < 64; ++i) {
      uint32_t s1 = Rotate(v[4], 6) ^ Rotate(v[4], 11) ^ Rotate(v[4], 25);
      uint32_t t1 = v[7] + s1 + ((v[4] & v[5]) ^ (~v[4] & v[6])) + kRounds[i] + w[i];
      uint32_t s0 = Rotate(v[0], 2) ^ Rotate(v[0], 13) ^ Rotate(v[0], 22);
      uint32_t t2 = s0 + ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
      for (int k = 7; k > 0; --k) v[k] = v[k - 1];
      v[4] += t1;
      v[0] = t1 + t2;
    }
    for (int k = 0; k < 8; ++k) state_[k] += v[k];
    used_ = 0;
  }

  std::array<uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  uint8_t block_[64];
  size_t used_ = 0;
  uint64_t total_ = 0;
};

}  // namespace

std::string Sha256Hex(const std::vector<uint8_t>& bytes) {
  Digest d;
  d.Add(bytes.data(), bytes.size());
  return d.Hex();
}

std::string FileSha256Hex(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw BuildError(Utf8(file) + ": cannot read it for its SHA-256");
  Digest d;
  std::vector<char> buffer(1 << 16);
  while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0)
    d.Add(reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<size_t>(in.gcount()));
  return d.Hex();
}

}  // namespace wrenly::builder
