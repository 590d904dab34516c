#include "export/table_failure.h"

#include <string>

namespace rh {

namespace {

// SQLSTATE 54011: too many columns, as our drivers say it; another driver
// may say it otherwise, so the count decides as well.
constexpr std::string_view kTooManyColumns = "54011";

Status DriverSaid(Status failure, const Status& why) {
  const std::string state = why.sqlstate().empty() ? "an error" : why.sqlstate();
  return std::move(failure).WithDetail(MessageId::kDetailDriverSaid, {state, why.message()});
}

}  // namespace

int MaxTableColumns(TableTarget target) {
  switch (target) {
    case TableTarget::kExcel: return 256;
    case TableTarget::kDBase:
    case TableTarget::kAccess: return 255;
    case TableTarget::kNone: break;
  }
  return 0;
}

int32_t MaxTableRows(TableTarget target) { return target == TableTarget::kExcel ? 65535 : 0; }

Status CreationFailure(MessageId failure, TableTarget target, int columns, const Status& why) {
  const int most = MaxTableColumns(target);
  if (most > 0 && (columns > most || why.sqlstate() == kTooManyColumns)) {
    const MessageId detail = target == TableTarget::kExcel   ? MessageId::kDetailExcelColumns
                             : target == TableTarget::kDBase ? MessageId::kDetailDBaseFields
                                                             : MessageId::kDetailAccessFields;
    return Status::Of(failure).WithDetail(detail, {std::to_string(columns)});
  }
  return DriverSaid(Status::Of(failure), why);
}

Status InsertFailure(MessageId failure, TableTarget target, int32_t record_number,
                     int32_t inserted, const Status& why) {
  const int32_t most = MaxTableRows(target);
  if (most > 0 && inserted >= most) {
    return Status::Of(failure).WithDetail(MessageId::kDetailExcelRows,
                                          {std::to_string(record_number)});
  }
  const std::string state = why.sqlstate().empty() ? "an error" : why.sqlstate();
  return Status::Of(failure).WithDetail(
      MessageId::kDetailInsertStopped,
      {std::to_string(record_number), std::to_string(inserted), state, why.message()});
}

}  // namespace rh
