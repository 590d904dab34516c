#include "base/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace rh {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest equal their byte value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The UTF-8 bytes of every Windows-1252 byte, and how many there are.
struct Utf8Bytes {
  uint8_t size;
  char bytes[3];
};

constexpr Utf8Bytes EncodeUtf8(char32_t cp) {
  if (cp < 0x80) return {1, {static_cast<char>(cp), 0, 0}};
  if (cp < 0x800) {
    return {2, {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0}};
  }
  return {3,
          {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
           static_cast<char>(0x80 | (cp & 0x3F))}};
}

constexpr auto kUtf8Of = [] {
  std::array<Utf8Bytes, 256> table{};
  for (int b = 0; b < 256; ++b)
    table[static_cast<size_t>(b)] =
        EncodeUtf8(b >= 0x80 && b < 0xA0 ? char32_t{kHigh[b - 0x80]} : char32_t(b));
  return table;
}();

// Whether all eight bytes at p are ASCII.
inline bool EightAscii(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080u) == 0;
}

// Decodes one UTF-8 sequence at text[*i]; returns U+FFFD for a bad one.
char32_t NextCodePoint(std::string_view text, size_t* i) {
  auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  uint8_t b0 = byte(*i);
  int extra = b0 < 0x80 ? 0 : (b0 >> 5) == 6 ? 1 : (b0 >> 4) == 14 ? 2
            : (b0 >> 3) == 30 ? 3 : -1;
  if (extra < 0 || *i + extra >= text.size()) {
    ++*i;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? b0 : (b0 & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    uint8_t b = byte(*i + k);
    if ((b & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  *i += extra + 1;
  return cp;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kHigh[byte - 0x80] : byte;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out(kMaxUtf8BytesPerCp1252Byte * text.size(), '\0');
  out.resize(static_cast<size_t>(Cp1252ToUtf8(out.data(), text) - out.data()));
  return out;
}

char* Cp1252ToUtf8(char* out, std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* run = p;
    while (end - p >= 8 && EightAscii(p)) p += 8;
    while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
    if (p > run) {
      std::memcpy(out, run, static_cast<size_t>(p - run));
      out += p - run;
    }
    // Then the bytes up to the next ASCII one, through the table.
    for (; p < end && static_cast<unsigned char>(*p) >= 0x80; ++p) {
      const Utf8Bytes& u = kUtf8Of[static_cast<unsigned char>(*p)];
      std::memcpy(out, u.bytes, 3);  // within the room this byte has; `size` count
      out += u.size;
    }
  }
  return out;
}

void AppendCp1252AsUtf8(std::string_view text, std::string* out) {
  const size_t old_size = out->size();
  out->resize(old_size + kMaxUtf8BytesPerCp1252Byte * text.size());
  char* end = Cp1252ToUtf8(out->data() + old_size, text);
  out->resize(static_cast<size_t>(end - out->data()));
}

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text)
    out.push_back(static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(c))));
  return out;
}

std::string Utf8ToCp1252(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = NextCodePoint(text, &i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = replacement;
    for (int k = 0; k < 32; ++k)
      if (kHigh[k] == cp) mapped = static_cast<char>(0x80 + k);
    out.push_back(mapped);
  }
  return out;
}

}  // namespace rh
