#include "migrate/row_converter.h"

#include "base/cp1252.h"

namespace rh {

std::optional<CivilDate> DayNumberToCivil(int32_t day) {
  if (day <= 0 || day >= 73050 || day == 60) return std::nullopt;
  // The exports' own calendar, so that both always agree.
  const DateParts d = DayNumberToParts(day);
  return CivilDate{d.year, d.month, d.day};
}

void FormatIsoDate(const CivilDate& date, char out[11]) {
  int year = date.year;
  for (int i = 3; i >= 0; --i, year /= 10) out[i] = static_cast<char>('0' + year % 10);
  out[4] = '-';
  out[5] = static_cast<char>('0' + date.month / 10);
  out[6] = static_cast<char>('0' + date.month % 10);
  out[7] = '-';
  out[8] = static_cast<char>('0' + date.day / 10);
  out[9] = static_cast<char>('0' + date.day % 10);
  out[10] = '\0';
}

size_t FormatDecimal4(int32_t ten_thousandths, char out[13]) {
  // In 64 bits, so that the lowest 32-bit value has a magnitude too.
  int64_t v = ten_thousandths;
  const bool negative = v < 0;
  uint64_t magnitude = static_cast<uint64_t>(negative ? -v : v);
  char digits[12];
  size_t n = 0;
  for (int i = 0; i < 4; ++i, magnitude /= 10)
    digits[n++] = static_cast<char>('0' + magnitude % 10);
  digits[n++] = '.';
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  size_t length = 0;
  if (negative) out[length++] = '-';
  while (n > 0) out[length++] = digits[--n];
  out[length] = '\0';
  return length;
}

RowConverter::RowConverter(const TablePlan& plan, std::string company)
    : plan_(plan),
      company_(std::move(company)),
      cells_(plan.columns.size()),
      texts_(plan.columns.size()) {
  context_.module_code = plan_.module_code;
  context_.company = company_;
  context_.file_number = plan_.file_number;
}

void RowConverter::SetText(size_t column, std::string_view cp1252) {
  while (!cp1252.empty() && cp1252.back() == ' ') cp1252.remove_suffix(1);
  CellValue& cell = cells_[column];
  cell.kind = CellValue::Kind::kText;
  // Most stored text is ASCII, which is UTF-8 as it stands.
  bool ascii = true;
  for (char c : cp1252) ascii &= static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    cell.text = cp1252;
    return;
  }
  std::string& buffer = texts_[column];
  buffer.clear();
  AppendCp1252AsUtf8(cp1252, &buffer);
  cell.text = buffer;
}

const std::vector<CellValue>& RowConverter::Convert(const uint8_t* record,
                                                    int32_t record_number) {
  for (size_t i = 0; i < plan_.columns.size(); ++i) {
    const BoundField& field = plan_.columns[i].field;
    CellValue& cell = cells_[i];
    if (field.source == FieldSource::kJ) {
      // The day number decides, not the export's text of it.
      const auto date = DayNumberToCivil(LoadBigI32(record + field.offset));
      cell.kind = date ? CellValue::Kind::kDate : CellValue::Kind::kNull;
      if (date) cell.date = *date;
      continue;
    }
    const FieldValue v = GetValue(record, record_number, field, context_);
    switch (v.source) {
      case FieldSource::kNone:
      case FieldSource::kTodaysDate:
        cell.kind = CellValue::Kind::kNull;
        break;
      case FieldSource::kCurrentRecord:
      case FieldSource::kFileNumber:
      case FieldSource::kI:
      case FieldSource::kL:
      case FieldSource::kY:
        cell.kind = CellValue::Kind::kInteger;
        cell.integer = v.integer;
        break;
      case FieldSource::kD:
        cell.kind = CellValue::Kind::kReal;
        cell.real = v.real;
        break;
      case FieldSource::kF:
        cell.kind = CellValue::Kind::kDecimal4;
        cell.integer = v.integer;
        cell.real = v.real;
        break;
      case FieldSource::kJ:  // above
        break;
      case FieldSource::kModuleCode:
      case FieldSource::kCompanyNumber:
      case FieldSource::kT:
        SetText(i, v.text());
        break;
    }
  }
  return cells_;
}

}  // namespace rh
