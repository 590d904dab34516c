// Runs the command line in-process and captures what it prints.
#ifndef RECORDHAUL_TESTS_CLI_CLI_TEST_UTIL_H_
#define RECORDHAUL_TESTS_CLI_CLI_TEST_UTIL_H_

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/console_platform.h"

namespace rh::test {

struct CliResult {
  int code;
  std::string out;
  std::string err;
};

inline CliResult RunCli(const std::vector<std::string>& args, SettingsStore* settings = nullptr,
                        Env* env = Env::Default()) {
  char* out_buf = nullptr;
  char* err_buf = nullptr;
  size_t out_len = 0, err_len = 0;
  std::FILE* out = open_memstream(&out_buf, &out_len);
  std::FILE* err = open_memstream(&err_buf, &err_len);
  MemorySettings memory;
  cli::Context ctx;
  ctx.out = out;
  ctx.err = err;
  ctx.settings = settings != nullptr ? settings : &memory;
  ctx.env = env;
  int code = cli::RunCommandLine(args, ctx);
  std::fclose(out);
  std::fclose(err);
  CliResult r{code, std::string(out_buf, out_len), std::string(err_buf, err_len)};
  std::free(out_buf);
  std::free(err_buf);
  return r;
}

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_CLI_CLI_TEST_UTIL_H_
