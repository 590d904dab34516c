// The SQL the database targets send: quoted names, CREATE TABLE from a
// table's columns, INSERT with one parameter per column.
#ifndef RECORDHAUL_DATABASES_SQL_TEXT_H_
#define RECORDHAUL_DATABASES_SQL_TEXT_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "migrate/table_plan.h"

namespace rh {

// The SQL type a database gives a column.
using TypeNamer = std::function<std::string(const ColumnPlan& column)>;

// `name` between `quote` characters, a quote inside it doubled; as it
// stands when `quote` is '\0' (a database without quoted names).
std::string QuoteIdentifier(std::string_view name, char quote);

std::string CreateTableStatement(std::string_view table, const std::vector<ColumnPlan>& columns,
                                 char quote, const TypeNamer& type_of);

// INSERT INTO table (columns) VALUES (?, ...), with `rows` lists of
// parameters.
std::string InsertStatement(std::string_view table, const std::vector<ColumnPlan>& columns,
                            char quote, size_t rows = 1);

// The standard SQL name of a column's type: VARCHAR(n), SMALLINT, INTEGER,
// DOUBLE PRECISION, NUMERIC(10,4), DATE, TIMESTAMP.
std::string StandardTypeName(const ColumnPlan& column);

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_SQL_TEXT_H_
