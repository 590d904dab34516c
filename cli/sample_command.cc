// recordhaul sample DIR [--records N]
#include <CLI/CLI.hpp>

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
  std::string_view synopsis() const override {
    return "usage: recordhaul sample DIR [--records N]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "Writes a sample accounting installation to try the tool on:\n"
        "  DIR/data   company registers and data files (General Ledger, Accounts\n"
        "             Payable, Accounts Receivable, Payroll; three companies)\n"
        "  DIR/sys    the data dictionary and the path table\n"
        "  DIR/progs  the program files directory\n"
        "  DIR/templates  one export template per export type, exporting to\n"
        "             DIR/exports");
    app.add_option("DIR", dir_, "the folder to write")->required();
    app.add_option("--records", records_,
                   "records per data file (default 500), a few of them deleted")
        ->type_name("N")
        // Without a description the range stays out of the help's "N".
        ->check(CLI::Range(0, 100000000).description(""));
  }

  int Run(Context& ctx) override {
    sample::SampleOptions options;
    options.records = records_;
    const std::string& dir = dir_;
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

 private:
  std::string dir_;
  int records_ = sample::SampleOptions().records;
};

}  // namespace

std::unique_ptr<Command> MakeSampleCommand() { return std::make_unique<SampleCommand>(); }

}  // namespace rh::cli
