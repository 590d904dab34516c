#include "drivers/sql/sql_statement.h"

#include <cctype>
#include <cstdlib>

namespace rh::sql {

Status SqlError(const char* sqlstate, std::string message) {
  return Status::Error(sqlstate, std::move(message));
}

const char* ColumnTypeName(ColumnType type) {
  switch (type) {
    case ColumnType::kLong: return "LONG";
    case ColumnType::kShort: return "SHORT";
    case ColumnType::kByte: return "BYTE";
    case ColumnType::kDouble: return "DOUBLE";
    case ColumnType::kSingle: return "SINGLE";
    case ColumnType::kText: return "TEXT";
  }
  return "?";
}

namespace {

// A cursor over the statement text; every method stays within its bounds.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  void SkipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
      ++pos_;
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
      if (std::toupper(static_cast<unsigned char>(text_[pos_ + i])) != word[i])
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
    if (!(std::isalpha(static_cast<unsigned char>(c)) || c == '_')) return std::nullopt;
    size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  std::optional<Value> Literal() {
    char c = Peek();
    if (c == '\'') {
      auto s = Quoted('\'', '\'');
      if (!s) return std::nullopt;
      return Value{Value::Kind::kString, std::move(*s)};
    }
    size_t start = pos_;
    if (c == '+' || c == '-') ++pos_;
    size_t digits = Digits();
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      digits += Digits();
    }
    if (digits == 0) {
      pos_ = start;
      return std::nullopt;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      size_t mark = pos_++;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (Digits() == 0) pos_ = mark;
    }
    if (pos_ < text_.size() && IsWordChar(text_[pos_])) {
      pos_ = start;
      return std::nullopt;
    }
    return Value{Value::Kind::kNumber, std::string(text_.substr(start, pos_ - start))};
  }

  std::optional<int> Integer() {
    SkipSpace();
    size_t start = pos_;
    if (Digits() == 0 || pos_ - start > 6) return std::nullopt;
    return std::atoi(std::string(text_.substr(start, pos_ - start)).c_str());
  }

  size_t pos() const { return pos_; }
  void set_pos(size_t p) { pos_ = p; }
  std::string_view text() const { return text_; }

 private:
  static bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  }
  size_t Digits() {
    size_t n = 0;
    while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      ++pos_;
      ++n;
    }
    return n;
  }
  std::optional<std::string> Quoted(char open, char close) {
    size_t p = pos_;
    if (p >= text_.size() || text_[p] != open) return std::nullopt;
    ++p;
    std::string out;
    while (p < text_.size()) {
      char c = text_[p++];
      if (c != close) {
        out.push_back(c);
        continue;
      }
      if (p < text_.size() && text_[p] == close) {  // doubled
        out.push_back(c);
        ++p;
        continue;
      }
      pos_ = p;
      return out;
    }
    return std::nullopt;  // unterminated
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
                {"SINGLE", ColumnType::kSingle}, {"TEXT", ColumnType::kText}};
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
  do {
    auto name = s.Name();
    if (!name) return std::nullopt;
    names.push_back(std::move(*name));
  } while (s.Accept(','));
  if (!s.Accept(')')) return std::nullopt;
  return names;
}

// "VALUES (v, ...)" to the end of the statement.
std::optional<std::vector<Value>> ValuesClause(Scanner& s) {
  if (!s.AcceptWord("VALUES") || !s.Accept('(')) return std::nullopt;
  std::vector<Value> values;
  do {
    auto v = s.Literal();
    if (!v) return std::nullopt;
    values.push_back(std::move(*v));
  } while (s.Accept(','));
  if (!s.Accept(')') || !EndOfStatement(s)) return std::nullopt;
  return values;
}

std::string Trim(std::string_view t) {
  size_t b = 0, e = t.size();
  while (b < e && std::isspace(static_cast<unsigned char>(t[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(t[e - 1]))) --e;
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

Result<Statement> Parse(std::string_view sql) {
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
      auto values = ValuesClause(sc);
      if (!values) {
        sc.set_pos(mark);
        return false;
      }
      insert.values = std::move(*values);
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

}  // namespace rh::sql
