#include "cli/sample_templates.h"

#include <filesystem>

#include "app/choice_cascade.h"
#include "app/selection_commands.h"
#include "app/template_commands.h"
#include "data/catalog.h"
#include "platform/console_platform.h"
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
  if (ec) return Status::Error("Error", "Cannot create " + (root / "templates").string());
  MemorySettings settings;
  ConsolePlatform ui(&settings, stderr, false);
  ui.SetAnswerer([](std::string_view, std::string_view, MessageStyle) { return Answer::kOk; });
  for (const SampleTemplate& t : kTemplates) {
    ExportState s;
    s.env = env;
    s.dirs = {(root / "data").string(), (root / "sys").string(), (root / "progs").string()};
    const int module = *ModuleIndexByCode(t.module);
    ChooseModule(s, ui, module);
    const std::string_view description = FindDataFile(module, t.file)->description;
    for (size_t i = 0; i < s.file_list.entries.size(); ++i)
      if (s.file_list.entries[i] == description) ChooseDataFile(s, ui, static_cast<int>(i));
    for (size_t i = 0; i < s.company_list.entries.size(); ++i)
      if (s.company_list.entries[i].substr(0, 2) == t.company) CompanyEntryChanged(s, static_cast<int>(i));
    ChooseExportType(s, ui, t.type);
    AddAllFieldsCommand(s, ui);
    const std::string file = std::string(t.name) + "." + s.default_extension;
    const std::string dest = (root / "exports" / file).string();
    s.destination_box = dest.size() <= kTemplateDestinationLength ? dest : file;
    Status st = WriteTemplateFile(env, (root / "templates" / (std::string(t.name) + ".xdf")).string(),
                                  CurrentTemplateRecord(s), false);
    if (!st.ok()) return st;
  }
  return Status();
}

}  // namespace rh::cli
