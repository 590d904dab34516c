#include "cli/sample_templates.h"

#include <filesystem>

#include "app/field_choices.h"
#include "data/catalog.h"
#include "data/data_dictionary.h"
#include "export/export_types.h"
#include "platform/platform.h"
#include "selection/export_template.h"

namespace rh::cli {

namespace {

struct SampleTemplate {
  int type;
  const char* module;
  int file;
  const char* company;
  const char* name;  // template and destination name, without extension
};

constexpr SampleTemplate kTemplates[] = {
    {0, "QZGL", 1, "01", "00-gl-chart-of-accounts"},
    {1, "QZGL", 5, "01", "01-gl-postings"},
    {2, "QZAR", 1, "01", "02-ar-customers"},
    {3, "QZAR", 29, "02", "03-ar-contract-prices"},
    {4, "QZAP", 1, "01", "04-ap-vendors"},
    {5, "QZAP", 3, "0A", "05-ap-invoices"},
    {6, "QZPR", 1, "01", "06-pr-employees"},
    {7, "QZPR", 17, "02", "07-pr-pay-totals"},
    {8, "QZAR", 1, "01", "08-ar-customers"},
    {9, "QZAP", 1, "01", "09-ap-vendors"},
    {10, "QZPR", 1, "01", "10-pr-employees"},
};

}  // namespace

Status WriteSampleTemplates(Env* env, const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path root = fs::absolute(dir, ec);
  fs::create_directories(root / "templates", ec);
  fs::create_directories(root / "exports", ec);
  if (ec) return Status::Of(MessageId::kCannotCreateFolder, {(root / "templates").string()});
  const Directories dirs{(root / "data").string(), (root / "sys").string(),
                         (root / "progs").string()};
  for (const SampleTemplate& t : kTemplates) {
    const int module = *ModuleIndexByCode(t.module);
    auto layout = LoadFieldLayout(env, dirs.system, t.module, t.file);
    if (!layout.ok()) return layout.status();
    const ExportTypeInfo& type = *FindExportType(t.type);
    auto rows = SelectFields(layout->available(), {FieldChoice{true, {}, std::nullopt}}, type.names);
    if (!rows.ok()) return rows.status();
    TemplateRecord record;
    record.module_index = module;
    record.file_number = t.file;
    record.company = t.company;
    record.export_type = t.type;
    StoreRows(*rows, &record);
    const std::string file = std::string(t.name) + "." + std::string(type.extension);
    const std::string dest = (root / "exports" / file).string();
    record.destination = dest.size() <= kTemplateDestinationLength ? dest : file;
    Status st = WriteTemplateFile(env, (root / "templates" / (std::string(t.name) + ".xdf")).string(),
                                  record, false);
    if (!st.ok()) return st;
  }
  return Status();
}

}  // namespace rh::cli
