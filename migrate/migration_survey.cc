#include "migrate/migration_survey.h"

#include <algorithm>

#include "base/cp1252.h"
#include "data/catalog.h"
#include "data/companies.h"
#include "data/data_file_reader.h"

namespace rh {

namespace {

// The scope's companies of a module, by number.
std::vector<CompanyRow> CompaniesOf(Env* env, const MigrationScope& scope,
                                    const std::string& module) {
  std::vector<CompanyRow> rows;
  for (const CompanyInfo& c : EnumerateCompanies(env, scope.data_dir, module)) {
    const bool chosen = scope.companies.empty() ||
                        std::find(scope.companies.begin(), scope.companies.end(), c.number) !=
                            scope.companies.end();
    if (chosen) rows.push_back({module, c.number, Cp1252ToUtf8(c.name)});
  }
  std::sort(rows.begin(), rows.end(),
            [](const CompanyRow& a, const CompanyRow& b) { return a.company < b.company; });
  return rows;
}

// Where one company's data file is, or why it is left out.
void SurveyCompany(Env* env, const MigrationScope& scope, SurveyedTable* table,
                   const CompanyRow& company, InstallationSurvey* survey) {
  const TablePlan& plan = table->plan;
  const DataFileLocation where{scope.data_dir, scope.system_dir, plan.module_code,
                               company.company, plan.file_number};
  auto entry = FindRegisterEntry(env, where);
  if (!entry.ok() && !entry.status().Is(MessageId::kRegisterNoEntry)) {
    survey->warnings.push_back(Status::Of(MessageId::kMigrateCompanySkipped,
                                          {company.company, plan.name,
                                           entry.status().message()}));
    return;
  }
  if (entry.ok() && entry->record_length != plan.layout.record_length()) {
    survey->warnings.push_back(Status::Of(
        MessageId::kMigrateLayoutSkipped,
        {company.company, plan.name, std::to_string(entry->record_length),
         std::to_string(plan.layout.record_length())}));
    return;
  }
  auto located = entry.ok() ? LocateDataFile(env, where, MessageId::kDataFileOpenFailTable)
                            : Result<LocatedFile>(entry.status());
  if (!located.ok()) {
    survey->missing.push_back({plan.name, company.company, DataFileName(where)});
    return;
  }
  for (std::string& f : AccountingFiles(env, where)) survey->accounting_files.push_back(f);
  survey->accounting_files.push_back(located->path);
  table->files.push_back({company.company, located->path});
  ++survey->data_files;
}

}  // namespace

Result<InstallationSurvey> SurveyInstallation(Env* env, const MigrationScope& scope) {
  InstallationSurvey survey;
  for (const ModuleInfo& module : Modules()) {
    const std::string code(module.code);
    if (std::find(scope.modules.begin(), scope.modules.end(), code) == scope.modules.end())
      continue;
    std::vector<CompanyRow> companies = CompaniesOf(env, scope, code);
    if (companies.empty()) continue;
    for (const DataFileInfo& file : DataFilesOf(module.index)) {
      auto layout = LoadFieldLayout(env, scope.system_dir, code, file.number);
      const std::string table_name = TableName(code, file.description);
      if (!layout.ok()) {
        const Status& s = layout.status();
        if (s.Is(MessageId::kDictionaryOpenFail) || s.Is(MessageId::kDictionaryTooOld))
          return s;
        survey.warnings.push_back(
            Status::Of(MessageId::kMigrateFileSkipped, {table_name, s.message()}));
        continue;
      }
      if (layout->record_length() < kMinimumRecordLength) {
        survey.warnings.push_back(
            Status::Of(MessageId::kMigrateFileSkipped,
                       {table_name, RecordLengthTooShort(layout->record_length()).message()}));
        continue;
      }
      SurveyedTable table{PlanTable(file, code, std::move(layout).value()), {}};
      for (const CompanyRow& company : companies)
        SurveyCompany(env, scope, &table, company, &survey);
      if (!table.files.empty()) survey.tables.push_back(std::move(table));
    }
    survey.modules.push_back({code, std::move(companies)});
  }
  survey.accounting_files.push_back(DictionaryPath(env, scope.system_dir));
  // A company asked for by number that no chosen module has is most likely
  // a typing mistake.
  for (const std::string& number : scope.companies) {
    bool found = false;
    for (const ModuleCompanies& m : survey.modules)
      for (const CompanyRow& c : m.companies) found |= c.company == number;
    if (found) continue;
    std::string modules;
    for (const std::string& code : scope.modules) modules += (modules.empty() ? "" : ", ") + code;
    survey.warnings.push_back(
        Status::Of(MessageId::kCompanyHasNoRegister, {number, modules, scope.data_dir}));
  }
  return survey;
}

}  // namespace rh
