#include "drivers/sql/sql_statement.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "base/decimal.h"

namespace rh::sql {

Status SqlError(const char* sqlstate, std::string message) {
  return Status::Sql(sqlstate, std::move(message));
}

const char* ColumnTypeName(ColumnType type) {
  switch (type) {
    case ColumnType::kLong: return "LONG";
    case ColumnType::kShort: return "SHORT";
    case ColumnType::kByte: return "BYTE";
    case ColumnType::kDouble: return "DOUBLE";
    case ColumnType::kSingle: return "SINGLE";
    case ColumnType::kText: return "TEXT";
    case ColumnType::kMemo: return "MEMO";
    case ColumnType::kDate: return "DATE";
  }
  return "?";
}

namespace {

// ASCII classes, without the locale's lookups.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
// Letters, digits and "_", as one lookup: a number's end is tested with it.
constexpr auto kWordChars = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[static_cast<size_t>(c)] = IsLetter(static_cast<char>(c)) ||
                                    IsDigit(static_cast<char>(c)) || c == '_';
  return table;
}();

// A cursor over the statement text; every method stays within its bounds.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }
  bool AtEnd() {
    SkipSpace();
    return pos_ == text_.size();
  }
  char Peek() {
    SkipSpace();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  // A keyword, whole word, any letter case.
  bool AcceptWord(std::string_view word) {
    SkipSpace();
    if (text_.size() - pos_ < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
      if (Upper(text_[pos_ + i]) != word[i])
        return false;
    size_t end = pos_ + word.size();
    if (end < text_.size() && IsWordChar(text_[end])) return false;
    pos_ = end;
    return true;
  }

  // A quoted or bare name.
  std::optional<std::string> Name() {
    char c = Peek();
    if (c == '\'' || c == '"' || c == '`') return Quoted(c, c);
    if (c == '[') return Quoted('[', ']');
    if (!(IsLetter(c) || c == '_')) return std::nullopt;
    size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  // The literals of a VALUES list and its closing ")", into `values`.
  // They point into the text, or, for strings whose doubled quotes are
  // undone, into what is appended to `unquoted`, which has the room. An
  // export sends one list with every INSERT: this walks it with pointers,
  // a few instructions a byte, and copies nothing it need not.
  bool LiteralList(std::vector<Value>* values, std::string* unquoted) {
    const char* p = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    size_t n = 0;
    for (;;) {
      p = SkipSpaces(p, end);
      if (p == end) return false;
      if (n == values->size()) values->emplace_back();
      Value& v = (*values)[n++];
      if (*p == '\'') {
        v.kind = Value::Kind::kString;
        v.plain = false;  // the Value may have been a number of an earlier INSERT
        p = QuotedValue(p, end, unquoted, &v.text);
      } else if ((*p | 0x20) == 'n') {
        if (!IsNullWord(p, end)) return false;
        v.kind = Value::Kind::kNull;
        v.text = {};
        v.plain = false;
        p += 4;
      } else {
        p = ReadNumber(p, end, &v);
      }
      if (!p) return false;
      // An export puts the comma right after the value.
      if (p != end && *p == ',') {
        ++p;
        continue;
      }
      p = SkipSpaces(p, end);
      if (p == end) return false;
      if (*p == ')') break;
      if (*p++ != ',') return false;
    }
    values->resize(n);
    pos_ = static_cast<size_t>(p + 1 - text_.data());
    return true;
  }

  std::optional<int> Integer() {
    SkipSpace();
    size_t start = pos_;
    if (Digits() == 0 || pos_ - start > 6) return std::nullopt;
    return std::atoi(std::string(text_.substr(start, pos_ - start)).c_str());
  }

  // The number at p, [+-]digits[.digits][e[+-]digits] with a digit
  // somewhere before the exponent and no word character after it, into *v
  // (kind, text, plain, whole_end). Returns its end; null when there is
  // none.
  static const char* ReadNumber(const char* p, const char* end, Value* v) {
    const char* const start = p;
    bool plain = true;
    if (p != end && (*p == '+' || *p == '-')) {
      plain = *p == '-';
      ++p;
    }
    const char* const digits = p;
    p = DigitsEnd(p, end);
    const char* const whole_end = p;
    if (p == digits) plain = false;  // ".5"
    if (p != end && *p == '.') {
      const char* const fraction = ++p;
      p = DigitsEnd(p, end);
      if (p == fraction) {
        if (p - 1 == digits) return nullptr;  // "." alone
        plain = false;                        // "5."
      }
    } else if (p == digits) {
      return nullptr;  // no digit at all
    }
    // Most numbers end at a comma; a letter may begin an exponent.
    if (p != end && IsWordChar(*p)) {
      if (*p != 'e' && *p != 'E') return nullptr;
      const char* q = p + 1;
      if (q != end && (*q == '+' || *q == '-')) ++q;
      const char* const exponent_end = DigitsEnd(q, end);
      if (exponent_end == q || (exponent_end != end && IsWordChar(*exponent_end))) return nullptr;
      p = exponent_end;
      plain = false;
    }
    if (p - start > UINT16_MAX) plain = false;
    v->kind = Value::Kind::kNumber;
    v->text = std::string_view(start, static_cast<size_t>(p - start));
    v->plain = plain;
    v->whole_end = plain ? static_cast<uint16_t>(whole_end - start) : 0;
    return p;
  }

  size_t pos() const { return pos_; }
  void set_pos(size_t p) { pos_ = p; }
  std::string_view text() const { return text_; }

 private:
  static bool IsWordChar(char c) { return kWordChars[static_cast<unsigned char>(c)]; }
  size_t Digits() {
    const char* p = text_.data() + pos_;
    const size_t n = static_cast<size_t>(DigitsEnd(p, text_.data() + text_.size()) - p);
    pos_ += n;
    return n;
  }
  static const char* SkipSpaces(const char* p, const char* end) {
    // Every space is at most ' ': one test for the byte an export puts there.
    while (p != end && static_cast<unsigned char>(*p) <= ' ' && IsSpace(*p)) ++p;
    return p;
  }
  // NULL in any letter case, a whole word.
  static bool IsNullWord(const char* p, const char* end) {
    return end - p >= 4 && Upper(p[0]) == 'N' && Upper(p[1]) == 'U' && Upper(p[2]) == 'L' &&
           Upper(p[3]) == 'L' && (end - p == 4 || !IsWordChar(p[4]));
  }
  static const char* DigitsEnd(const char* p, const char* end) {
    return DecimalDigitsEnd(p, end);
  }

  // Text from the `open` character at p to `close`, with a doubled `close`
  // standing for one, into *out; whole runs are copied at a time. Returns
  // the end, or null when the text is not closed.
  static const char* QuotedText(const char* p, const char* end, char close,
                                std::string* out) {
    ++p;
    out->clear();
    for (;;) {
      const void* found = p == end ? nullptr : std::memchr(p, close, static_cast<size_t>(end - p));
      if (!found) return nullptr;  // unterminated
      const char* q = static_cast<const char*>(found);
      const bool doubled = q + 1 != end && q[1] == close;
      out->append(p, static_cast<size_t>(q - p + (doubled ? 1 : 0)));
      p = q + (doubled ? 2 : 1);
      if (!doubled) return p;
    }
  }
  // A 'string' literal at p into *out: a view of the text when no quote is
  // doubled, else of its content appended to *unquoted (whose capacity the
  // caller made large enough for it not to move). Returns the end, or null.
  static const char* QuotedValue(const char* p, const char* end, std::string* unquoted,
                                 std::string_view* out) {
    const char* first = p + 1;
    const void* found =
        first >= end ? nullptr : std::memchr(first, '\'', static_cast<size_t>(end - first));
    if (!found) return nullptr;
    const char* q = static_cast<const char*>(found);
    if (q + 1 == end || q[1] != '\'') {
      *out = std::string_view(first, static_cast<size_t>(q - first));
      return q + 1;
    }
    const size_t start = unquoted->size();
    std::string content;
    p = QuotedText(p, end, '\'', &content);
    if (!p) return nullptr;
    unquoted->append(content);
    *out = std::string_view(unquoted->data() + start, unquoted->size() - start);
    return p;
  }
  std::optional<std::string> Quoted(char open, char close) {
    const char* p = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    std::string out;
    if (p == end || *p != open) return std::nullopt;
    p = QuotedText(p, end, close, &out);
    if (!p) return std::nullopt;
    pos_ = static_cast<size_t>(p - text_.data());
    return out;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

bool EndOfStatement(Scanner& s) {
  s.Accept(';');
  return s.AtEnd();
}

std::optional<ColumnType> TypeWord(Scanner& s) {
  static constexpr struct {
    const char* word;
    ColumnType type;
  } kWords[] = {{"LONG", ColumnType::kLong},     {"SHORT", ColumnType::kShort},
                {"BYTE", ColumnType::kByte},     {"DOUBLE", ColumnType::kDouble},
                {"SINGLE", ColumnType::kSingle}, {"TEXT", ColumnType::kText},
                {"MEMO", ColumnType::kMemo},     {"DATE", ColumnType::kDate}};
  for (const auto& w : kWords)
    if (s.AcceptWord(w.word)) return w.type;
  return std::nullopt;
}

// The column definitions from just after "(" to the end of the statement.
std::optional<std::vector<ColumnDef>> ColumnDefs(Scanner& s) {
  std::vector<ColumnDef> columns;
  do {
    ColumnDef col;
    auto name = s.Name();
    auto type = name ? TypeWord(s) : std::nullopt;
    if (!type) return std::nullopt;
    col.name = std::move(*name);
    col.type = *type;
    if (col.type == ColumnType::kText && s.Accept('(')) {
      col.text_length = s.Integer();
      if (!col.text_length || !s.Accept(')')) return std::nullopt;
    }
    columns.push_back(std::move(col));
  } while (s.Accept(','));
  if (!s.Accept(')') || !EndOfStatement(s)) return std::nullopt;
  return columns;
}

std::optional<std::vector<std::string>> NameList(Scanner& s) {
  std::vector<std::string> names;
  names.reserve(16);
  do {
    auto name = s.Name();
    if (!name) return std::nullopt;
    names.push_back(std::move(*name));
  } while (s.Accept(','));
  if (!s.Accept(')')) return std::nullopt;
  return names;
}

// "VALUES (v, ...)" to the end of the statement, into `values`; see
// Scanner::LiteralList for `unquoted`.
bool ValuesClause(Scanner& s, std::vector<Value>* values, std::string* unquoted) {
  if (!s.AcceptWord("VALUES") || !s.Accept('(')) return false;
  return s.LiteralList(values, unquoted) && EndOfStatement(s);
}

std::string Trim(std::string_view t) {
  size_t b = 0, e = t.size();
  while (b < e && IsSpace(t[b])) ++b;
  while (e > b && IsSpace(t[e - 1])) --e;
  return std::string(t.substr(b, e - b));
}

// Parses what follows the table name with `rest`. A quoted table name ends
// at its closing quote; a bare one runs to the "(" after which the rest of
// the statement parses, tried from the first "(" on, so names like
// "a (1).dbf" work.
template <class Rest>
bool TableThen(Scanner& s, std::string* table, Rest rest) {
  char c = s.Peek();
  if (c == '\'' || c == '"' || c == '`' || c == '[') {
    auto name = s.Name();
    if (!name) return false;
    *table = std::move(*name);
    return rest(s);
  }
  size_t start = s.pos();
  std::string_view text = s.text();
  for (size_t p = text.find('(', start); p != std::string_view::npos;
       p = text.find('(', p + 1)) {
    std::string name = Trim(text.substr(start, p - start));
    if (name.empty()) break;
    s.set_pos(p);
    if (rest(s)) {
      *table = std::move(name);
      return true;
    }
  }
  return false;
}

}  // namespace

namespace {

// Fills *buffer with `sql` and room for as much again, the most that the
// strings of its values can need once their doubled quotes are undone;
// returns the statement's part of it.
std::string_view Load(std::string_view sql, std::string* buffer) {
  buffer->reserve(2 * sql.size());
  buffer->assign(sql);
  return std::string_view(buffer->data(), sql.size());
}

// Parse() of the statement in *buffer (see Load), telling where an INSERT's
// VALUES begins.
Result<Statement> ParseAt(std::string* buffer, size_t* values_at) {
  const std::string_view sql(buffer->data(), buffer->size());
  Scanner s(sql);
  if (s.AcceptWord("CREATE")) {
    if (!s.AcceptWord("TABLE"))
      return SqlError(kSyntaxError, "Syntax error: expected TABLE after CREATE");
    CreateTable create;
    bool ok = TableThen(s, &create.table, [&](Scanner& sc) {
      if (!sc.Accept('(')) return false;
      auto cols = ColumnDefs(sc);
      if (!cols) return false;
      create.columns = std::move(*cols);
      return true;
    });
    if (!ok)
      return SqlError(kSyntaxError, "Syntax error in CREATE TABLE statement");
    return Statement(std::move(create));
  }
  if (s.AcceptWord("INSERT")) {
    if (!s.AcceptWord("INTO"))
      return SqlError(kSyntaxError, "Syntax error: expected INTO after INSERT");
    Insert insert;
    auto rest = [&](Scanner& sc) {
      size_t mark = sc.pos();
      insert.columns.clear();
      if (sc.Accept('(')) {
        auto names = NameList(sc);
        if (!names) return false;
        insert.columns = std::move(*names);
      }
      sc.SkipSpace();
      if (values_at) *values_at = sc.pos();
      buffer->resize(sql.size());  // drops what a failed try unquoted
      if (!ValuesClause(sc, &insert.values, buffer)) {
        sc.set_pos(mark);
        return false;
      }
      return true;
    };
    bool ok;
    char c = s.Peek();
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
      ok = TableThen(s, &insert.table, rest);
    } else {
      // A bare name followed directly by VALUES has no "(" before it.
      size_t start = s.pos();
      ok = TableThen(s, &insert.table, rest);
      if (!ok) {
        s.set_pos(start);
        auto name = s.Name();
        if (name && rest(s)) {
          insert.table = std::move(*name);
          ok = true;
        }
      }
    }
    if (!ok) return SqlError(kSyntaxError, "Syntax error in INSERT statement");
    if (!insert.columns.empty() && insert.columns.size() != insert.values.size())
      return SqlError(kCountMismatch,
                      "Number of query values and destination fields are not the same");
    return Statement(std::move(insert));
  }
  return SqlError(kSyntaxError,
                  "Syntax error: only CREATE TABLE and INSERT INTO are supported");
}

}  // namespace

size_t UndoubleQuotes(std::string_view text, char* out) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    out[n++] = text[i];
    if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'') ++i;
  }
  return n;
}

Value NumberValue(std::string_view literal) {
  Value v;
  const char* const end = literal.data() + literal.size();
  if (Scanner::ReadNumber(literal.data(), end, &v) != end) {
    v = Value{Value::Kind::kNumber, literal};
  }
  return v;
}

Result<Statement> Parse(std::string_view sql) {
  auto buffer = std::make_shared<std::string>();
  Load(sql, buffer.get());
  auto parsed = ParseAt(buffer.get(), nullptr);
  if (parsed.ok())
    if (auto* insert = std::get_if<Insert>(&parsed.value())) insert->text = std::move(buffer);
  return parsed;
}

std::optional<StatementParser::RepeatedInsert> StatementParser::RepeatedHead(
    std::string_view sql) const {
  if (insert_prefix_.empty() || sql.size() <= insert_prefix_.size() ||
      sql.compare(0, insert_prefix_.size(), insert_prefix_) != 0)
    return std::nullopt;
  return RepeatedInsert{&std::get<Insert>(last_), sql.substr(insert_prefix_.size())};
}

Result<const Statement*> StatementParser::Parse(std::string_view sql) {
  // The buffer is reused unless a copy of the last Insert still holds it.
  if (!buffer_ || buffer_.use_count() > 2) buffer_ = std::make_shared<std::string>();
  const std::string_view text = Load(sql, buffer_.get());
  if (!insert_prefix_.empty() && sql.size() > insert_prefix_.size() &&
      sql.compare(0, insert_prefix_.size(), insert_prefix_) == 0) {
    Insert& insert = std::get<Insert>(last_);
    Scanner s(text);
    s.set_pos(insert_prefix_.size());
    insert.text = buffer_;
    if (ValuesClause(s, &insert.values, buffer_.get()) &&
        (insert.columns.empty() || insert.columns.size() == insert.values.size())) {
      return static_cast<const Statement*>(&last_);
    }
    // Anything else gets the full parse and its own diagnostic.
  }
  size_t values_at = 0;
  buffer_->resize(sql.size());
  auto parsed = ParseAt(buffer_.get(), &values_at);
  insert_prefix_.clear();
  if (!parsed.ok()) return parsed.status();
  last_ = std::move(parsed).value();
  if (auto* insert = std::get_if<Insert>(&last_)) {
    insert->text = buffer_;
    // Numbered across the process, so that no two parsers' INSERTs share one.
    static std::atomic<uint64_t> last_head_id{0};
    insert->head_id = ++last_head_id;
    insert_prefix_ = std::string(sql.substr(0, values_at));
  }
  return static_cast<const Statement*>(&last_);
}

}  // namespace rh::sql
