#include "export/value_format.h"

#include <charconv>
#include <cstring>

namespace rh {

namespace {

void PadLeft(std::string* out, size_t used, int width) {
  if (width > 0 && used < static_cast<size_t>(width)) out->append(static_cast<size_t>(width) - used, ' ');
}

}  // namespace

void AppendInt(std::string* out, int64_t value, int width) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  size_t n = static_cast<size_t>(r.ptr - buf);
  PadLeft(out, n, width);
  out->append(buf, n);
}

void AppendTenThousandths(std::string* out, int32_t v, int width) {
  int64_t magnitude = v < 0 ? -int64_t{v} : int64_t{v};
  char buf[24];
  char* p = buf;
  if (v < 0) *p++ = '-';
  p = std::to_chars(p, buf + sizeof buf, magnitude / 10000).ptr;
  *p++ = '.';
  int64_t frac = magnitude % 10000;
  for (int div = 1000; div > 0; div /= 10) *p++ = static_cast<char>('0' + frac / div % 10);
  size_t n = static_cast<size_t>(p - buf);
  PadLeft(out, n, width);
  out->append(buf, n);
}

void AppendReal(std::string* out, double value, int width) {
  char buf[400];  // the widest double in fixed notation is about 320 characters
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
  size_t n = static_cast<size_t>(r.ptr - buf);
  PadLeft(out, n, width);
  out->append(buf, n);
}

void AppendCutRight(std::string* out, std::string_view text, int width) {
  text = text.substr(0, static_cast<size_t>(width > 0 ? width : 0));
  PadLeft(out, text.size(), width);
  out->append(text);
}

void AppendCutLeft(std::string* out, std::string_view text, int width) {
  size_t w = static_cast<size_t>(width > 0 ? width : 0);
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
