// What a failed table export says under its "Error #11" or "Error #10": the
// limit of the table format that was reached, else the driver's or the
// engine's own diagnostic, and for an INSERT the record it stopped at.
#ifndef RECORDHAUL_EXPORT_TABLE_FAILURE_H_
#define RECORDHAUL_EXPORT_TABLE_FAILURE_H_

#include <cstdint>

#include "base/status.h"
#include "export/table_connection.h"

namespace rh {

// The most columns a table of the target holds (Excel 256, dBase and Access
// 255), and the most data rows (an Excel worksheet: 65,535 under the names'
// row); 0 where there is no such limit.
int MaxTableColumns(TableTarget target);
int32_t MaxTableRows(TableTarget target);

// The connection or the CREATE TABLE of `columns` columns failed with `why`.
Status CreationFailure(MessageId failure, TableTarget target, int columns, const Status& why);

// The INSERT of `record_number` failed with `why` after `inserted` rows.
Status InsertFailure(MessageId failure, TableTarget target, int32_t record_number,
                     int32_t inserted, const Status& why);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_FAILURE_H_
