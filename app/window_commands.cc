#include "app/window_commands.h"

#include "app/settings.h"
#include "app/template_commands.h"

namespace rh {

namespace {

void SaveDirectories(ExportState& s, Platform& ui) {
  if (Status st = WriteDirectories(ui.Settings(), s.dirs); !st.ok()) {
    ui.Show(MessageId::kSettingsNotSaved, {st.message()});
  }
}

}  // namespace

bool InitialiseWindow(ExportState& s, Platform& ui) {
  s.dirs = ReadDirectories(ui.Settings());
  s.options.typed = ReadTypedColumns(ui.Settings());
  while (!s.dirs.AllSet()) {
    if (!ui.EditDirectories(&s.dirs)) {
      s.CloseMainWindow();
      return false;
    }
    SaveDirectories(s, ui);
    if (!s.dirs.AllSet()) ui.Show(MessageId::kSetDefaults);
  }
  s.modified = false;
  s.SetExportType(kCommaWithTitles);
  NewTemplate(s, ui);
  return true;
}

void EditDirectories(ExportState& s, Platform& ui) {
  PromptSaveChanges(s, ui);
  s.selection.EndRename();
  s.dirs = ReadDirectories(ui.Settings());
  if (!ui.EditDirectories(&s.dirs)) return;
  for (;;) {
    SaveDirectories(s, ui);
    if (s.dirs.AllSet()) {
      NewTemplate(s, ui);
      return;
    }
    ui.Show(MessageId::kSetDefaults);
    if (!ui.EditDirectories(&s.dirs)) return;
  }
}

std::string CollapseDoubledExtensions(std::string path) {
  for (size_t i = path.size(); i-- > 0;) {
    if (i + 8 < path.size() + 1 && path[i] == '.' && path[i + 4] == '.' &&
        path.compare(i + 1, 3, path, i + 5, 3) == 0) {
      path.resize(i + 4);
    }
  }
  return path;
}

void BrowseDestination(ExportState& s, Platform& ui) {
  s.MarkModified();
  const std::string text = s.destination_box.substr(0, kDestinationBoxLength);
  FileDialogOptions o;
  o.default_extension = s.default_extension();
  o.filter = s.destination_filter();
  o.initial_path = text;
  auto at = [&](size_t i) { return i < text.size() ? text[i] : '\0'; };
  if (text.size() < 3 || (at(0) != '/' && at(1) != '/' && at(1) != ':' && at(2) != '/'))
    o.initial_folder = ui.DocumentsFolder();
  auto chosen = ui.SaveFileDialog(o);
  if (!chosen) return;
  std::string path = CollapseDoubledExtensions(*chosen);
  if (path.size() > kDestinationBoxLength) {
    ui.Show(MessageId::kDestinationTooLong, {path, std::to_string(kDestinationBoxLength)});
    return;
  }
  s.destination_box = path;
}

void SetTypedColumns(ExportState& s, Platform& ui, bool typed) {
  s.options.typed = typed;
  if (Status st = WriteTypedColumns(ui.Settings(), typed); !st.ok())
    ui.Show(MessageId::kOptionsNotSaved, {st.message()});
}

void CloseWindowCommand(ExportState& s, Platform& ui) {
  PromptSaveChanges(s, ui);
  s.CloseMainWindow();
}

}  // namespace rh
