// The number and text formats the writers use: the printf conversions of the
// export formats ("%i", "%.6f", "%10.4f", "%8.8s", ...) done without locale
// and without allocating. The Format* functions write at `p` and return the
// end; the caller makes room first: MaxFormattedBytes of the value's kind,
// 32 bytes for a number other than a D (digits are written a word at a
// time, and may be written past the number's end within that room), and
// kMaxNumberChars for any number. The Append* forms add to a string.
#ifndef RECORDHAUL_EXPORT_VALUE_FORMAT_H_
#define RECORDHAUL_EXPORT_VALUE_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/decimal.h"
#include "data/field_value.h"

namespace rh {

// The widest number any Format* writes: "%.6f" of the largest double.
inline constexpr size_t kMaxNumberChars = 330;

// The most bytes a value of this kind takes once formatted, each of its
// text bytes written at most twice (a doubled quote, a line feed as CR LF);
// the two quotes around a quoted value not counted.
size_t MaxFormattedBytes(FieldSource source, int32_t text_size);

// Text inside the quotes of a comma-delimited value: a double quote is
// doubled, a line feed becomes CR LF. Writes within 2 * size bytes.
char* FormatCommaText(char* p, std::string_view text);
// A tab-delimited value. Text that holds a tab, CR, LF or double quote would
// end its column or line early, or be misread by quote-aware readers, so it
// goes between double quotes with each quote doubled and each line feed as
// CR LF; any other text is written bare. At most 2 * size + 2 bytes.
char* FormatTabText(char* p, std::string_view text);
// A fixed-width value: CR and LF become blanks, so that every record stays
// one line and every column keeps its width.
char* FormatFixedText(char* p, std::string_view text);

// "%i", right-aligned in `width` columns ("%8i") when width > 0.
char* FormatInt(char* p, int64_t value, int width = 0);
// "%i" with no width, inline for the text writer's inner loop.
inline char* FormatSigned(char* p, int64_t value) {
  *p = '-';
  p += value < 0 ? 1 : 0;
  const auto magnitude = static_cast<uint64_t>(value);
  return FormatUnsigned(p, value < 0 ? 0 - magnitude : magnitude);
}
// "%.4f" of v / 10000, exactly: the stored ten-thousandths of a type F field.
char* FormatTenThousandths(char* p, int32_t v, int width = 0);
// "%.6f" of a double, right-aligned in `width` columns when width > 0.
char* FormatReal(char* p, double value, int width = 0);

void AppendInt(std::string* out, int64_t value, int width = 0);
void AppendTenThousandths(std::string* out, int32_t v, int width = 0);
void AppendReal(std::string* out, double value, int width = 0);

// "%N.Ns": the text cut to `width` characters, right-aligned in `width`.
void AppendCutRight(std::string* out, std::string_view text, int width);
// The text cut to `width` characters or filled with spaces on the right.
void AppendCutLeft(std::string* out, std::string_view text, int width);
// Text as a text-mode stream writes it: every line feed becomes CR LF.
void AppendTextMode(std::string* out, std::string_view text);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_VALUE_FORMAT_H_
