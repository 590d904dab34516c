// The command line as both programs run it: the user's settings (the
// window's, when Qt Core is there), the console, and the verbs.
#ifndef RECORDHAUL_PROGRAM_COMMAND_LINE_PROGRAM_H_
#define RECORDHAUL_PROGRAM_COMMAND_LINE_PROGRAM_H_

#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"

namespace rh {

// Runs `args` (the words after the program's name) with the extra verbs
// the program adds; returns the exit code.
int RunCommandLineProgram(const std::vector<std::string>& args,
                          std::vector<std::unique_ptr<cli::Command>> extra);

}  // namespace rh

#endif  // RECORDHAUL_PROGRAM_COMMAND_LINE_PROGRAM_H_
