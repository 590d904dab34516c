// The SQL that our table drivers and database engine accept: the two
// statements the table writer sends.
//
//   CREATE TABLE name (col TYPE, ...)
//   INSERT INTO name [(col, ...)] VALUES (value, ...)
//
// Names may be 'single-quoted', "double-quoted", [bracketed], `back-quoted`
// or bare identifiers; inside quotes the quote character is doubled. A table
// name may also be a bare path-like text ("export.dbf", "\export.dbf").
// TYPE is LONG, SHORT, BYTE, DOUBLE, SINGLE, TEXT, TEXT(n), MEMO or DATE, in
// any letter case. Values are numbers, 'strings' with doubled quotes, or NULL
// (no value); a DATE column takes 'YYYY-MM-DD'. Anything else is refused
// with an SQLSTATE and a message.
#ifndef RECORDHAUL_DRIVERS_SQL_SQL_STATEMENT_H_
#define RECORDHAUL_DRIVERS_SQL_SQL_STATEMENT_H_

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/decimal.h"
#include "base/status.h"

namespace rh::sql {

enum class ColumnType { kLong, kShort, kByte, kDouble, kSingle, kText, kMemo, kDate };

struct ColumnDef {
  std::string name;                  // quotes removed, doubling undone
  ColumnType type = ColumnType::kText;
  std::optional<int> text_length;    // TEXT(n); none for a bare TEXT
};

struct CreateTable {
  std::string table;
  std::vector<ColumnDef> columns;
};

struct Value {
  enum class Kind { kNumber, kString, kNull };
  Kind kind = Kind::kString;
  // The number as written, or the string's content; empty for NULL. It
  // points into the Insert's `text`.
  std::string_view text;
  // For a number the parser read: whether it is plain, an optional "-",
  // digits, and, after a point, digits (no "+", no exponent), and where its
  // whole digits end (at its point, or at its end). Set as the number is
  // read, so that a driver need not read its digits again; a Value made
  // otherwise is not plain.
  bool plain = false;
  uint16_t whole_end = 0;
};

// `literal` as a number Value, plain and whole_end set as the parser sets
// them when the whole of it is one number.
Value NumberValue(std::string_view literal);

// The plain number that begins at p, if one does: an optional "-", digits
// and, after a point, digits. Sets *v as the parser sets the Value it reads
// that number into (kind, text, plain, whole_end) and returns the number's
// end; the caller checks that what follows ends it for the parser too (a
// "," or ")", not a letter, point or digit). Null when no plain number
// begins at p.
inline const char* PlainNumberEnd(const char* p, const char* end, Value* v) {
  const char* const start = p;
  if (p != end && *p == '-') ++p;
  const char* const digits = p;
  p = DecimalDigitsEnd(p, end);
  if (p == digits) return nullptr;
  const char* const whole_end = p;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    p = DecimalDigitsEnd(p, end);
    if (p == fraction) return nullptr;  // "5.": not plain
  }
  if (p - start > UINT16_MAX) return nullptr;
  v->kind = Value::Kind::kNumber;
  v->text = std::string_view(start, static_cast<size_t>(p - start));
  v->plain = true;
  v->whole_end = static_cast<uint16_t>(whole_end - start);
  return p;
}

// A value list as an export sends it, read without the parser: "VALUES (",
// `count` values separated by "," and nothing else, and ")" at the end of
// `values`, each a 'string' or a plain number (PlainNumberEnd). take(i,
// value, doubled) gets the i-th as the parser would read it, except that a
// string's text is as written, with its quotes still doubled (`doubled`:
// it has at least one pair), and returns false to stop. False when the
// list is anything else, or take stopped. The strings' texts point into
// `values`.
template <class Take>
bool ReadPlainValues(std::string_view values, size_t count, Take&& take) {
  constexpr std::string_view kOpen = "VALUES (";
  if (values.size() <= kOpen.size() || values.compare(0, kOpen.size(), kOpen) != 0 ||
      values.back() != ')')
    return false;
  const char* p = values.data() + kOpen.size();
  const char* const end = values.data() + values.size() - 1;  // the closing ")"
  Value value;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) {
      if (p == end || *p != ',') return false;
      ++p;
    }
    if (p == end) return false;
    bool doubled = false;
    if (*p == '\'') {
      const char* const first = p + 1;
      const char* quote = first;
      for (;;) {
        const void* found = std::memchr(quote, '\'', static_cast<size_t>(end - quote));
        if (!found) return false;
        quote = static_cast<const char*>(found);
        if (quote[1] != '\'') break;  // quote < end, and *end is ")"
        doubled = true;
        quote += 2;
      }
      value.kind = Value::Kind::kString;
      value.text = std::string_view(first, static_cast<size_t>(quote - first));
      value.plain = false;
      p = quote + 1;
    } else {
      p = PlainNumberEnd(p, end, &value);
      if (!p) return false;
    }
    if (!take(i, value, doubled)) return false;
  }
  return p == end;
}

// Writes `text` with each doubled quote as one at out, and returns the
// number of bytes written (at most text.size()).
size_t UndoubleQuotes(std::string_view text, char* out);

struct Insert {
  std::string table;
  std::vector<std::string> columns;  // empty when the statement names none
  std::vector<Value> values;
  // The statement's text and, after it, the strings whose doubled quotes
  // were undone: what the values point into. Copies of the Insert share it,
  // so their values stay valid.
  std::shared_ptr<const std::string> text = nullptr;
  // The same number, never 0, for the INSERTs a StatementParser read with
  // the same text up to VALUES, and so the same table and columns: users
  // can keep what they worked out from those. 0 from Parse().
  uint64_t head_id = 0;
};

using Statement = std::variant<CreateTable, Insert>;

// SQLSTATEs the parser and its users report.
inline constexpr const char* kSyntaxError = "42000";
inline constexpr const char* kTableExists = "42S01";
inline constexpr const char* kTableNotFound = "42S02";
inline constexpr const char* kColumnNotFound = "42S22";
inline constexpr const char* kCountMismatch = "21S01";
inline constexpr const char* kStringTooLong = "22001";
inline constexpr const char* kInvalidDate = "22007";
inline constexpr const char* kOutOfRange = "22003";
inline constexpr const char* kGeneralError = "HY000";

// An error whose caption is the SQLSTATE.
Status SqlError(const char* sqlstate, std::string message);

Result<Statement> Parse(std::string_view sql);

// Parses a connection's statements. A run of INSERTs into the same table and
// columns, as an export sends, parses the table and column list once: a
// statement that begins with the previous INSERT's text up to VALUES only
// has its values parsed.
class StatementParser {
 public:
  // The statement, valid until the next call (`sql` need not outlive the
  // call). The values of an INSERT parsed here point into a buffer the
  // parser reuses while no copy of the Insert holds on to it: an export's
  // INSERTs then cost no allocation.
  Result<const Statement*> Parse(std::string_view sql);

  // An INSERT that begins with the last INSERT's text up to VALUES, as an
  // export sends them: that Insert, whose table, columns and head_id this
  // one shares (its values are those of the statement parsed last), and the
  // rest of `sql`, from VALUES on. None for any other statement. Reads
  // nothing else of `sql` and changes nothing, so that a driver can take
  // such a statement's values straight from its text and have it parsed
  // only when it cannot.
  struct RepeatedInsert {
    const Insert* head;
    std::string_view values;  // "VALUES (...)" and whatever follows
  };
  std::optional<RepeatedInsert> RepeatedHead(std::string_view sql) const;

 private:
  Statement last_;
  std::shared_ptr<std::string> buffer_;
  std::string insert_prefix_;  // the last INSERT up to VALUES; empty: none
};

const char* ColumnTypeName(ColumnType type);

}  // namespace rh::sql

#endif  // RECORDHAUL_DRIVERS_SQL_SQL_STATEMENT_H_
