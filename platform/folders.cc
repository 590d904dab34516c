#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "base/paths.h"
#include "platform/platform.h"

namespace rh {

namespace {

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: "$HOME/Documents".
std::string DocumentsFromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string path = (config != nullptr && *config != '\0') ? std::string(config)
                                                             : home + "/.config";
  std::ifstream in(path + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    return value;
  }
  return {};
}

}  // namespace

std::string DefaultDocumentsFolder() {
  std::string home = HomeFolder();
  if (const char* env = std::getenv("XDG_DOCUMENTS_DIR"); env != nullptr && *env != '\0')
    return env;
  std::string docs = DocumentsFromUserDirs(home);
  if (!docs.empty() && ::access(docs.c_str(), F_OK) == 0) return docs;
  std::string fallback = home + "/Documents";
  if (::access(fallback.c_str(), F_OK) == 0) return fallback;
  return home;
}

}  // namespace rh
