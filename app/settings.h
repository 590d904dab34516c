// What the user's settings keep, and under which keys: every key lives
// here. The three accounting directories are in section "dirs", keys
// "AUSER" (data files), "AFILES" (system files) and "APROGS" (program
// files). The window and the command line both read and write them here.
// The window's text encoding is in section "export", keys "Encoding"
// ("windows-1252" or "utf-8") and "ByteOrderMark" ("1" or "0"); the
// command line takes it from its options instead.
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
Status WriteExportOptions(SettingsStore& settings, const ExportOptions& options);

}  // namespace rh

#endif  // RECORDHAUL_APP_SETTINGS_H_
