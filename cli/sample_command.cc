// recordhaul sample DIR [--records N]
#include <cstdlib>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/sample_templates.h"
#include "sample/sample_data.h"

namespace rh::cli {

namespace {

class SampleCommand : public Command {
 public:
  std::string_view name() const override { return "sample"; }
  std::string_view summary() const override { return "write a sample Tallyvane installation"; }
  std::string_view usage() const override {
    return "usage: recordhaul sample DIR [--records N]\n"
           "\n"
           "Writes a sample accounting installation to try the tool on:\n"
           "  DIR/data   company registers and data files (General Ledger, Accounts\n"
           "             Payable, Accounts Receivable, Payroll; three companies)\n"
           "  DIR/sys    the data dictionary and the path table\n"
           "  DIR/progs  the program files directory\n"
           "  DIR/templates  one export template per export type, exporting to\n"
           "             DIR/exports\n"
           "\n"
           "  --records N   records per data file (default 500), a few of them deleted\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, {{"records", true}}, &code);
    if (!args) return code;
    if (args->positionals().size() != 1) return PrintUsageError(ctx, *this, "give one folder");
    sample::SampleOptions options;
    if (auto r = args->Value("records")) {
      char* end = nullptr;
      long n = std::strtol(r->c_str(), &end, 10);
      if (r->empty() || *end != '\0' || n < 0 || n > 100000000)
        return PrintUsageError(ctx, *this, "--records needs a number from 0 to 100000000");
      options.records = static_cast<int>(n);
    }
    const std::string& dir = args->positionals()[0];
    Status s = sample::WriteSampleInstallation(ctx.env, dir, options);
    if (s.ok()) s = WriteSampleTemplates(ctx.env, dir);
    if (!s.ok()) return PrintError(ctx, s);
    PrintLine(ctx, "Sample installation written to " + dir + ":");
    PrintLine(ctx, "  --data " + dir + "/data --system " + dir + "/sys --programs " + dir + "/progs");
    PrintLine(ctx, "Templates in " + dir + "/templates; try:");
    PrintLine(ctx, "  recordhaul run " + dir + "/templates/02-ar-customers.xdf --data " + dir +
                       "/data --system " + dir + "/sys --programs " + dir + "/progs");
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakeSampleCommand() { return std::make_unique<SampleCommand>(); }

}  // namespace rh::cli
