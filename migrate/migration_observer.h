// MigrationObserver: how a migration reports its progress over the data
// files and their records, and learns that the user wants it to stop. The
// window's dialog shows both; the command line draws one bar.
#ifndef RECORDHAUL_MIGRATE_MIGRATION_OBSERVER_H_
#define RECORDHAUL_MIGRATE_MIGRATION_OBSERVER_H_

#include <cstdint>
#include <string>

namespace rh {

struct MigrationProgress {
  std::string table;        // being loaded
  std::string company;      // whose data file is being read
  int file = 0;             // that data file's place, from 1
  int files = 0;            // the data files the run loads
  int32_t record = 0;       // the record read last, from 0
  int32_t records = 0;      // the records its header announces
};

class MigrationObserver {
 public:
  virtual ~MigrationObserver() = default;

  // At the start of every data file and every few thousand records.
  virtual void Progress(const MigrationProgress& progress) = 0;

  // Asked as often; true ends the run as a failure.
  virtual bool StopRequested() { return false; }
};

}  // namespace rh

#endif  // RECORDHAUL_MIGRATE_MIGRATION_OBSERVER_H_
