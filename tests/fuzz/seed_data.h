// Accounting files for the seed inputs, made with the sample writer's
// builders: one data file with a field of every type and records holding the
// values exports must get right.
#ifndef RECORDHAUL_TESTS_FUZZ_SEED_DATA_H_
#define RECORDHAUL_TESTS_FUZZ_SEED_DATA_H_

#include <cstdint>
#include <string>
#include <vector>

#include "sample/sample_data.h"

namespace rh::fuzz {

// A text, every number type, a date, an odd letter and a name with quotes.
std::vector<sample::FieldSpec> SeedFields();

// A dictionary with module QZGL file 1 laid out as `fields`, besides the
// sample's modules QZAP and QZPR.
std::string SeedDictionary(const std::vector<sample::FieldSpec>& fields,
                           std::string_view version = "3b10");

// Records with ordinary, extreme and awkward values, one of them deleted.
std::vector<std::string> SeedRecords(const std::vector<sample::FieldSpec>& fields);

// Company 01's register: files 1 and 2 with this record length, path index 1.
std::string SeedRegister(int32_t record_length);

}  // namespace rh::fuzz

#endif  // RECORDHAUL_TESTS_FUZZ_SEED_DATA_H_
