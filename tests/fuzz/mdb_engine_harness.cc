// Our Access engine: a database created with the input's locale, its
// statements executed in order, and the file closed, all in memory.
#include "drivers/mdb/mdb_engine.h"
#include "tests/fuzz/harness.h"
#include "tests/fuzz/mem_env.h"

namespace rh::fuzz {

namespace {
constexpr size_t kMaxStatements = 64;
}

// Sections: the locale; then statements, one a section.
int FuzzMdbEngine(const uint8_t* data, size_t size) {
  auto parts = Sections(AsText(data, size), kMaxStatements + 1);
  MemEnv env;
  env.MakeFolder("/out");
  env.Put("/out/db.mdb", "old database");
  mdb::Workspace workspace(mdb::EngineOptions{&env, 0.0});
  auto db = workspace.CreateDatabase("/out/db.mdb", parts[0], 0);
  if (!db.ok()) {
    RH_FUZZ_CHECK(env.Files().size() == 1 && env.Get("/out/db.mdb") == "old database");
    return 0;
  }
  bool created = false;
  uint64_t rows = 0;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;
    std::string statement(parts[i]);
    Status s = (*db)->Execute(statement, mdb::kDbFailOnError);
    if (!s.ok()) {
      RH_FUZZ_CHECK(s.sqlstate().size() == 5);  // an SQLSTATE
      RH_FUZZ_CHECK((*db)->row_count() == rows);  // a failed statement changes nothing
      continue;
    }
    created = true;  // a statement that succeeds means the table exists
    rows = (*db)->row_count();
  }
  RH_FUZZ_CHECK((*db)->Close().ok());
  RH_FUZZ_CHECK(env.Files().size() == 1);  // no temporary file left
  auto file = env.Get("/out/db.mdb");
  RH_FUZZ_CHECK(file.has_value());
  if (!created) RH_FUZZ_CHECK(*file == "old database");
  else RH_FUZZ_CHECK(file->size() % 4096 == 0 && file->size() >= 4096);
  return 0;
}

std::vector<std::string> MdbEngineSeeds() {
  WriterTexts texts = TableWriterTexts(TableTarget::kAccess);
  std::vector<std::string> sections = {";LANGID=0x0409;CP=1252;COUNTRY=0"};
  sections.insert(sections.end(), texts.statements.begin(), texts.statements.end());
  std::vector<std::string> seeds = {JoinSections(sections)};
  seeds.push_back(JoinSections({"", "CREATE TABLE KVTdatatool ('a' BYTE, 'b' SHORT, 'c' TEXT)",
                                "INSERT INTO KVTdatatool ('a','b','c') VALUES (255, -32768, 'x')",
                                "INSERT INTO KVTdatatool ('a','b','c') VALUES (256, 0, '')",
                                "CREATE TABLE KVTdatatool ('a' LONG)"}));
  seeds.push_back(JoinSections({";LANGID=0x0407;CP=1252", "INSERT INTO KVTdatatool VALUES (1)"}));
  seeds.push_back(JoinSections({"", "CREATE TABLE KVTdatatool ('m' MEMO, 'n' LONG)",
                                "INSERT INTO KVTdatatool ('m','n') VALUES ('short', 1)",
                                "INSERT INTO KVTdatatool ('m','n') VALUES ('" +
                                    std::string(5000, 'x') + "', 2)"}));
  return seeds;
}

}  // namespace rh::fuzz
