// Windows-1252, the code page of all stored accounting text.
//
// Stored text stays as bytes through every export; these conversions serve
// the display (window, terminal), the Unicode file formats (.xls, .mdb) and
// text the user types.
#ifndef RECORDHAUL_BASE_CP1252_H_
#define RECORDHAUL_BASE_CP1252_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace rh {

// The Unicode code point of one Windows-1252 byte. The five bytes the code
// page leaves undefined map to the C1 control of the same value, as Windows
// does.
char32_t Cp1252ToCodePoint(unsigned char byte);

std::string Cp1252ToUtf8(std::string_view text);

// The most bytes one Windows-1252 byte becomes in UTF-8.
inline constexpr size_t kMaxUtf8BytesPerCp1252Byte = 3;

// Writes `text` as UTF-8 at `out`, which has room for
// kMaxUtf8BytesPerCp1252Byte * text.size() bytes, and returns the end. Runs
// of ASCII are copied as they are; other bytes go through one table lookup,
// so the exports can afford it for every line.
char* Cp1252ToUtf8(char* out, std::string_view text);
// The same, appended to `out`: for loops that reuse one buffer.
void AppendCp1252AsUtf8(std::string_view text, std::string* out);
std::u16string Cp1252ToUtf16(std::string_view text);

// UTF-8 to Windows-1252; a character the code page lacks (or a malformed
// sequence) becomes `replacement`.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');

}  // namespace rh

#endif  // RECORDHAUL_BASE_CP1252_H_
