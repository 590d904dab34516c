// What the hardening tests share: an installation with enough records to
// span several read blocks, the destination of each export type, and the
// checks that nothing was lost.
#ifndef RECORDHAUL_TESTS_HARDENING_HARDENING_UTIL_H_
#define RECORDHAUL_TESTS_HARDENING_HARDENING_UTIL_H_

#include <map>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh::test {

// Fields of every type and an unexported 2000-byte filler, so that the
// reader needs three 1 MB blocks for kBlockRecords records.
std::vector<sample::FieldSpec> WideFields();
inline constexpr int kBlockRecords = 1200;

// Record i (from 1) of the wide layout; every 50th is deleted.
std::string WideRecord(int i);
// The data file of `count` wide records with this header count.
std::string WideDataFile(int32_t header_count, int count);

// The rows every hardening export writes, with names valid for every type.
std::vector<std::string> ExportRows();

// "out.txt", "out.csv", "out.xls", "out.dbf", "out.mdb" or "out.xlsx".
std::string DestinationName(int type);

// Size and FNV-1a checksum of every file below `dir`, by path, and a mark
// for every folder, symbolic link (not followed) and other entry: what must
// not change.
std::map<std::string, std::string> TreeChecksums(const std::string& dir);

// The data rows of an .xls, .dbf or .mdb table our export wrote, read
// without our writers' code; -1 when no reader is at hand (mdbtools).
int TableRows(int type, const std::string& path);

// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& dir);

// Runs an export of the installation's QZGL file 1 to `dest`.
struct RunResult {
  ExportOutcome outcome;
  std::vector<ShownMessage> messages;  // what the window would have shown
  bool progress_open = false;
  int wait_depth = 0;
};
RunResult RunTo(Installation& inst, int type, const std::string& dest, Env* env,
                Answer answer, const ConnectionOpener& opener = {});

// Points the driver manager at the drivers of this build (once a process).
void UseBuildTreeDrivers();

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_HARDENING_HARDENING_UTIL_H_
