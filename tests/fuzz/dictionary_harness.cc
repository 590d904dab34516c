// The data dictionary: LoadFieldLayout of one module and file, then every
// field bound and converted from a record of exactly the record length.
#include <vector>

#include "data/data_dictionary.h"
#include "data/field_value.h"
#include "sample/sample_data.h"
#include "tests/fuzz/harness.h"
#include "tests/fuzz/layout_checks.h"
#include "tests/fuzz/mem_env.h"
#include "tests/fuzz/seed_data.h"

namespace rh::fuzz {

// Sections: "CODE" and a file-number byte; the dictionary.
int FuzzDictionary(const uint8_t* data, size_t size) {
  auto parts = Sections(AsText(data, size), 2);
  std::string code(parts[0].substr(0, 4));
  int file = parts[0].size() > 4 ? static_cast<uint8_t>(parts[0][4]) : 1;
  MemEnv env;
  env.Put("/sys/QZFMDATA.DAT", std::string(parts[1]));
  auto layout = LoadFieldLayout(&env, "/sys", code, file);
  if (!layout.ok()) {
    RH_FUZZ_CHECK(!layout.status().caption().empty());
    return 0;
  }
  CheckLayout(*layout, parts[1]);
  return 0;
}

std::vector<std::string> DictionarySeeds() {
  const std::string seed = SeedDictionary(SeedFields());
  const std::string sample = sample::BuildDictionary("3b10", sample::SampleSchema());
  std::vector<std::string> seeds = {
      JoinSections({std::string("QZGL\x01", 5), seed}),
      JoinSections({std::string("QZGL\x02", 5), seed}),
      JoinSections({std::string("QZAP\x01", 5), seed}),
      JoinSections({std::string("QZPR\x03", 5), seed}),
      JoinSections({std::string("QZGL\x01", 5), SeedDictionary(SeedFields(), "3a01")}),
      JoinSections({std::string("QZAR\x1d", 5), sample}),
      JoinSections({std::string("QZGL\x05", 5), sample}),
  };
  // Odd letters, lengths of 0 and below, lower-case types and a second file
  // record inside the section.
  std::vector<sample::FieldSpec> odd = {{"A", 't', 20}, {"B", 'I', 2}, {"C", 'D', 4},
                                        {"D", 'Y', 1},  {"E", 'X', 2}, {"F", 'Q', 0},
                                        {"G", 'L', -4}, {"A", 'd', 8}};
  seeds.push_back(JoinSections({std::string("QZGL\x01", 5), SeedDictionary(odd)}));
  return seeds;
}

}  // namespace rh::fuzz
