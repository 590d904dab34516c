#include "program/window_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace rh {

bool NeedsWindowProgram(const std::vector<std::string>& args) {
  if (args.empty()) return true;
  return args[0] == "--has-window" || args[0] == "screenshot";
}

std::string FindWindowProgram(const std::string& installed_relative) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  const fs::path folder = self.parent_path();
  for (const fs::path& candidate :
       {folder / "recordhaul-window", folder / installed_relative / "recordhaul-window"}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal().string();
  }
  return "";
}

std::string ExecWindowProgram(const std::string& program, char** argv) {
  ::execv(program.c_str(), argv);
  return std::strerror(errno);
}

}  // namespace rh
