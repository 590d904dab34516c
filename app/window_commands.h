// The main window's own commands over the export state: start-up with the
// three directories, the directories command, Browse for the destination,
// Exit and closing the window.
#ifndef RECORDHAUL_APP_WINDOW_COMMANDS_H_
#define RECORDHAUL_APP_WINDOW_COMMANDS_H_

#include <string>

#include "app/export_state.h"
#include "platform/platform.h"

namespace rh {

// The destination box holds at most what a template can store.
inline constexpr size_t kDestinationBoxLength = 74;

// The window's initialisation: reads the directories and asks for them
// until all three are set, then starts an untitled template; the export
// options come from the settings. False when the directories dialog was
// cancelled: the window closes.
bool InitialiseWindow(ExportState& s, Platform& ui);

// "T&allyvane Directories": asks to save, shows the dialog, stores the
// directories and starts a new template when all three are set.
void EditDirectories(ExportState& s, Platform& ui);

// The destination's Browse button.
void BrowseDestination(ExportState& s, Platform& ui);

// A path with doubled extensions collapsed: report.txt.txt -> report.txt.
std::string CollapseDoubledExtensions(std::string path);

// The typed-columns check box: the export option, kept in the settings.
void SetTypedColumns(ExportState& s, Platform& ui, bool typed);

// Exit (ok) and the close box (not ok): the save question, then the end.
void CloseWindowCommand(ExportState& s, Platform& ui);

}  // namespace rh

#endif  // RECORDHAUL_APP_WINDOW_COMMANDS_H_
