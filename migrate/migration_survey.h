// The first step of a migration, which writes nothing: which data files of
// the chosen modules and companies there are, with their tables' plans.
// Only what it finds is loaded afterwards, and the database file can be
// checked against every accounting file before anything is written.
#ifndef RECORDHAUL_MIGRATE_MIGRATION_SURVEY_H_
#define RECORDHAUL_MIGRATE_MIGRATION_SURVEY_H_

#include <string>
#include <vector>

#include "base/env.h"
#include "base/status.h"
#include "migrate/migration_target.h"
#include "migrate/table_plan.h"

namespace rh {

// What to migrate.
struct MigrationScope {
  std::string data_dir;
  std::string system_dir;
  std::vector<std::string> modules;    // codes as the catalog spells them
  std::vector<std::string> companies;  // two characters, upper case; none: all
};

struct SurveyedFile {
  std::string company;
  std::string path;  // where it was found
};

struct SurveyedTable {
  TablePlan plan;
  std::vector<SurveyedFile> files;  // one per company, at least one
};

struct ModuleCompanies {
  std::string module;
  std::vector<CompanyRow> companies;  // by number
};

// A data file a company's register lists but that was not found, or that
// the register has no entry for.
struct MissingFile {
  std::string table;
  std::string company;
  std::string data_file;  // its name, "QZGL0105.dat"
};

struct InstallationSurvey {
  std::vector<ModuleCompanies> modules;  // in catalog order, with companies
  std::vector<SurveyedTable> tables;     // in catalog order
  std::vector<MissingFile> missing;
  // Companies left out of a table (a register entry that disagrees with
  // the dictionary, an unreadable register) and data files left out
  // altogether (not described by the dictionary).
  std::vector<Status> warnings;
  // The dictionary, the path table, the registers and the data files.
  std::vector<std::string> accounting_files;
  int data_files = 0;
};

// Fails only when the data dictionary cannot be used at all (it cannot be
// read, or is too old): "Error #2", "Error #9".
Result<InstallationSurvey> SurveyInstallation(Env* env, const MigrationScope& scope);

}  // namespace rh

#endif  // RECORDHAUL_MIGRATE_MIGRATION_SURVEY_H_
