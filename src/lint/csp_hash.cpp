#include "lint/csp_hash.h"

#include <cstddef>

namespace unitcheck::lint {

namespace {

constexpr std::array<std::uint32_t, 64> kRounds = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotate_right(std::uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

// One 64-byte block into the state.
void compress(std::array<std::uint32_t, 8>& state, const std::uint8_t* block) {
  std::array<std::uint32_t, 64> w{};
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
           std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
  for (int i = 16; i < 64; ++i) {
    const std::uint32_t s0 =
        rotate_right(w[i - 15], 7) ^ rotate_right(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 =
        rotate_right(w[i - 2], 17) ^ rotate_right(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::array<std::uint32_t, 8> v = state;
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t s1 =
        rotate_right(v[4], 6) ^ rotate_right(v[4], 11) ^ rotate_right(v[4], 25);
    const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const std::uint32_t t1 = v[7] + s1 + choice + kRounds[i] + w[i];
    const std::uint32_t s0 =
        rotate_right(v[0], 2) ^ rotate_right(v[0], 13) ^ rotate_right(v[0], 22);
    const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
  }
  for (int i = 0; i < 8; ++i) state[i] += v[i];
}

}  // namespace

std::array<std::uint8_t, 32> sha256(std::string_view text) {
  std::array<std::uint32_t, 8> state = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  std::size_t whole = text.size() / 64 * 64;
  for (std::size_t at = 0; at < whole; at += 64) compress(state, bytes + at);
  // The rest, a 1 bit, zeros, and the length in bits: one block or two.
  std::array<std::uint8_t, 128> tail{};
  const std::size_t rest = text.size() - whole;
  for (std::size_t i = 0; i < rest; ++i) tail[i] = bytes[whole + i];
  tail[rest] = 0x80;
  const std::size_t tail_size = rest < 56 ? 64 : 128;
  const std::uint64_t bits = static_cast<std::uint64_t>(text.size()) * 8;
  for (int i = 0; i < 8; ++i) tail[tail_size - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
  for (std::size_t at = 0; at < tail_size; at += 64) compress(state, tail.data() + at);
  std::array<std::uint8_t, 32> digest{};
  for (int i = 0; i < 32; ++i)
    digest[i] = static_cast<std::uint8_t>(state[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

std::string csp_hash_source(std::string_view text) {
  constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::array<std::uint8_t, 32> digest = sha256(text);
  std::string out = "'sha256-";
  for (std::size_t i = 0; i < digest.size(); i += 3) {
    const std::size_t left = digest.size() - i;
    const std::uint32_t group = std::uint32_t{digest[i]} << 16 |
                                (left > 1 ? std::uint32_t{digest[i + 1]} << 8 : 0) |
                                (left > 2 ? digest[i + 2] : 0);
    out.push_back(kBase64[group >> 18 & 63]);
    out.push_back(kBase64[group >> 12 & 63]);
    out.push_back(left > 1 ? kBase64[group >> 6 & 63] : '=');
    out.push_back(left > 2 ? kBase64[group & 63] : '=');
  }
  return out.append("'");
}

}  // namespace unitcheck::lint
