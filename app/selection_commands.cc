#include "app/selection_commands.h"

#include <algorithm>

#include "app/choice_cascade.h"
#include "base/cp1252.h"

namespace rh {

namespace {

void WarnIfLayoutDiffers(const ExportState& s, Platform& ui) {
  if (!RecordLayoutMatches(s)) ui.Show(MessageId::kIncompatibleUnableToExport);
}

}  // namespace

void AddFieldsCommand(ExportState& s, Platform& ui) {
  s.MarkModified();
  const auto& selected = s.available.selected;
  if (!s.selection.HasRoomFor(static_cast<size_t>(std::count(selected.begin(), selected.end(), true)))) {
    ui.Show(MessageId::kTooManyFieldsAdd);
    return;
  }
  WarnIfLayoutDiffers(s, ui);
  auto ask_again = [&ui](const std::string& entry) {
    return ui.Show(MessageId::kAlreadyExported, {Cp1252ToUtf8(entry)}) != Answer::kNo;
  };
  s.selection.AddFields(s.available.entries, selected, ask_again, s.NameRules());
}

void AddAllFieldsCommand(ExportState& s, Platform& ui) {
  s.MarkModified();
  if (!s.selection.HasRoomFor(s.available.entries.size())) {
    ui.Show(MessageId::kTooManyFieldsAddAll);
    return;
  }
  WarnIfLayoutDiffers(s, ui);
  s.selection.AddAllFields(s.available.entries, s.NameRules());
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
  s.selection.ApplyRename(s.NameRules());
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
