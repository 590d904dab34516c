#include "export/export_options.h"

#include <cctype>
#include <string>

namespace rh {

std::string_view TextEncodingName(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf8 ? "utf-8" : "windows-1252";
}

std::optional<TextEncoding> ParseTextEncoding(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "windows-1252" || lower == "cp1252") return TextEncoding::kWindows1252;
  if (lower == "utf-8" || lower == "utf8") return TextEncoding::kUtf8;
  return std::nullopt;
}

}  // namespace rh
