#include "app/export_state.h"

#include "data/catalog.h"

namespace rh {

ExportState::ExportState() {
  for (const ModuleInfo& m : Modules()) module_list.entries.emplace_back(m.name);
  for (const ExportTypeInfo& t : ExportTypes()) export_type_list.entries.emplace_back(t.label);
  SetExportType(kCommaWithTitles);
}

const ExportTypeInfo& ExportState::type() const {
  const ExportTypeInfo* t = FindExportType(export_type_list.current);
  return t != nullptr ? *t : ExportTypes().front();
}

void ExportState::SetExportType(int index) {
  if (FindExportType(index) != nullptr) export_type_list.current = index;
}

}  // namespace rh
