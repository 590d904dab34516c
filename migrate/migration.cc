#include "migrate/migration.h"

#include "base/scope_guard.h"
#include "data/data_file_reader.h"

namespace rh {

namespace {

// Progress and the stop question come every this many records.
constexpr int32_t kProgressEvery = 4096;

class TableLoader {
 public:
  TableLoader(Env* env, const MigrationScope& scope, MigrationTarget& target,
              MigrationObserver& observer, std::time_t (*now)(), int files)
      : env_(env), scope_(scope), target_(target), observer_(observer), now_(now) {
    progress_.files = files;
  }

  Status Load(const SurveyedTable& table, MigrationSummary* summary);

 private:
  Status LoadFile(const SurveyedTable& table, const SurveyedFile& file, TableLoad& load,
                  SourceRow* source, MigrationSummary* summary);
  Status Failed(const TablePlan& plan, const std::string& path, int32_t record,
                const Status& reason) const;
  // A failure of the load: of the records it names, else of `record`.
  Status LoadFailed(const TablePlan& plan, const std::string& path, const TableLoad& load,
                    int32_t record, const Status& reason) const;
  Status Interrupted(const TablePlan& plan) const;
  bool Report() {
    observer_.Progress(progress_);
    return observer_.StopRequested();
  }

  Env* env_;
  const MigrationScope& scope_;
  MigrationTarget& target_;
  MigrationObserver& observer_;
  std::time_t (*now_)();
  MigrationProgress progress_;
};

Status TableLoader::Failed(const TablePlan& plan, const std::string& path, int32_t record,
                           const Status& reason) const {
  const MessageId id = target_.KeepsCompletedTables() ? MessageId::kMigrateTableFailKept
                                                      : MessageId::kMigrateTableFail;
  Status s = Status::Of(id, {plan.name, path});
  const std::string why = reason.ToString();
  if (record > 0)
    return std::move(s).WithDetail(MessageId::kDetailRecord, {std::to_string(record), why});
  return std::move(s).WithDetail(MessageId::kDetailReason, {why});
}

Status TableLoader::LoadFailed(const TablePlan& plan, const std::string& path,
                               const TableLoad& load, int32_t record,
                               const Status& reason) const {
  const RecordRange range = load.FailedRecords();
  if (range.first <= 0 || range.last == range.first)
    return Failed(plan, path, range.first > 0 ? range.first : record, reason);
  const MessageId id = target_.KeepsCompletedTables() ? MessageId::kMigrateTableFailKept
                                                      : MessageId::kMigrateTableFail;
  return Status::Of(id, {plan.name, path})
      .WithDetail(MessageId::kDetailRecords, {std::to_string(range.first),
                                              std::to_string(range.last), reason.ToString()});
}

Status TableLoader::Interrupted(const TablePlan& plan) const {
  return target_.KeepsCompletedTables()
             ? Status::Of(MessageId::kMigrateInterruptedKept, {plan.name})
             : Status::Of(MessageId::kMigrateInterrupted);
}

Status TableLoader::LoadFile(const SurveyedTable& table, const SurveyedFile& file,
                             TableLoad& load, SourceRow* source, MigrationSummary* summary) {
  const TablePlan& plan = table.plan;
  const DataFileLocation where{scope_.data_dir, scope_.system_dir, plan.module_code,
                               file.company, plan.file_number};
  progress_.company = file.company;
  ++progress_.file;
  progress_.record = progress_.records = 0;
  if (Report()) return Interrupted(plan);
  auto reader = DataFileReader::Open(env_, where, plan.layout.record_length(),
                                     MessageId::kDataFileOpenFailTable);
  if (!reader.ok()) return Failed(plan, file.path, 0, reader.status());
  const std::string& path = (*reader)->path();
  auto header = (*reader)->ReadHeader();
  if (!header.ok()) return Failed(plan, path, 0, header.status());
  const int32_t count = *header;
  progress_.records = count;
  RowConverter converter(plan, file.company);
  int32_t read = 0;
  int64_t loaded = 0;
  for (int32_t i = 1; i <= count; ++i) {
    if (i % kProgressEvery == 0) {
      progress_.record = i;
      if (Report()) return Interrupted(plan);
    }
    auto record = (*reader)->Next();
    if (!record.ok()) return Failed(plan, path, i, record.status());
    if (*record == nullptr) break;  // the file ended early
    read = i;
    if (IsDeletedRecord(*record)) continue;
    const auto& cells = converter.Convert(*record, i);
    if (Status s = load.AddRow(cells); !s.ok()) return LoadFailed(plan, path, load, i, s);
    ++loaded;
  }
  if (Status s = load.Flush(); !s.ok()) return LoadFailed(plan, path, load, 0, s);
  progress_.record = read;
  if (Report()) return Interrupted(plan);
  if (count > 0 && read < count) {
    summary->warnings.push_back(Status::Of(
        MessageId::kMigrateEndedEarly, {path, std::to_string(read), std::to_string(count)}));
  }
  *source = SourceRow{plan.name,    plan.module_code, plan.file_number, plan.description,
                      file.company, path,             loaded,           0};
  return Status();
}

Status TableLoader::Load(const SurveyedTable& table, MigrationSummary* summary) {
  const TablePlan& plan = table.plan;
  progress_.table = plan.name;
  auto load = target_.BeginTable(plan);
  if (!load.ok()) return Failed(plan, table.files.front().path, 0, load.status());
  LoadedTable loaded{plan.name, {}, 0};
  std::vector<SourceRow> sources;
  for (const SurveyedFile& file : table.files) {
    SourceRow source;
    if (Status s = LoadFile(table, file, **load, &source, summary); !s.ok()) return s;
    loaded.companies.push_back(file.company);
    loaded.records += source.records;
    sources.push_back(std::move(source));
  }
  const std::time_t stamp = now_ != nullptr ? now_() : std::time(nullptr);
  for (SourceRow& s : sources) s.loaded_at = stamp;
  if (Status s = (*load)->Commit(sources); !s.ok())
    return Failed(plan, table.files.back().path, 0, s);
  summary->records += loaded.records;
  summary->tables.push_back(std::move(loaded));
  return Status();
}

Status DatabaseFailure(MessageId id, const MigrationTarget& target, const Status& reason) {
  if (id == MessageId::kMigrateDatabaseFail && target.KeepsCompletedTables())
    id = MessageId::kMigrateDatabaseFailKept;
  return Status::Of(id, {target.Describe()})
      .WithDetail(MessageId::kDetailReason, {reason.ToString()});
}

}  // namespace

MigrationOutcome Migrate(Env* env, const MigrationScope& scope, MigrationTarget& target,
                         MigrationObserver& observer, std::time_t (*now)()) {
  MigrationOutcome out;
  out.database = target.Describe();
  auto survey = SurveyInstallation(env, scope);
  if (!survey.ok()) {
    out.error = survey.status();
    return out;
  }
  out.summary.missing = survey->missing;
  out.summary.warnings = survey->warnings;
  const std::string file = target.FilePath();
  for (const std::string& accounting : survey->accounting_files) {
    if (!file.empty() && env->SameFile(file, accounting)) {
      out.error = Status::Of(MessageId::kMigrateDatabaseOpenFail, {target.Describe()})
                      .WithDetail(MessageId::kDetailAccountingFile);
      return out;
    }
  }

  ScopeGuard abandon([&] { target.Abandon(); });
  if (Status s = target.Open(); !s.ok()) {
    out.error = DatabaseFailure(MessageId::kMigrateDatabaseOpenFail, target, s);
    return out;
  }
  TableLoader loader(env, scope, target, observer, now, survey->data_files);
  auto next = survey->tables.begin();
  for (const ModuleCompanies& module : survey->modules) {
    for (; next != survey->tables.end() && next->plan.module_code == module.module; ++next) {
      if (Status s = loader.Load(*next, &out.summary); !s.ok()) {
        out.error = s;
        return out;
      }
    }
    if (Status s = target.ReplaceCompanies(module.module, module.companies); !s.ok()) {
      out.error = DatabaseFailure(MessageId::kMigrateDatabaseFail, target, s);
      return out;
    }
  }
  if (Status s = target.Finish(); !s.ok()) {
    out.error = DatabaseFailure(MessageId::kMigrateDatabaseFail, target, s);
    return out;
  }
  abandon.Dismiss();
  return out;
}

}  // namespace rh
