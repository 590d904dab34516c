// A reader for the workbooks our writer makes, independent of its code: the
// compound file container and the BIFF8 records the tests check.
#ifndef RECORDHAUL_TESTS_DRIVERS_XLS_XLS_TEST_READER_H_
#define RECORDHAUL_TESTS_DRIVERS_XLS_XLS_TEST_READER_H_

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace rh::xls::testing {

struct Record {
  uint16_t type;
  size_t pos;  // stream position of the record header
  std::string data;
};

// The "Workbook" stream of a compound file; an error text on failure.
bool ReadCompoundStream(const std::string& file, std::string* stream,
                        std::string* error);

std::vector<Record> ParseRecords(const std::string& stream, size_t from = 0);

using CellValue = std::variant<double, std::u16string>;

struct Workbook {
  std::string sheet_name;
  uint16_t codepage = 0;
  std::u16string defined_name;
  int name_rows = 0, name_cols = 0;  // the defined name's range, 1-based ends
  uint32_t dim_rows = 0;
  uint16_t dim_cols = 0;
  std::vector<std::u16string> sst;
  std::map<std::pair<int, int>, CellValue> cells;  // (row, col)
};

// Decodes what the tests check; an error text on anything unexpected,
// including an EXTSST entry that does not point at its string.
bool ReadWorkbook(const std::string& file, Workbook* wb, std::string* error);

}  // namespace rh::xls::testing

#endif  // RECORDHAUL_TESTS_DRIVERS_XLS_XLS_TEST_READER_H_
