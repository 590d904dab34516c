// What the user's settings keep, and under which keys: every key lives
// here. The three accounting directories are in section "dirs", keys
// "AUSER" (data files), "AFILES" (system files) and "APROGS" (program
// files). The window and the command line both read and write them here.
// The window's export options are in section "export": "Encoding"
// ("windows-1252" or "utf-8") and "ByteOrderMark" ("1" or "0") for the text
// types, "TypedColumns" ("1" when the table types write typed columns). The
// command line takes them from its options instead.
#ifndef RECORDHAUL_APP_SETTINGS_H_
#define RECORDHAUL_APP_SETTINGS_H_

#include "base/status.h"
#include "export/export_options.h"
#include "platform/platform.h"

namespace rh {

// A missing value reads as empty.
Directories ReadDirectories(SettingsStore& settings);

// Written all three together, AFILES first.
Status WriteDirectories(SettingsStore& settings, const Directories& dirs);

// The options the window offers; missing or unknown values read as the
// defaults, which keep the stored bytes.
ExportOptions ReadExportOptions(SettingsStore& settings);
// The text types' encoding and byte-order mark of `options`.
Status WriteTextEncoding(SettingsStore& settings, const ExportOptions& options);

// The window's choice of typed columns; off unless set.
bool ReadTypedColumns(SettingsStore& settings);
Status WriteTypedColumns(SettingsStore& settings, bool typed);

}  // namespace rh

#endif  // RECORDHAUL_APP_SETTINGS_H_
