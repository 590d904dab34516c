#include "migrate/migration_target.h"

namespace rh {

namespace {

ColumnPlan Column(const char* name, ColumnType type, int32_t length = 0) {
  ColumnPlan c;
  c.name = name;
  c.type = type;
  c.length = length;
  return c;
}

CellValue Text(std::string_view text) {
  CellValue c;
  c.kind = CellValue::Kind::kText;
  c.text = text;
  return c;
}

CellValue Integer(int64_t value) {
  CellValue c;
  c.kind = CellValue::Kind::kInteger;
  c.integer = static_cast<int32_t>(value);
  return c;
}

}  // namespace

const std::vector<ColumnPlan>& CompaniesColumns() {
  static const std::vector<ColumnPlan> columns = {
      Column("module", ColumnType::kText, 4),
      Column("company", ColumnType::kText, 2),
      Column("name", ColumnType::kText, 30),
  };
  return columns;
}

const std::vector<ColumnPlan>& SourcesColumns() {
  // A path can be long; 4000 characters is the most every database we
  // know keeps in a column of limited length.
  static const std::vector<ColumnPlan> columns = {
      Column("table_name", ColumnType::kText, kMaxIdentifierLength),
      Column("module", ColumnType::kText, 4),
      Column("file_number", ColumnType::kSmallInt),
      Column("description", ColumnType::kText, 60),
      Column("company", ColumnType::kText, 2),
      Column("data_file", ColumnType::kText, 4000),
      Column("records_loaded", ColumnType::kInteger),
      Column("loaded_at", ColumnType::kTimestamp),
  };
  return columns;
}

std::vector<CellValue> CompanyCells(const CompanyRow& row) {
  return {Text(row.module), Text(row.company), Text(row.name)};
}

std::vector<CellValue> SourceCells(const SourceRow& row) {
  CellValue loaded;
  loaded.kind = CellValue::Kind::kTimestamp;
  loaded.seconds = row.loaded_at;
  return {Text(row.table),       Text(row.module),    Integer(row.file_number),
          Text(row.description), Text(row.company),   Text(row.data_file),
          Integer(row.records),  loaded};
}

}  // namespace rh
