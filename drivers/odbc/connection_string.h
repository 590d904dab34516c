// ODBC connection strings: "KEY=value;KEY=value;..." as our drivers receive
// them from the driver manager.
//
// A value is one of
//   {text}   braces; "}}" inside stands for "}"; only blanks may follow
//   "text"   double quotes, ending at the first quote that only blanks
//            and a ";" (or the end) follow, so unescaped paths may hold quotes
//   text     bare, up to the next ";"
// Bare values are taken as given, blanks kept, since paths are not escaped:
// a path holding ";" survives as long as the text after that ";" holds no
// "=" (such a piece is joined to the value before it). Keys are trimmed and
// compared ignoring ASCII case. Empty pieces (";;", a final ";") are skipped.
#ifndef RECORDHAUL_DRIVERS_ODBC_CONNECTION_STRING_H_
#define RECORDHAUL_DRIVERS_ODBC_CONNECTION_STRING_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"

namespace rh::odbc {

class ConnectionAttributes {
 public:
  // The value of the first attribute named `key`, ignoring ASCII case.
  std::optional<std::string> Get(std::string_view key) const;
  void Add(std::string key, std::string value);
  void AppendToLast(std::string_view text);
  const std::vector<std::pair<std::string, std::string>>& items() const {
    return items_;
  }

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

// Fails with SQLSTATE 08001 for an unterminated quote or brace, text after a
// closing quote or brace, an empty key, or a piece without "=" that has no
// value before it to join.
Result<ConnectionAttributes> ParseConnectionString(std::string_view text);

// Whether a yes/no attribute is on: "1", "TRUE", "YES" or "ON", any case.
bool IsTrueValue(std::string_view value);

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_CONNECTION_STRING_H_
