#include "drivers/odbc/driver_handles.h"

#include <algorithm>
#include <cstring>

namespace rh::odbc {

void Diagnostics::Add(std::string_view sqlstate, std::string_view text) {
  DiagRecord r;
  r.sqlstate = std::string(sqlstate.substr(0, 5));
  if (r.sqlstate.size() != 5) r.sqlstate = "HY000";
  r.message = "[recordhaul][";
  r.message += ThisDriver().component;
  r.message += "]";
  r.message += text;
  records_.push_back(std::move(r));
}

SQLRETURN HandleBase::Fail(std::string_view sqlstate, std::string_view text) {
  diag.Add(sqlstate, text);
  return diag.return_code = SQL_ERROR;
}

SQLRETURN HandleBase::Warn(std::string_view sqlstate, std::string_view text) {
  diag.Add(sqlstate, text);
  return diag.return_code = SQL_SUCCESS_WITH_INFO;
}

SQLRETURN CopyString(HandleBase* h, std::string_view value, SQLCHAR* buf,
                     SQLLEN buf_len, SQLSMALLINT* out_len16, SQLINTEGER* out_len32) {
  if (out_len16) *out_len16 = static_cast<SQLSMALLINT>(std::min<size_t>(value.size(), 32767));
  if (out_len32) *out_len32 = static_cast<SQLINTEGER>(value.size());
  if (!buf) return SQL_SUCCESS;
  if (buf_len <= 0) return h->Fail("HY090", "invalid buffer length");
  size_t n = std::min(value.size(), static_cast<size_t>(buf_len) - 1);
  std::memcpy(buf, value.data(), n);
  buf[n] = '\0';
  if (n < value.size()) return h->Warn("01004", "string data, right truncated");
  return SQL_SUCCESS;
}

bool TextArgument(const SQLCHAR* text, SQLLEN len, std::string_view* out) {
  if (!text) return false;
  if (len == SQL_NTS) {
    *out = reinterpret_cast<const char*>(text);
    return true;
  }
  if (len < 0) return false;
  *out = std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(len));
  return true;
}

}  // namespace rh::odbc
