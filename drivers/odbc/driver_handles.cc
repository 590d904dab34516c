#include "drivers/odbc/driver_handles.h"

#include <algorithm>
#include <cstring>

namespace rh::odbc {

std::string DiagRecord::Message() const {
  std::string message = "[recordhaul][";
  message += ThisDriver().component;
  message += "]";
  message += static_text ? std::string_view(static_text) : std::string_view(text);
  return message;
}

DiagRecord& Diagnostics::NewRecord(std::string_view sqlstate) {
  DiagRecord& r = size_ == 0 ? first_ : more_.emplace_back();
  ++size_;
  if (sqlstate.size() < 5) sqlstate = "HY000";
  std::memcpy(r.sqlstate, sqlstate.data(), 5);
  return r;
}

void Diagnostics::Add(std::string_view sqlstate, std::string_view text) {
  DiagRecord& r = NewRecord(sqlstate);
  r.static_text = nullptr;
  r.text.assign(text);
}

void Diagnostics::Add(std::string_view sqlstate, StaticText text) {
  NewRecord(sqlstate).static_text = text.text;
}

SQLRETURN HandleBase::Fail(std::string_view sqlstate, std::string_view text) {
  diag.Add(sqlstate, text);
  return diag.return_code = SQL_ERROR;
}

SQLRETURN HandleBase::Fail(std::string_view sqlstate, StaticText text) {
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
