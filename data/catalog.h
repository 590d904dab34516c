// The built-in catalog of the accounting modules and the data files that may
// be exported from each. Constant; nothing is read from disk.
#ifndef RECORDHAUL_DATA_CATALOG_H_
#define RECORDHAUL_DATA_CATALOG_H_

#include <optional>
#include <span>
#include <string_view>

namespace rh {

struct ModuleInfo {
  int index;              // 0..16, the position in the module list
  std::string_view name;  // "General Ledger"
  std::string_view code;  // "QZGL"
};

struct DataFileInfo {
  int module;                    // index of the owning module
  int number;                    // the accounting system's own file number
  std::string_view description;  // unique within its module
};

inline constexpr int kModuleCount = 17;

// The 17 modules in list order.
std::span<const ModuleInfo> Modules();

// The data files of module `index`, by ascending file number; empty for an
// index outside 0..16.
std::span<const DataFileInfo> DataFilesOf(int module_index);

// Every data file of every module, in table order.
std::span<const DataFileInfo> AllDataFiles();

// The module whose code equals `code` ignoring letter case.
std::optional<int> ModuleIndexByCode(std::string_view code);

// The first data file of the module whose description equals `description`
// exactly; its number.
std::optional<int> FileNumberByDescription(int module_index,
                                           std::string_view description);

// The entry of the module with the given file number.
const DataFileInfo* FindDataFile(int module_index, int file_number);

}  // namespace rh

#endif  // RECORDHAUL_DATA_CATALOG_H_
