// The selection buttons and list events of the window, over the export
// state: each sets the modified flag first, then runs its selection
// operation with the current layout check and export-name width.
#ifndef RECORDHAUL_APP_SELECTION_COMMANDS_H_
#define RECORDHAUL_APP_SELECTION_COMMANDS_H_

#include "app/export_state.h"
#include "platform/platform.h"

namespace rh {

// "&Add  >": the entries selected in the available list.
void AddFieldsCommand(ExportState& s, Platform& ui);
// "Add All &>>".
void AddAllFieldsCommand(ExportState& s, Platform& ui);
// "< &Remove": the selection list's selected row.
void RemoveFieldCommand(ExportState& s);
// "<< Remove A&ll".
void RemoveAllFieldsCommand(ExportState& s);
// "Apply": does nothing at all while a template is being loaded.
void ApplyRenameCommand(ExportState& s);

// A click on the selection list (row -1: beside the rows), and Up/Down in
// it: the available list's selection is cleared and a rename begins.
void ClickSelectionRow(ExportState& s, int row);
void StepSelectionRow(ExportState& s, int delta);

// The available list received the input focus: the rename ends.
void AvailableListFocused(ExportState& s);

}  // namespace rh

#endif  // RECORDHAUL_APP_SELECTION_COMMANDS_H_
