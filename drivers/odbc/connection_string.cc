#include "drivers/odbc/connection_string.h"

#include "base/paths.h"

namespace rh::odbc {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

Status Malformed(std::string what) {
  return Status::Sql("08001", "malformed connection string: " + what);
}

// Whether text[p...] is blanks up to a ";" or the end.
bool AtValueEnd(std::string_view text, size_t p) {
  while (p < text.size() && IsBlank(text[p])) ++p;
  return p == text.size() || text[p] == ';';
}

// Leaves *pos after the ";" that ends the attribute, or at the end.
void SkipToNext(std::string_view text, size_t* pos) {
  size_t semi = text.find(';', *pos);
  *pos = semi == std::string_view::npos ? text.size() : semi + 1;
}

// A value in braces at text[*pos]; "}}" stands for "}".
Result<std::string> BracedValue(std::string_view text, size_t* pos) {
  std::string value;
  for (size_t p = *pos + 1; p < text.size();) {
    char c = text[p++];
    if (c != '}') {
      value.push_back(c);
    } else if (p < text.size() && text[p] == '}') {
      value.push_back('}');
      ++p;
    } else if (AtValueEnd(text, p)) {
      *pos = p;
      SkipToNext(text, pos);
      return value;
    } else {
      return Malformed("text after a closing brace");
    }
  }
  return Malformed("unterminated brace");
}

// A value in double quotes at text[*pos]. Paths come unescaped, so a quote
// ends the value only where blanks and a ";" or the end follow it.
Result<std::string> QuotedValue(std::string_view text, size_t* pos) {
  for (size_t p = *pos + 1; p < text.size(); ++p) {
    if (text[p] == '"' && AtValueEnd(text, p + 1)) {
      std::string value(text.substr(*pos + 1, p - *pos - 1));
      *pos = p + 1;
      SkipToNext(text, pos);
      return value;
    }
  }
  return Malformed("unterminated quote");
}

}  // namespace

std::optional<std::string> ConnectionAttributes::Get(std::string_view key) const {
  for (const auto& [k, v] : items_)
    if (EqualsIgnoreAsciiCase(k, key)) return v;
  return std::nullopt;
}

void ConnectionAttributes::Add(std::string key, std::string value) {
  items_.emplace_back(std::move(key), std::move(value));
}

void ConnectionAttributes::AppendToLast(std::string_view text) {
  if (!items_.empty()) items_.back().second += text;
}

Result<ConnectionAttributes> ParseConnectionString(std::string_view text) {
  ConnectionAttributes attrs;
  bool last_bare = false;  // whether a ";" piece may continue the last value
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    size_t eq = text.find('=', pos);
    if (eq == std::string_view::npos || eq > end) {
      std::string_view piece = text.substr(pos, end - pos);
      pos = end < text.size() ? end + 1 : end;
      if (Trim(piece).empty()) {
        last_bare = false;
        continue;
      }
      if (!last_bare) return Malformed("attribute without '='");
      attrs.AppendToLast(";");
      attrs.AppendToLast(piece);
      continue;
    }
    std::string_view key = Trim(text.substr(pos, eq - pos));
    if (key.empty()) return Malformed("attribute without a name");
    size_t v = eq + 1;
    while (v < text.size() && IsBlank(text[v]) && v < end) ++v;
    last_bare = false;
    if (v < text.size() && (text[v] == '{' || text[v] == '"')) {
      size_t p = v;
      auto value = text[v] == '{' ? BracedValue(text, &p) : QuotedValue(text, &p);
      if (!value.ok()) return value.status();
      attrs.Add(std::string(key), std::move(*value));
      pos = p;
      continue;
    }
    attrs.Add(std::string(key), std::string(text.substr(eq + 1, end - eq - 1)));
    last_bare = true;
    pos = end < text.size() ? end + 1 : end;
  }
  return attrs;
}

bool IsTrueValue(std::string_view value) {
  value = Trim(value);
  return value == "1" || EqualsIgnoreAsciiCase(value, "TRUE") ||
         EqualsIgnoreAsciiCase(value, "YES") || EqualsIgnoreAsciiCase(value, "ON");
}

}  // namespace rh::odbc
