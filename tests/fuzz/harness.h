// The fuzz harnesses: one entry per reader or parser, each running one input
// and checking what must hold for any input. A broken rule aborts, which the
// fuzzer keeps as a crash; the regression test replays every seed and every
// input that once broke a rule.
//
// Inputs that hold several files are sections joined by kSectionBreak, so a
// mutation anywhere still splits into the same number of files.
#ifndef RECORDHAUL_TESTS_FUZZ_HARNESS_H_
#define RECORDHAUL_TESTS_FUZZ_HARNESS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "export/table_connection.h"
#include "export/table_writer.h"

namespace rh::fuzz {

[[noreturn]] void Broken(const char* rule, const char* file, int line);

#define RH_FUZZ_CHECK(rule) \
  ((rule) ? static_cast<void>(0) : ::rh::fuzz::Broken(#rule, __FILE__, __LINE__))

inline constexpr std::string_view kSectionBreak{"\xF7RH\xF7", 4};

// Exactly `count` sections: missing ones are empty, the last keeps any
// further breaks.
std::vector<std::string_view> Sections(std::string_view input, size_t count);
std::string JoinSections(const std::vector<std::string>& sections);

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

using Harness = int (*)(const uint8_t* data, size_t size);

struct Target {
  const char* name;  // the fuzzer binary is fuzz_<name>
  Harness run;
  std::vector<std::string> (*seeds)();  // built with the sample writer
};

// Every target, in a fixed order.
std::span<const Target> Targets();
const Target* FindTarget(std::string_view name);

int FuzzDictionary(const uint8_t* data, size_t size);
int FuzzCompanies(const uint8_t* data, size_t size);
int FuzzDataFile(const uint8_t* data, size_t size);
int FuzzTemplate(const uint8_t* data, size_t size);
int FuzzSql(const uint8_t* data, size_t size);
int FuzzConnectionString(const uint8_t* data, size_t size);
int FuzzMdbEngine(const uint8_t* data, size_t size);

std::vector<std::string> DictionarySeeds();
std::vector<std::string> CompaniesSeeds();
std::vector<std::string> DataFileSeeds();
std::vector<std::string> TemplateSeeds();
std::vector<std::string> SqlSeeds();
std::vector<std::string> ConnectionStringSeeds();
std::vector<std::string> MdbEngineSeeds();

// The statement path of the ODBC driver linked into the binary (dBase or
// Excel: each lives in its own fuzzer, driver_harness.cc), and its seeds.
int FuzzTableDriver(const uint8_t* data, size_t size);
std::vector<std::string> TableDriverSeeds(TableTarget target);

// A TableConnection over our Access engine writing through `env`.
Result<std::unique_ptr<TableConnection>> OpenEngineConnection(Env* env,
                                                              const TableOpenRequest& request);

// The statements and connection strings the table writer makes for the
// records of `fields`, for seeds.
struct WriterTexts {
  std::vector<std::string> connection_strings;
  std::vector<std::string> statements;  // CREATE TABLE first, then INSERTs
};
WriterTexts TableWriterTexts(TableTarget target);

}  // namespace rh::fuzz

#endif  // RECORDHAUL_TESTS_FUZZ_HARNESS_H_
