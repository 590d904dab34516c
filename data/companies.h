// Companies of a module and the location of their data files.
//
// Each company of a module has a register "<CODE><NN>FR.dat" in the data
// files directory: its name and one 148-byte entry per data file with the
// record length and an index into the path table "QZPATHTB.dat" of the
// system files directory. File names match ignoring letter case.
#ifndef RECORDHAUL_DATA_COMPANIES_H_
#define RECORDHAUL_DATA_COMPANIES_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "base/status.h"

namespace rh {

inline constexpr std::string_view kPathTableFileName = "QZPATHTB.dat";

struct CompanyInfo {
  std::string number;  // two characters, upper case
  std::string name;    // Windows-1252, at most 30 bytes
};

// "NN - name", the text of a company list entry.
std::string CompanyListEntry(const CompanyInfo& company);
// The company number an entry starts with: its first two characters.
std::string CompanyNumberOf(std::string_view entry);
// The first entry of `entries` whose company number is `number`; -1 if none.
int FindCompanyEntry(const std::vector<std::string>& entries, std::string_view number);

// The companies that have a register for the module, in directory order.
// A register that cannot be read gives an empty name. An unreadable
// directory gives an empty list.
std::vector<CompanyInfo> EnumerateCompanies(Env* env, std::string_view data_dir,
                                            std::string_view module_code);

struct RegisterEntry {
  int16_t record_length = 0;
  uint8_t path_index = 0;
};

// Where the data files of one company and module are.
struct DataFileLocation {
  std::string data_dir;
  std::string system_dir;
  std::string module_code;
  std::string company;
  int file_number = 0;
};

// The register entry of the data file; an error when the register cannot be
// read or holds no entry for the file.
Result<RegisterEntry> FindRegisterEntry(Env* env, const DataFileLocation& where);

// Whether the register's record length for the data file equals
// `record_length`; false when the register or its entry cannot be read.
bool CheckRecordLayout(Env* env, const DataFileLocation& where,
                       int32_t record_length);

struct LocatedFile {
  std::string path;
  std::unique_ptr<ReadableFile> file;
};

// Opens the data file: the path-table prefix joined to "<CODE><NN><file:02>.dat"
// if that opens, else the same name in the data files directory. When neither
// opens, or the register has no entry for the file, the error is "Error #6"
// with the text of `open_failure` (the text and table exports word it
// differently).
Result<LocatedFile> LocateDataFile(Env* env, const DataFileLocation& where,
                                   MessageId open_failure);

// The register and the path table of a location, which an export must never
// write to.
std::vector<std::string> AccountingFiles(Env* env, const DataFileLocation& where);

// "<CODE><NN><file:02>.dat".
std::string DataFileName(const DataFileLocation& where);

}  // namespace rh

#endif  // RECORDHAUL_DATA_COMPANIES_H_
