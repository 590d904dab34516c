// The SQL parser our drivers and engine share, and the ODBC connection-string
// parser. A statement or string that parses is written back in a plain form
// that must parse to the same thing.
#include "drivers/odbc/connection_string.h"
#include "drivers/sql/sql_statement.h"
#include "tests/fuzz/harness.h"

namespace rh::fuzz {

namespace {

std::string Quote(std::string_view text, char q) {
  std::string out(1, q);
  for (char c : text) {
    out.push_back(c);
    if (c == q) out.push_back(q);
  }
  out.push_back(q);
  return out;
}

std::string Render(const sql::Statement& statement) {
  if (const auto* create = std::get_if<sql::CreateTable>(&statement)) {
    std::string out = "CREATE TABLE " + Quote(create->table, '"') + " (";
    for (size_t i = 0; i < create->columns.size(); ++i) {
      const sql::ColumnDef& c = create->columns[i];
      if (i > 0) out += ", ";
      out += Quote(c.name, '\'');
      out += ' ';
      out += sql::ColumnTypeName(c.type);
      if (c.text_length) out.append("(").append(std::to_string(*c.text_length)).append(")");
    }
    return out + ")";
  }
  const auto& insert = std::get<sql::Insert>(statement);
  std::string out = "INSERT INTO " + Quote(insert.table, '`') + " ";
  if (!insert.columns.empty()) {
    out += "(";
    for (size_t i = 0; i < insert.columns.size(); ++i) {
      if (i > 0) out += ',';
      out += Quote(insert.columns[i], '"');
    }
    out += ") ";
  }
  out += "VALUES (";
  for (size_t i = 0; i < insert.values.size(); ++i) {
    const sql::Value& v = insert.values[i];
    if (i > 0) out += ", ";
    out += v.kind == sql::Value::Kind::kString ? Quote(v.text, '\'')
           : v.kind == sql::Value::Kind::kNull ? std::string("NULL")
                                                : std::string(v.text);
  }
  return out + ");";
}

bool Same(const sql::Statement& a, const sql::Statement& b) {
  if (a.index() != b.index()) return false;
  if (const auto* ca = std::get_if<sql::CreateTable>(&a)) {
    const auto& cb = std::get<sql::CreateTable>(b);
    if (ca->table != cb.table || ca->columns.size() != cb.columns.size()) return false;
    for (size_t i = 0; i < ca->columns.size(); ++i) {
      const auto &x = ca->columns[i], &y = cb.columns[i];
      if (x.name != y.name || x.type != y.type || x.text_length != y.text_length) return false;
    }
    return true;
  }
  const auto& ia = std::get<sql::Insert>(a);
  const auto& ib = std::get<sql::Insert>(b);
  if (ia.table != ib.table || ia.columns != ib.columns || ia.values.size() != ib.values.size())
    return false;
  for (size_t i = 0; i < ia.values.size(); ++i)
    if (ia.values[i].kind != ib.values[i].kind || ia.values[i].text != ib.values[i].text)
      return false;
  return true;
}

}  // namespace

int FuzzSql(const uint8_t* data, size_t size) {
  auto parsed = sql::Parse(AsText(data, size));
  if (!parsed.ok()) {
    RH_FUZZ_CHECK(parsed.status().sqlstate().size() == 5);  // an SQLSTATE
    return 0;
  }
  if (const auto* insert = std::get_if<sql::Insert>(&*parsed)) {
    RH_FUZZ_CHECK(insert->columns.empty() || insert->columns.size() == insert->values.size());
    RH_FUZZ_CHECK(!insert->values.empty());
  } else {
    RH_FUZZ_CHECK(!std::get<sql::CreateTable>(*parsed).columns.empty());
  }
  auto again = sql::Parse(Render(*parsed));
  RH_FUZZ_CHECK(again.ok() && Same(*parsed, *again));
  return 0;
}

std::vector<std::string> SqlSeeds() {
  std::vector<std::string> seeds;
  for (TableTarget t : {TableTarget::kExcel, TableTarget::kDBase, TableTarget::kAccess}) {
    WriterTexts texts = TableWriterTexts(t);
    seeds.insert(seeds.end(), texts.statements.begin(), texts.statements.end());
  }
  seeds.push_back("create table [a (1).dbf] (`x` text(254), \"y\" double);");
  seeds.push_back("INSERT INTO a (1).dbf VALUES (-1.5e+3, '', 'it''s')");
  return seeds;
}

std::vector<std::string> TableDriverSeeds(TableTarget target) {
  WriterTexts texts = TableWriterTexts(target);
  const std::string table = target == TableTarget::kDBase ? "t.dbf" : "KVTdatatool";
  std::vector<std::string> seeds = {JoinSections(texts.statements)};
  seeds.push_back(JoinSections(
      {"CREATE TABLE " + table + " ('A' TEXT(254), 'B' BYTE, 'C' SINGLE, 'D' TEXT)",
       "INSERT INTO " + table + " ('B','A') VALUES (255, '" + std::string(254, 'x') + "')",
       "INSERT INTO " + table + " VALUES ('', -1e19, '1.5', 'O''Brien')",
       "INSERT INTO " + table + " ('C') VALUES (3.4e38)"}));
  // Typed columns: dates and NULL.
  seeds.push_back(JoinSections(
      {"CREATE TABLE " + table + " ('A' TEXT, 'D' DATE)",
       "INSERT INTO " + table + " VALUES ('x', '2022-03-05')",
       "INSERT INTO " + table + " VALUES (NULL, NULL)",
       "INSERT INTO " + table + " VALUES ('y', '1900-02-29')"}));
  return seeds;
}

int FuzzConnectionString(const uint8_t* data, size_t size) {
  auto attrs = odbc::ParseConnectionString(AsText(data, size));
  if (!attrs.ok()) {
    RH_FUZZ_CHECK(attrs.status().sqlstate() == "08001");
    return 0;
  }
  std::string braced;
  for (const auto& [key, value] : attrs->items()) {
    RH_FUZZ_CHECK(!key.empty() && key.find('=') == std::string::npos);
    RH_FUZZ_CHECK(attrs->Get(key).has_value());
    odbc::IsTrueValue(value);
    braced += key + "={";
    for (char c : value) braced += c == '}' ? std::string("}}") : std::string(1, c);
    braced += "};";
  }
  // Every value in braces reads back the same, in the same order.
  auto again = odbc::ParseConnectionString(braced);
  RH_FUZZ_CHECK(again.ok() && again->items() == attrs->items());
  return 0;
}

std::vector<std::string> ConnectionStringSeeds() {
  std::vector<std::string> seeds;
  for (TableTarget t : {TableTarget::kExcel, TableTarget::kDBase}) {
    WriterTexts texts = TableWriterTexts(t);
    seeds.insert(seeds.end(), texts.connection_strings.begin(), texts.connection_strings.end());
  }
  seeds.push_back("DRIVER={a}}b};DBQ=\"/x/\"quoted\".xls\" ; CREATE_DB=/p;a;;READONLY= on ");
  return seeds;
}

}  // namespace rh::fuzz
