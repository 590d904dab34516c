// A small command-line parser: "--name value", "--name=value", flags,
// repeated options and positional arguments; "--" ends the options.
#ifndef RECORDHAUL_CLI_ARGS_H_
#define RECORDHAUL_CLI_ARGS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace rh::cli {

struct OptionSpec {
  std::string_view name;  // without the dashes
  bool takes_value;
};

class Args {
 public:
  // Unknown options, a missing value and a value given to a flag are usage
  // errors. "--help" and "-h" are always known.
  static Result<Args> Parse(const std::vector<std::string>& argv,
                            const std::vector<OptionSpec>& options);

  bool Has(std::string_view name) const;
  // The last value given for the option.
  std::optional<std::string> Value(std::string_view name) const;
  std::vector<std::string> Values(std::string_view name) const;
  const std::vector<std::string>& positionals() const { return positionals_; }
  // Every option given, in command-line order, as (name, value).
  const std::vector<std::pair<std::string, std::string>>& options() const { return options_; }
  bool help() const { return Has("help"); }

 private:
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<std::string> positionals_;
};

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_ARGS_H_
