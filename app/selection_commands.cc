#include "app/selection_commands.h"

#include "app/choice_cascade.h"

namespace rh {

namespace {

FieldSelection::LayoutCheck LayoutCheckOf(const ExportState& s) {
  return [&s] { return RecordLayoutMatches(s); };
}

}  // namespace

void AddFieldsCommand(ExportState& s, Platform& ui) {
  s.MarkModified();
  s.selection.AddFields(s.available.entries, s.available.selected, LayoutCheckOf(s), ui,
                        s.NameWidth());
}

void AddAllFieldsCommand(ExportState& s, Platform& ui) {
  s.MarkModified();
  s.selection.AddAllFields(s.available.entries, LayoutCheckOf(s), ui, s.NameWidth());
}

void RemoveFieldCommand(ExportState& s) {
  s.MarkModified();
  s.selection.RemoveField();
}

void RemoveAllFieldsCommand(ExportState& s) {
  s.MarkModified();
  s.selection.RemoveAllFields();
}

void ApplyRenameCommand(ExportState& s) {
  if (s.loading) return;
  s.MarkModified();
  s.selection.ApplyRename(s.NameWidth());
}

void ClickSelectionRow(ExportState& s, int row) {
  s.available.ClearSelection();
  s.selection.Click(row);
}

void StepSelectionRow(ExportState& s, int delta) {
  s.available.ClearSelection();
  s.selection.Step(delta);
}

void AvailableListFocused(ExportState& s) { s.selection.EndRename(); }

}  // namespace rh
