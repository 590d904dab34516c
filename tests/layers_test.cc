// The layers of the source tree point one way: a file may include headers
// of its own folder and of the folders below it, never of one above. The
// core (base to app, the migration included) sees neither Qt nor the ODBC
// headers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each folder and the folders its files may include from (itself included).
const std::map<std::string, std::set<std::string>>& Layers() {
  static const std::map<std::string, std::set<std::string>> layers = [] {
    std::map<std::string, std::set<std::string>> l;
    l["base"] = {"base"};
    l["data"] = {"base", "data"};
    l["selection"] = {"base", "data", "selection"};
    l["export"] = {"base", "data", "selection", "export"};
    l["migrate"] = {"base", "data", "migrate"};
    l["databases"] = {"base", "data", "migrate", "databases"};
    l["drivers"] = {"base", "drivers"};
    l["connections"] = {"base", "data", "selection", "export", "drivers", "connections"};
    l["platform"] = {"base", "platform"};
    l["sample"] = {"base", "data", "sample"};
    l["app"] = {"base",        "data",    "selection", "export",   "connections",
                "migrate",     "databases", "platform", "app"};
    l["cli"] = l["app"];
    l["cli"].insert({"sample", "cli"});
    l["gui"] = l["app"];
    l["gui"].insert("gui");
    l["bench"] = {"base", "data", "sample", "bench"};
    l["program"] = {"base", "platform", "cli", "gui", "program"};
    return l;
  }();
  return layers;
}

// The folders whose code must build without the window's toolkit or an
// ODBC driver manager.
const std::set<std::string> kCore = {"base",     "data",     "selection", "export",
                                     "migrate",  "platform", "app"};

struct Include {
  std::string file;  // relative to the source root
  std::string header;
};

std::vector<Include> Includes(const fs::path& root, const std::string& folder) {
  static const std::regex kLine(R"(^\s*#\s*include\s*[<"]([^">]+)[">])");
  std::vector<Include> found;
  for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cc") continue;
    std::ifstream in(entry.path());
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
      if (std::regex_search(line, m, kLine))
        found.push_back({fs::relative(entry.path(), root).string(), m[1]});
  }
  return found;
}

std::string FolderOf(const std::string& header) {
  const size_t slash = header.find('/');
  return slash == std::string::npos ? std::string() : header.substr(0, slash);
}

TEST(Layers, NoFileIncludesAHeaderOfALayerAboveItsOwn) {
  const fs::path root = RECORDHAUL_SOURCE_DIR;
  for (const auto& [folder, allowed] : Layers()) {
    ASSERT_TRUE(fs::is_directory(root / folder)) << folder;
    for (const Include& inc : Includes(root, folder)) {
      const std::string to = FolderOf(inc.header);
      if (to.empty() || !Layers().contains(to)) continue;  // system or third-party
      EXPECT_TRUE(allowed.contains(to)) << inc.file << " includes " << inc.header;
    }
  }
}

TEST(Layers, TheCoreSeesNeitherQtNorOdbc) {
  const fs::path root = RECORDHAUL_SOURCE_DIR;
  for (const std::string& folder : kCore) {
    for (const Include& inc : Includes(root, folder)) {
      const bool qt = inc.header.starts_with("Q") || inc.header.starts_with("qt");
      const bool odbc = inc.header == "sql.h" || inc.header == "sqlext.h" ||
                        inc.header == "odbcinst.h";
      const bool sqlite = inc.header == "sqlite3.h";  // databases/ has it
      EXPECT_FALSE(qt || odbc || sqlite) << inc.file << " includes " << inc.header;
    }
  }
}

// The folders' include graph has no cycle: a folder never reaches itself
// through the folders it includes from.
TEST(Layers, FoldersFormNoCycle) {
  const fs::path root = RECORDHAUL_SOURCE_DIR;
  std::map<std::string, std::set<std::string>> edges;
  for (const auto& [folder, allowed] : Layers()) {
    for (const Include& inc : Includes(root, folder)) {
      const std::string to = FolderOf(inc.header);
      if (to != folder && Layers().contains(to)) edges[folder].insert(to);
    }
  }
  for (const auto& [start, unused] : Layers()) {
    std::set<std::string> seen;
    std::vector<std::string> todo(edges[start].begin(), edges[start].end());
    while (!todo.empty()) {
      std::string next = todo.back();
      todo.pop_back();
      ASSERT_NE(next, start) << start << " reaches itself";
      if (!seen.insert(next).second) continue;
      todo.insert(todo.end(), edges[next].begin(), edges[next].end());
    }
  }
}

}  // namespace
