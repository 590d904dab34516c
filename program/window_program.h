// The window lives in a program of its own, recordhaul-window, so that the
// command line starts without loading the window toolkit's libraries (a
// good part of a short export's time). `recordhaul` hands it what needs the
// window and does everything else itself.
#ifndef RECORDHAUL_PROGRAM_WINDOW_PROGRAM_H_
#define RECORDHAUL_PROGRAM_WINDOW_PROGRAM_H_

#include <string>
#include <vector>

namespace rh {

// Whether `args` need the window program: none (open the window),
// --has-window, or the screenshot verb.
bool NeedsWindowProgram(const std::vector<std::string>& args);

// The window program beside this one (the build tree), or where it is
// installed relative to this one (`installed_relative`, from the folder of
// this program); empty when neither exists.
std::string FindWindowProgram(const std::string& installed_relative);

// Runs `program` in place of this process with the same arguments; returns
// only when it could not, with the system's reason.
std::string ExecWindowProgram(const std::string& program, char** argv);

}  // namespace rh

#endif  // RECORDHAUL_PROGRAM_WINDOW_PROGRAM_H_
