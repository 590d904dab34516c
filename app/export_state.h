// ExportState: the one program-wide state — every choice of the current
// export, the view elements the window shows, and the flags that tie the
// choices to the export template. Toolkit-free: the window only binds the
// view elements to its controls.
#ifndef RECORDHAUL_APP_EXPORT_STATE_H_
#define RECORDHAUL_APP_EXPORT_STATE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/env.h"
#include "data/companies.h"
#include "data/data_dictionary.h"
#include "export/export_types.h"
#include "platform/platform.h"
#include "selection/export_template.h"
#include "selection/field_selection.h"

namespace rh {

// A drop-down list: entries and the current one, if any.
struct ListView {
  std::vector<std::string> entries;
  int current = -1;

  bool HasCurrent() const {
    return current >= 0 && current < static_cast<int>(entries.size());
  }
  const std::string& CurrentText() const {
    static const std::string kEmpty;
    return HasCurrent() ? entries[static_cast<size_t>(current)] : kEmpty;
  }
  void Clear() {
    entries.clear();
    current = -1;
  }
};

// The list of fields available for export; any number may be selected.
struct AvailableList {
  std::vector<std::string> entries;
  std::vector<bool> selected;

  void Assign(std::vector<std::string> names) {
    entries = std::move(names);
    selected.assign(entries.size(), false);
  }
  void Clear() { Assign({}); }
  void ClearSelection() { selected.assign(entries.size(), false); }
};

class ExportState {
 public:
  ExportState();

  // Sets the modified flag unless a template is being loaded.
  void MarkModified() {
    if (!loading) modified = true;
  }

  // Ends the main window's run; the program ends after it.
  void CloseMainWindow() { window_closed = true; }

  // Where the current company's data files are.
  DataFileLocation Location() const {
    return {dirs.data, dirs.system, module_code, company_number, file_number};
  }

  // The current export type: the export-type list's current entry, changed
  // only through SetExportType.
  int export_type() const { return export_type_list.current; }
  const ExportTypeInfo& type() const;
  void SetExportType(int index);
  // The letters after the label's "*.", and the file dialog's filter.
  std::string default_extension() const { return DefaultExtension(type().label); }
  std::string destination_filter() const { return DestinationFilter(type().label); }
  // How the current export type wants its column names.
  const ExportNameRules& NameRules() const { return type().names; }
  // Whether the typed-columns option changes the current type's output:
  // the types that create their table through a connection.
  bool TypedOptionApplies() const { return type().table.target != TableTarget::kNone; }

  Env* env = Env::Default();

  Directories dirs;
  std::string module_code;     // "QZGL"
  std::string company_number;  // two characters
  int32_t file_number = 0;
  std::string template_path;
  bool modified = false;
  bool loading = false;
  bool window_closed = false;

  // The template record as the choices keep it: the module index, file
  // number and company number follow the choices at once; the rest is
  // filled in when the template is saved.
  TemplateRecord record;
  // The rows to export, the rename state and the new-name box.
  FieldSelection selection;

  // The current data file's layout, from the last field-list load.
  FieldLayout layout;

  // View elements.
  ListView module_list;       // the 17 module names, fixed
  ListView company_list;      // "NN - name", kept sorted by text
  ListView file_list;         // the module's data file descriptions
  ListView export_type_list;  // the labels, fixed; current: the export type
  AvailableList available;
  std::string destination_box;
  // Where a relative destination goes; empty: the Documents folder. The
  // command line sets the current directory for a destination it was given.
  std::string relative_destination_folder;
  // The export options the window offers, kept in the settings (not in the
  // template, whose layout is fixed).
  ExportOptions options;
  std::string window_title;
};

}  // namespace rh

#endif  // RECORDHAUL_APP_EXPORT_STATE_H_
