#include "cli/args.h"

namespace rh::cli {

namespace {
Status Usage(std::string message) { return Status::Of(MessageId::kUsage, {message}); }
}  // namespace

Result<Args> Args::Parse(const std::vector<std::string>& argv,
                         const std::vector<OptionSpec>& options) {
  Args args;
  bool options_done = false;
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (options_done || arg.size() < 2 || arg[0] != '-' || arg == "-") {
      args.positionals_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      args.options_.emplace_back("help", "");
      continue;
    }
    if (arg.rfind("--", 0) != 0) return Usage("unknown option " + arg);
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& o : options)
      if (o.name == name) spec = &o;
    if (spec == nullptr) return Usage("unknown option --" + name);
    if (spec->takes_value && !value) {
      if (i + 1 >= argv.size()) return Usage("option --" + name + " needs a value");
      value = argv[++i];
    }
    if (!spec->takes_value && value) return Usage("option --" + name + " takes no value");
    args.options_.emplace_back(name, value.value_or(""));
  }
  return args;
}

bool Args::Has(std::string_view name) const {
  for (const auto& [n, v] : options_)
    if (n == name) return true;
  return false;
}

std::optional<std::string> Args::Value(std::string_view name) const {
  std::optional<std::string> last;
  for (const auto& [n, v] : options_)
    if (n == name) last = v;
  return last;
}

std::vector<std::string> Args::Values(std::string_view name) const {
  std::vector<std::string> values;
  for (const auto& [n, v] : options_)
    if (n == name) values.push_back(v);
  return values;
}

}  // namespace rh::cli
