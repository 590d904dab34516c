// What the user's settings keep, and under which keys: every key lives
// here. The three accounting directories are in section "dirs", keys
// "AUSER" (data files), "AFILES" (system files) and "APROGS" (program
// files). The window and the command line both read and write them here.
// The window's export options are in section "export": "TypedColumns" is
// "1" when the table types write typed columns.
#ifndef RECORDHAUL_APP_SETTINGS_H_
#define RECORDHAUL_APP_SETTINGS_H_

#include "base/status.h"
#include "platform/platform.h"

namespace rh {

// A missing value reads as empty.
Directories ReadDirectories(SettingsStore& settings);

// Written all three together, AFILES first.
Status WriteDirectories(SettingsStore& settings, const Directories& dirs);

// The window's choice of typed columns; off unless set.
bool ReadTypedColumns(SettingsStore& settings);
Status WriteTypedColumns(SettingsStore& settings, bool typed);

}  // namespace rh

#endif  // RECORDHAUL_APP_SETTINGS_H_
