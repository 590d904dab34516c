// The preview: the first records of the current selection as the text
// exports convert them, for the window's Preview dialog and the command
// line's "preview" verb. Nothing is written.
#ifndef RECORDHAUL_APP_PREVIEW_H_
#define RECORDHAUL_APP_PREVIEW_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/export_request.h"
#include "app/export_state.h"
#include "base/status.h"

namespace rh {

struct PreviewTable {
  std::vector<std::string> headers;  // the export names, UTF-8
  // Whether a column holds numbers (shown right-aligned).
  std::vector<bool> numeric;
  // One row per record shown: each value as the comma-delimited types write
  // it, in UTF-8; a field with no value is empty.
  std::vector<std::vector<std::string>> rows;
  // The record numbers of the rows, and how many records the header announces.
  std::vector<int32_t> record_numbers;
  int32_t record_count = 0;
};

// The window's Preview shows this many records.
inline constexpr int kWindowPreviewRecords = 100;

// The Export command's checks on the request (BuildExportJob), then the
// first `limit` records of the data file that are not deleted.
Result<PreviewTable> BuildPreview(Env* env, const ExportRequest& request, int limit);

// The window's Preview: the first kWindowPreviewRecords records of the
// current choices, or nothing after showing why there are none (a fatal
// message closes the window, as after Export).
std::optional<PreviewTable> PreviewCommand(ExportState& s, Platform& ui);

}  // namespace rh

#endif  // RECORDHAUL_APP_PREVIEW_H_
