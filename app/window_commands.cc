#include "app/window_commands.h"

#include "app/template_commands.h"

namespace rh {

namespace {

constexpr const char* kSetDefaults = "Cannot Continue - Please Set Defaults";

void SaveDirectories(ExportState& s, Platform& ui) {
  if (Status st = WriteDirectories(ui.Settings(), s.dirs); !st.ok()) {
    ui.Message("The directories could not be saved in the settings: " + st.message(), "Error",
               MessageStyle::kOkExclamation);
  }
}

}  // namespace

Directories ReadDirectories(SettingsStore& settings) {
  Directories d;
  d.system = settings.Read("dirs", "AFILES");
  d.data = settings.Read("dirs", "AUSER");
  d.programs = settings.Read("dirs", "APROGS");
  return d;
}

Status WriteDirectories(SettingsStore& settings, const Directories& dirs) {
  Status s = settings.Write("dirs", "AFILES", dirs.system);
  if (s.ok()) s = settings.Write("dirs", "AUSER", dirs.data);
  if (s.ok()) s = settings.Write("dirs", "APROGS", dirs.programs);
  return s;
}

bool InitialiseWindow(ExportState& s, Platform& ui) {
  s.dirs = ReadDirectories(ui.Settings());
  while (!s.dirs.AllSet()) {
    if (!ui.EditDirectories(&s.dirs)) {
      s.CloseMainWindow();
      return false;
    }
    SaveDirectories(s, ui);
    if (!s.dirs.AllSet()) ui.Message(kSetDefaults, "Error", MessageStyle::kOk);
  }
  s.modified = false;
  s.export_type = kCommaWithTitles;
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
    ui.Message(kSetDefaults, "Error", MessageStyle::kOk);
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
  o.default_extension = s.default_extension;
  o.filter = s.destination_filter;
  o.initial_path = text;
  auto at = [&](size_t i) { return i < text.size() ? text[i] : '\0'; };
  if (text.size() < 3 || (at(0) != '/' && at(1) != '/' && at(1) != ':' && at(2) != '/'))
    o.initial_folder = ui.DocumentsFolder();
  auto chosen = ui.SaveFileDialog(o);
  if (!chosen) return;
  std::string path = CollapseDoubledExtensions(*chosen);
  if (path.size() > kDestinationBoxLength) {
    ui.Message("The path " + path + " is longer than the " +
                   std::to_string(kDestinationBoxLength) +
                   " characters a destination can have. Choose a shorter one.",
               "Warning", MessageStyle::kOkExclamation);
    return;
  }
  s.destination_box = path;
}

void CloseWindowCommand(ExportState& s, Platform& ui) {
  PromptSaveChanges(s, ui);
  s.CloseMainWindow();
}

}  // namespace rh
