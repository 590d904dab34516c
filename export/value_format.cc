#include "export/value_format.h"

#include <array>
#include <bit>
#include <cstring>

#include "base/bytes.h"
#include "base/decimal.h"

namespace rh {

namespace {

// The digits of v, written backwards so that they end just before `end`.
char* DigitsBackward(char* end, uint64_t v) {
  while (v >= 100) {
    const uint64_t pair = (v % 100) * 2;
    v /= 100;
    *--end = kDigitPairs[pair + 1];
    *--end = kDigitPairs[pair];
  }
  if (v >= 10) {
    *--end = kDigitPairs[v * 2 + 1];
    *--end = kDigitPairs[v * 2];
  } else {
    *--end = static_cast<char>('0' + v);
  }
  return end;
}

// Blanks the `width` columns at p before the digits are written over
// them: a column of up to 32 is blanked as 32 bytes, one or two stores
// where a call to memset would cost more than the blanks. A number always
// has 32 bytes of room (MaxFormattedBytes).
constexpr int kBlankRun = 32;
void BlankColumn(char* p, int width) {
  if (width <= kBlankRun) {
    std::memset(p, ' ', kBlankRun);
  } else {
    std::memset(p, ' ', static_cast<size_t>(width));
  }
}

// `n` characters at `text`, right-aligned in `width` columns.
char* PutRight(char* p, const char* text, size_t n, int width) {
  if (width > 0 && n < static_cast<size_t>(width)) {
    std::memset(p, ' ', static_cast<size_t>(width) - n);
    p += static_cast<size_t>(width) - n;
  }
  std::memcpy(p, text, n);
  return p + n;
}

// The bytes that would end a bare tab-delimited value early, or make
// quote-aware readers take it for a quoted one.
constexpr auto kEndsTabValue = [] {
  std::array<bool, 256> t{};
  t['\t'] = t['\n'] = t['\r'] = t['"'] = true;
  return t;
}();

}  // namespace

size_t MaxFormattedBytes(FieldSource source, int32_t text_size) {
  switch (source) {
    case FieldSource::kT: return 2 * static_cast<size_t>(text_size);
    case FieldSource::kD: return kMaxNumberChars;
    default: return 32;
  }
}

char* FormatCommaText(char* p, std::string_view text) {
  if (text.empty()) return p;  // an empty view may hold no pointer at all
  const char* d = text.data();
  const size_t n = text.size();
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Eight bytes at a time while eight are left, each word stored whole
    // and kept up to its first line feed or quote. The output is never more
    // than twice what was read, so a word stored at p stays within 2 * n.
    while (n - i >= 8) {
      uint64_t word;
      std::memcpy(&word, d + i, 8);
      std::memcpy(p, &word, 8);
      const uint64_t found = BytesEqual(word, '\n') | BytesEqual(word, '"');
      if (found == 0) {
        p += 8;
        i += 8;
        continue;
      }
      // The lowest byte flagged is always a real match.
      const size_t k = static_cast<size_t>(std::countr_zero(found)) / 8;
      p += k;
      *p++ = d[i + k] == '\n' ? '\r' : '"';  // LF as CR LF, a quote doubled
      *p++ = d[i + k];
      i += k + 1;
    }
  }
  for (; i < n; ++i) {
    if (d[i] == '\n' || d[i] == '"') *p++ = d[i] == '\n' ? '\r' : '"';
    *p++ = d[i];
  }
  return p;
}

char* FormatTabText(char* p, std::string_view text) {
  if (text.empty()) return p;
  const char* d = text.data();
  const size_t n = text.size();
  size_t i = 0;
  while (i < n && !kEndsTabValue[static_cast<unsigned char>(d[i])]) ++i;
  if (i == n) {
    std::memcpy(p, d, n);
    return p + n;
  }
  *p++ = '"';
  p = FormatCommaText(p, text);
  *p++ = '"';
  return p;
}

char* FormatFixedText(char* p, std::string_view text) {
  if (text.empty()) return p;
  std::memcpy(p, text.data(), text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (p[i] == '\n' || p[i] == '\r') p[i] = ' ';
  return p + text.size();
}

char* FormatInt(char* p, int64_t value, int width) {
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (width > 0) {
    // Right-aligned in place: blanks, then the digits from the column's
    // end, then the sign.
    const int digits = DecimalDigits(magnitude);
    const int n = digits + (value < 0 ? 1 : 0);
    char* const end = p + (n > width ? n : width);
    BlankColumn(p, width);
    char* start = end - digits;
    if (std::endian::native == std::endian::little && digits <= 8 && width <= kBlankRun - 8) {
      // The digits as one word: what it writes past the end lies within
      // the blanked run, and is written over by what follows.
      const uint64_t word = EightDigits(static_cast<uint32_t>(magnitude)) >> (8 * (8 - digits));
      std::memcpy(start, &word, 8);
    } else {
      start = DigitsBackward(end, magnitude);
    }
    if (value < 0) start[-1] = '-';
    return end;
  }
  return FormatSigned(p, value);
}

char* FormatTenThousandths(char* p, int32_t v, int width) {
  if (width <= 0) {
    const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(int64_t{v}) : static_cast<uint64_t>(v);
    if (v < 0) *p++ = '-';
    p = FormatUnsigned(p, magnitude / 10000);
    const auto frac = static_cast<size_t>(magnitude % 10000);
    *p++ = '.';
    std::memcpy(p, kDigitPairs + frac / 100 * 2, 2);
    std::memcpy(p + 2, kDigitPairs + frac % 100 * 2, 2);
    return p + 4;
  }
  // Right-aligned in place, as FormatInt does.
  const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(int64_t{v}) : static_cast<uint64_t>(v);
  const uint64_t whole = magnitude / 10000;
  const auto frac = static_cast<size_t>(magnitude % 10000);
  const int n = DecimalDigits(whole) + 5 + (v < 0 ? 1 : 0);
  char* const end = p + (n > width ? n : width);
  BlankColumn(p, width);
  std::memcpy(end - 4, kDigitPairs + frac / 100 * 2, 2);
  std::memcpy(end - 2, kDigitPairs + frac % 100 * 2, 2);
  char* start = end - 5;
  *start = '.';
  start = DigitsBackward(start, whole);
  if (v < 0) start[-1] = '-';
  return end;
}

static_assert(kMaxNumberChars >= MaxFixedChars(6));

char* FormatReal(char* p, double value, int width) {
  if (width <= 0) return FormatFixed(p, value, 6);
  char buf[MaxFixedChars(6)];
  return PutRight(p, buf, static_cast<size_t>(FormatFixed(buf, value, 6) - buf), width);
}

void AppendInt(std::string* out, int64_t value, int width) {
  char buf[kMaxNumberChars];
  out->append(buf, static_cast<size_t>(FormatInt(buf, value, width) - buf));
}

void AppendTenThousandths(std::string* out, int32_t v, int width) {
  char buf[kMaxNumberChars];
  out->append(buf, static_cast<size_t>(FormatTenThousandths(buf, v, width) - buf));
}

void AppendReal(std::string* out, double value, int width) {
  char buf[kMaxNumberChars + 64];
  const int w = width < 64 ? width : 64;
  out->append(buf, static_cast<size_t>(FormatReal(buf, value, w) - buf));
}

void AppendCutRight(std::string* out, std::string_view text, int width) {
  text = text.substr(0, static_cast<size_t>(width > 0 ? width : 0));
  if (width > 0 && text.size() < static_cast<size_t>(width))
    out->append(static_cast<size_t>(width) - text.size(), ' ');
  out->append(text);
}

void AppendCutLeft(std::string* out, std::string_view text, int width) {
  const size_t w = static_cast<size_t>(width > 0 ? width : 0);
  text = text.substr(0, w);
  out->append(text);
  out->append(w - text.size(), ' ');
}

void AppendTextMode(std::string* out, std::string_view text) {
  for (;;) {
    size_t lf = text.find('\n');
    if (lf == std::string_view::npos) break;
    out->append(text.substr(0, lf));
    out->append("\r\n");
    text.remove_prefix(lf + 1);
  }
  out->append(text);
}

}  // namespace rh
