// Explicit byte-order helpers for the fixed binary layouts we read and write.
// Callers check bounds before calling; every function reads or writes exactly
// the bytes its name says, whatever the host's byte order.
#ifndef RECORDHAUL_BASE_BYTES_H_
#define RECORDHAUL_BASE_BYTES_H_

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace rh {

inline uint16_t LoadBigU16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline int16_t LoadBigI16(const uint8_t* p) {
  return static_cast<int16_t>(LoadBigU16(p));
}
inline uint32_t LoadBigU32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) |
         (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
inline int32_t LoadBigI32(const uint8_t* p) {
  return static_cast<int32_t>(LoadBigU32(p));
}
inline uint16_t LoadLittleU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t LoadLittleU32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
         (uint32_t{p[3]} << 24);
}
inline int32_t LoadLittleI32(const uint8_t* p) {
  return static_cast<int32_t>(LoadLittleU32(p));
}
inline uint64_t LoadLittleU64(const uint8_t* p) {
  return uint64_t{LoadLittleU32(p)} | (uint64_t{LoadLittleU32(p + 4)} << 32);
}
inline double LoadLittleDouble(const uint8_t* p) {
  return std::bit_cast<double>(LoadLittleU64(p));
}

inline void StoreBigU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void StoreBigU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
inline void StoreLittleU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLittleU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void StoreLittleU64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void StoreLittleDouble(uint8_t* p, double v) {
  StoreLittleU64(p, std::bit_cast<uint64_t>(v));
}

// Appending forms, for building records in a std::string.
inline void PutLittleU16(std::string* out, uint16_t v) {
  uint8_t b[2];
  StoreLittleU16(b, v);
  out->append(reinterpret_cast<const char*>(b), 2);
}
inline void PutLittleU32(std::string* out, uint32_t v) {
  uint8_t b[4];
  StoreLittleU32(b, v);
  out->append(reinterpret_cast<const char*>(b), 4);
}
inline void PutLittleDouble(std::string* out, double v) {
  uint8_t b[8];
  StoreLittleDouble(b, v);
  out->append(reinterpret_cast<const char*>(b), 8);
}

// The text of a fixed-size field: its bytes up to the first NUL, at most
// `max_len` of them.
inline std::string FixedText(const uint8_t* p, size_t field_size,
                             size_t max_len) {
  size_t n = 0;
  size_t limit = field_size < max_len ? field_size : max_len;
  while (n < limit && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

// Copies the n bytes at src to dst (which do not overlap) without a call
// for the short runs of a record's fields: up to 32 bytes as two loads and
// two stores of a size that covers them, overlapping in the middle.
inline void CopyShort(char* dst, const char* src, size_t n) {
  if (n >= 8) {
    if (n > 32) {
      __builtin_memcpy(dst, src, n);
    } else if (n > 16) {
      char head[16], tail[16];
      __builtin_memcpy(head, src, 16);
      __builtin_memcpy(tail, src + n - 16, 16);
      __builtin_memcpy(dst, head, 16);
      __builtin_memcpy(dst + n - 16, tail, 16);
    } else {
      uint64_t head, tail;
      __builtin_memcpy(&head, src, 8);
      __builtin_memcpy(&tail, src + n - 8, 8);
      __builtin_memcpy(dst, &head, 8);
      __builtin_memcpy(dst + n - 8, &tail, 8);
    }
  } else if (n >= 4) {
    uint32_t head, tail;
    __builtin_memcpy(&head, src, 4);
    __builtin_memcpy(&tail, src + n - 4, 4);
    __builtin_memcpy(dst, &head, 4);
    __builtin_memcpy(dst + n - 4, &tail, 4);
  } else if (n > 0) {
    // 1 to 3 bytes: the first, the middle and the last, some of them the same.
    const char first = src[0], middle = src[n / 2], last = src[n - 1];
    dst[0] = first;
    dst[n / 2] = middle;
    dst[n - 1] = last;
  }
}

// Eight bytes at a time: a word's zero bytes, each as its top bit (0x80).
// Whether there is one is exact; within a word only the lowest flag is sure
// to be one, since a false flag can only follow a real one.
inline uint64_t ZeroBytes(uint64_t w) {
  return (w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull;
}
// The bytes of w equal to c, flagged as ZeroBytes flags zeros.
inline uint64_t BytesEqual(uint64_t w, char c) {
  return ZeroBytes(w ^ (0x0101010101010101ull * static_cast<uint8_t>(c)));
}

}  // namespace rh

#endif  // RECORDHAUL_BASE_BYTES_H_
