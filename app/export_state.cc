#include "app/export_state.h"

#include "data/catalog.h"

namespace rh {

ExportState::ExportState() {
  for (const ModuleInfo& m : Modules()) module_list.entries.emplace_back(m.name);
  for (std::string_view label : kExportTypeLabels) export_type_list.entries.emplace_back(label);
  export_type_list.current = export_type;
  default_extension = DefaultExtension(kExportTypeLabels[0]);
  destination_filter = DestinationFilter(kExportTypeLabels[0]);
}

}  // namespace rh
