// The export template file (.xdf): one fixed 16348-byte little-endian record
// holding the module, data file, company, export type, destination and the
// selection's source positions and export names.
//
//   0     4  module index            16   76  destination, NUL-ended
//   4     4  file number             92 1204  301 source positions, -1 ends
//   8     4  company number + 2 NULs 1296 15050 301 export names of 50 bytes
//   12    4  export type             16346  2  padding
#ifndef RECORDHAUL_SELECTION_EXPORT_TEMPLATE_H_
#define RECORDHAUL_SELECTION_EXPORT_TEMPLATE_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/env.h"
#include "base/status.h"
#include "selection/field_selection.h"

namespace rh {

inline constexpr size_t kTemplateSize = 16348;
inline constexpr size_t kTemplateSlots = 301;
inline constexpr size_t kTemplateDestinationLength = 74;

struct TemplateRecord {
  int32_t module_index = 0;
  int32_t file_number = 0;
  std::string company;      // two characters
  int32_t export_type = 0;
  std::string destination;  // at most 74 characters
  // The selection in row order.
  std::vector<int32_t> positions;
  std::vector<std::string> names;
};

using TemplateBytes = std::array<uint8_t, kTemplateSize>;

// Stores the selection's rows in the record: their source positions and
// export names, in row order.
void StoreRows(const std::vector<SelectedField>& rows, TemplateRecord* record);

// The record's bytes. Slots beyond the rows hold -1 and "_", as after a new
// template; texts longer than their slots are cut to fit.
TemplateBytes EncodeTemplate(const TemplateRecord& record);

// Reads the rows up to the first -1 position (at most 300 rows: the 301st
// slot only ever holds the end mark).
TemplateRecord DecodeTemplate(const TemplateBytes& bytes);

// Reads a template file. Failures carry the file's full path in one of the
// file-error texts ("%1 was not found.", "Access to %1 was denied.", ...);
// a file shorter than the record is "An attempt was made to access %1 past
// its end." and gives nothing.
Result<TemplateRecord> ReadTemplateFile(Env* env, const std::string& path);

// Writes the record to `path` so that a failed save never leaves half a
// template where the rename is possible, keeping what the user set up around
// the file: a symbolic link is followed and stays a link, an existing file
// keeps its permissions and, where the process may set them, its owner and
// group, and a file with several hard links is written in place so that
// every name keeps seeing it (see SaveFile). `saving_current` is Save: the
// current template must still be there ("not found" otherwise) and bytes of
// it past the record stay. Otherwise (Save As, a new template) the file
// becomes exactly the record.
Status WriteTemplateFile(Env* env, const std::string& path, const TemplateRecord& record,
                         bool saving_current);

// The file-error message for a failed system call (0: the file ended too
// early), and its text for `path`.
MessageId FileErrorMessage(int sys_error);
std::string FileErrorText(int sys_error, const std::string& path);

}  // namespace rh

#endif  // RECORDHAUL_SELECTION_EXPORT_TEMPLATE_H_
