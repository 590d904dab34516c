// Every export type with the file layer failing at each step of the run:
// opening, reading and positioning in the accounting files, and opening,
// writing, closing and renaming the destination. Whatever fails, the run
// reports an error and never "Export Complete", an existing destination
// stays byte for byte as it was, no temporary file is left behind, and the
// accounting files do not change.
//
// Text destinations and the accounting files fail through the run's Env
// (FaultEnv); the ODBC drivers, which the driver manager loads, and the
// Access engine behind the default opener fail below it (sys_faults.h). A
// refused INSERT is injected above the real connection, and an interrupt
// by a signal raised while the data file is read.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "connections/connection_opener.h"
#include "export/export_types.h"
#include "tests/cli/cli_test_util.h"
#include "tests/fault_env.h"
#include "tests/hardening/hardening_util.h"
#include "tests/hardening/sys_faults.h"

namespace rh::test {
namespace {

struct EnvFault {
  Op op;
  int nth;
  std::string part;
  int err;
};

struct SysFault {
  SysCall call;
  int nth;
  const char* part;
  int err;
};

struct Fault {
  std::string name;
  std::optional<EnvFault> env;
  std::optional<SysFault> sys;
  const char* caption;           // of the error
  Answer answer = Answer::kYes;  // to the existing-destination question
  int refused_insert = 0;        // the driver or engine refuses this INSERT
};

Fault OnEnv(std::string name, Op op, int nth, std::string part, int err, const char* caption,
            Answer answer = Answer::kYes) {
  return {std::move(name), EnvFault{op, nth, std::move(part), err}, {}, caption, answer};
}

// Below the Env, on the temporary file the drivers and the engine write.
Fault BelowEnv(std::string name, SysCall call, int nth, int err, const char* caption) {
  return {std::move(name), {}, SysFault{call, nth, ".tmp", err}, caption};
}

std::vector<Fault> AccountingFaults() {
  const std::string data = "QZGL0101", reg = "FR.dat";
  return {
      OnEnv("data file cannot be opened (missing)", Op::kOpenRead, 1, data, ENOENT, "Error #6"),
      OnEnv("data file cannot be opened (denied)", Op::kOpenRead, 1, data, EACCES, "Error #6"),
      OnEnv("data file cannot be opened (too many files)", Op::kOpenRead, 1, data, EMFILE,
            "Error #6"),
      OnEnv("register cannot be opened", Op::kOpenRead, 1, reg, EACCES, "Error #6"),
      OnEnv("register cannot be read", Op::kRead, 1, reg, EIO, "Error #6"),
      OnEnv("header cannot be read", Op::kRead, 1, data, EIO, "Error"),
      OnEnv("first block cannot be read", Op::kRead, 2, data, EIO, "Error"),
      OnEnv("second block cannot be read", Op::kRead, 3, data, EIO, "Error"),
      OnEnv("positioning at the last block fails", Op::kRead, 4, data, ESPIPE, "Error"),
  };
}

std::vector<Fault> TextDestinationFaults(const std::string& name) {
  const Answer overwrite = Answer::kNo;
  return {
      OnEnv("new file cannot be created", Op::kOpenWrite, 1, ".tmp", EACCES, "Error #8", overwrite),
      OnEnv("folder is full", Op::kOpenWrite, 1, ".tmp", ENOSPC, "Error #8", overwrite),
      OnEnv("first write fails", Op::kWrite, 1, ".tmp", ENOSPC, "Error #8", overwrite),
      OnEnv("a later write fails", Op::kWrite, 6, ".tmp", EIO, "Error #8", overwrite),
      OnEnv("close fails", Op::kClose, 1, ".tmp", EIO, "Error #8", overwrite),
      OnEnv("rename over the destination fails", Op::kRename, 1, name, EXDEV, "Error #8",
            overwrite),
      OnEnv("appending: cannot be opened", Op::kOpenWrite, 1, name, EACCES, "Error #8"),
      OnEnv("appending: first write fails", Op::kWrite, 1, name, ENOSPC, "Error #8"),
      OnEnv("appending: a later write fails", Op::kWrite, 6, name, EIO, "Error #8"),
      OnEnv("appending: close fails", Op::kClose, 1, name, EIO, "Error #8"),
  };
}

// The workbook's library writes a scratch file outside the Env; the
// workbook reaches its destination through the Env, in one write for a
// file this small.
std::vector<Fault> WorkbookDestinationFaults(const std::string& name) {
  return {
      OnEnv("new file cannot be created", Op::kOpenWrite, 1, ".tmp", EACCES, "Error #8"),
      OnEnv("folder is full", Op::kOpenWrite, 1, ".tmp", ENOSPC, "Error #8"),
      OnEnv("write fails", Op::kWrite, 1, ".tmp", ENOSPC, "Error #8"),
      OnEnv("close fails", Op::kClose, 1, ".tmp", EIO, "Error #8"),
      OnEnv("rename over the destination fails", Op::kRename, 1, name, EXDEV, "Error #8"),
  };
}

// Which step a write or close reaches depends on how much each writer
// buffers: the dBase driver and the Access engine write while rows are
// inserted (Error #10), the Excel driver only when it closes (Error #8).
std::vector<Fault> TableDestinationFaults(int type) {
  const char* first_write = type == kExcel ? "Error #8" : "Error #10";
  std::vector<Fault> faults = {
      BelowEnv("new file cannot be created", SysCall::kOpen, 1, EACCES, "Error #11"),
      BelowEnv("too many open files", SysCall::kOpen, 1, EMFILE, "Error #11"),
      BelowEnv("first write fails (disk full)", SysCall::kWrite, 1, ENOSPC, first_write),
      BelowEnv("last write fails", SysCall::kWrite, 2, EIO, "Error #8"),
      BelowEnv("close fails", SysCall::kClose, 1, EIO, "Error #8"),
      BelowEnv("rename over the destination fails", SysCall::kRename, 1, EXDEV, "Error #8"),
  };
  if (type != kExcel) {  // these two reopen the file to store their counts
    faults.push_back(BelowEnv("reopening to finish fails", SysCall::kOpen, 2, EIO, "Error #8"));
  }
  // As the Excel driver refuses the row after its last (65,536), or the
  // engine a value: the rows before it count as committed.
  Fault refused{"an INSERT is refused part way", {}, {}, "Error #10"};
  refused.refused_insert = 600;
  faults.push_back(refused);
  return faults;
}

// The real connection, with the nth INSERT refused before it reaches it.
ConnectionOpener RefusingInsert(int nth, bool* struck) {
  struct Refusing : TableConnection {
    Status Execute(std::string_view statement) override {
      if (!statement.starts_with("INSERT") || --left != 0) return real->Execute(statement);
      *struck = true;
      return Status::Sql("HY000", "row limit reached");
    }
    Status Close() override { return real->Close(); }
    void Discard() override { real->Discard(); }
    std::unique_ptr<TableConnection> real;
    int left;
    bool* struck;
  };
  return [nth, struck](const TableOpenRequest& r) -> Result<std::unique_ptr<TableConnection>> {
    auto real = RealConnectionOpener()(r);
    if (!real.ok()) return real.status();
    auto refusing = std::make_unique<Refusing>();
    refusing->real = std::move(real).value();
    refusing->left = nth;
    refusing->struck = struck;
    return std::unique_ptr<TableConnection>(std::move(refusing));
  };
}

class ExportFaults : public ::testing::TestWithParam<int> {
 protected:
  ExportFaults() : inst_(WideFields()) {
    UseBuildTreeDrivers();
    test::WriteFile(inst_.DataPath(), WideDataFile(kBlockRecords, kBlockRecords));
    std::filesystem::create_directories(out_dir());
  }
  std::string out_dir() const { return inst_.dir() / "out"; }
  std::string dest() const { return out_dir() + "/" + DestinationName(GetParam()); }
  std::string accounting() const { return inst_.dir().path(); }

  // Runs the export with the fault, with and without an existing
  // destination, and checks that nothing was lost. A refused INSERT keeps
  // the rows before it, but only in a new file. The text types run twice:
  // formatting every record in turn, written 100 records at a time, and on
  // three threads in blocks of one record, written one by one.
  void Check(const Fault& f) {
    ExportOptions in_turn;
    in_turn.threads = 1;
    in_turn.records_per_block = 100;
    ExportOptions threaded;
    threaded.threads = 3;
    threaded.records_per_block = 1;
    const bool text = FindExportType(GetParam())->family == ExportFamily::kText;
    for (const ExportOptions& options : {in_turn, threaded}) {
      if (options.threads > 1 && !text) continue;
      SCOPED_TRACE(options.threads > 1 ? "three threads" : "one thread");
      Check(f, options);
    }
  }

  void Check(const Fault& f, const ExportOptions& options) {
    for (bool existing : {true, false}) {
      SCOPED_TRACE(f.name + (existing ? ", existing destination" : ", new destination"));
      std::filesystem::remove_all(out_dir());
      std::filesystem::create_directories(out_dir());
      const std::string old = "precious\r\nbytes of an earlier export\r\n";
      if (existing) test::WriteFile(dest(), old);
      const auto before = TreeChecksums(accounting() + "/data");
      const auto system_before = TreeChecksums(accounting() + "/sys");

      FaultEnv env;
      if (f.env) env.FailAt(f.env->op, f.env->nth, f.env->part, f.env->err);
      RunResult r;
      bool struck = false;
      {
        std::optional<ScopedSysFault> sys;
        if (f.sys) sys.emplace(f.sys->call, f.sys->nth, f.sys->part, f.sys->err);
        r = RunTo(inst_, GetParam(), dest(), &env, f.answer,
                  f.refused_insert ? RefusingInsert(f.refused_insert, &struck) : nullptr,
                  options);
        if (f.env) struck = env.Struck(f.env->op);
        if (f.sys) struck = SysFaultStruck();
      }
      ASSERT_TRUE(struck) << "the fault never happened";
      ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
      EXPECT_EQ(r.outcome.error.caption(), f.caption) << r.outcome.error.message();
      ASSERT_FALSE(r.messages.empty());
      EXPECT_EQ(r.messages.back().caption, f.caption);
      for (const ShownMessage& m : r.messages) EXPECT_NE(m.caption, "Export Complete");
      EXPECT_FALSE(r.progress_open);
      EXPECT_EQ(r.wait_depth, 0);

      if (existing) {
        EXPECT_TRUE(ReadFile(dest()) == old) << "the existing destination changed";
        EXPECT_EQ(FolderEntries(out_dir()), std::vector<std::string>{DestinationName(GetParam())});
      } else if (f.refused_insert) {
        EXPECT_EQ(FolderEntries(out_dir()), std::vector<std::string>{DestinationName(GetParam())});
        const int rows = TableRows(GetParam(), dest());
        if (rows >= 0) {
          EXPECT_EQ(rows, f.refused_insert - 1);
        }
      } else {
        EXPECT_EQ(FolderEntries(out_dir()), std::vector<std::string>{}) << "a file was left";
      }
      EXPECT_EQ(TreeChecksums(accounting() + "/data"), before);
      EXPECT_EQ(TreeChecksums(accounting() + "/sys"), system_before);
    }
  }

  Installation inst_;
};

TEST_P(ExportFaults, AccountingFilesFail) {
  for (const Fault& f : AccountingFaults()) Check(f);
}

TEST_P(ExportFaults, DestinationFails) {
  const int type = GetParam();
  auto faults = type == kExcelWorkbook ? WorkbookDestinationFaults(DestinationName(type))
                : FindExportType(type)->family == ExportFamily::kText
                    ? TextDestinationFaults(DestinationName(type))
                    : TableDestinationFaults(type);
  for (const Fault& f : faults) Check(f);
}

// The real file system refusing: a missing folder, a folder, a pipe or a
// symbolic-link loop where the destination should be, a read-only folder,
// and a disk that fills up (a file size limit, which holds for root too).
TEST_P(ExportFaults, RealFileSystemRefuses) {
  namespace fs = std::filesystem;
  const int type = GetParam();
  const std::string name = DestinationName(type);
  struct Case {
    std::string name;
    std::function<std::string()> make;  // returns the destination
  };
  std::vector<Case> cases = {
      {"folder missing", [&] { return out_dir() + "/missing/" + name; }},
      {"a folder", [&] {
         fs::create_directories(out_dir() + "/" + name);
         test::WriteFile(out_dir() + "/" + name + "/inside", "kept");
         return out_dir() + "/" + name;
       }},
      {"a symbolic-link loop on the way", [&] {
         fs::create_symlink("loop", out_dir() + "/loop");
         return out_dir() + "/loop/" + name;
       }},
  };
  // A pipe with no reader would hold a text export until one comes: text
  // exports write to pipes and devices in place, by design.
  if (!(FindExportType(type)->family == ExportFamily::kText)) {
    cases.push_back({"a pipe", [&] {
                       const std::string fifo = out_dir() + "/" + name;
                       EXPECT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
                       return fifo;
                     }});
  }
  if (::geteuid() != 0) {  // root writes into read-only folders anyway
    cases.push_back({"a read-only folder", [&] {
                       fs::create_directories(out_dir() + "/ro");
                       fs::permissions(out_dir() + "/ro", fs::perms::owner_read |
                                                             fs::perms::owner_exec);
                       return out_dir() + "/ro/" + name;
                     }});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out_dir());
    fs::create_directories(out_dir());
    const std::string dest = c.make();
    const auto before = TreeChecksums(out_dir());
    const auto data_before = TreeChecksums(accounting() + "/data");
    RunResult r = RunTo(inst_, type, dest, Env::Default(), Answer::kYes);
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
    EXPECT_TRUE(r.outcome.error.caption().starts_with("Error #"));
    for (const ShownMessage& m : r.messages) EXPECT_NE(m.caption, "Export Complete");
    EXPECT_EQ(TreeChecksums(out_dir()), before);
    EXPECT_EQ(TreeChecksums(accounting() + "/data"), data_before);
    fs::permissions(out_dir(), fs::perms::owner_all, fs::perm_options::add);
    if (fs::exists(out_dir() + "/ro"))
      fs::permissions(out_dir() + "/ro", fs::perms::owner_all, fs::perm_options::add);
  }
}

TEST_P(ExportFaults, DiskFillsUp) {
  const int type = GetParam();
  std::filesystem::remove_all(out_dir());
  std::filesystem::create_directories(out_dir());
  const std::string old = "precious\r\n";
  test::WriteFile(dest(), old);
  const auto data_before = TreeChecksums(accounting() + "/data");
  // Writes past 16 KB fail with EFBIG, as on a full disk.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
  rlimit limit{}, saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  limit = saved;
  limit.rlim_cur = 16 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  RunResult r = RunTo(inst_, type, dest(), Env::Default(), (FindExportType(type)->family == ExportFamily::kText) ? Answer::kNo
                                                                              : Answer::kYes);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &previous, nullptr);
  ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
  EXPECT_TRUE(r.outcome.error.caption().starts_with("Error #")) << r.outcome.error.caption();
  EXPECT_TRUE(ReadFile(dest()) == old);
  EXPECT_EQ(FolderEntries(out_dir()), std::vector<std::string>{DestinationName(type)});
  EXPECT_EQ(TreeChecksums(accounting() + "/data"), data_before);
}

// A full device takes a text export in place and refuses its writes.
TEST(TextExportFaults, FullDevice) {
  Installation inst(WideFields());
  test::WriteFile(inst.DataPath(), WideDataFile(kBlockRecords, kBlockRecords));
  for (int type = 0; type < kExcel; ++type) {
    RunResult r = RunTo(inst, type, "/dev/full", Env::Default(), Answer::kNo);
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed) << type;
    EXPECT_EQ(r.outcome.error.message(), "File could not be written") << type;
  }
}

// An interrupted command-line export ends by its signal, having removed its
// temporary files (the drivers' too) and left the destination as it was.
TEST(InterruptedExport, EndsByTheSignalWithNothingChanged) {
  UseBuildTreeDrivers();
  Installation inst(WideFields());
  test::WriteFile(inst.DataPath(), WideDataFile(kBlockRecords, kBlockRecords));
  const std::string out = inst.dir() / "out";
  const struct {
    int type;
    const char* existing;  // what to do with it
    int signal;
  } cases[] = {{kCsvWithoutTitles, "--overwrite", SIGINT}, {kCsvWithoutTitles, "--append", SIGTERM},
               {kExcel, "--overwrite", SIGHUP},          {kDBase, "--overwrite", SIGTERM},
               {kAccess, "--overwrite", SIGINT},
               {kExcelWorkbook, "--overwrite", SIGTERM}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + c.existing);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    const std::string dest = out + "/" + DestinationName(c.type);
    test::WriteFile(dest, "precious\r\n");
    const auto before = TreeChecksums(out);
    // The filler makes the text writer write before the signal comes.
    const std::vector<std::string> args = {
        "export", "--module", "QZGL", "--company", "01", "--file", "1", "--type",
        std::to_string(c.type), "--field", "Name", "--field",
        FindExportType(c.type)->family == ExportFamily::kText ? "Filler" : "Total", "--dest", dest, c.existing, "--data",
        inst.data(), "--system", inst.system(), "--programs", inst.programs()};
    EXPECT_EXIT(
        {
          std::signal(c.signal, SIG_DFL);  // whatever the test runner set
          FaultEnv env;                    // in the second block of records:
          env.RaiseAt(Op::kRead, 3, "QZGL0101", c.signal);
          RunCli(args, nullptr, &env);
          std::exit(0);
        },
        ::testing::KilledBySignal(c.signal), "");
    EXPECT_EQ(TreeChecksums(out), before);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryType, ExportFaults, ::testing::Range(0, 12),
                         [](const auto& info) { return "Type" + std::to_string(info.param); });

}  // namespace
}  // namespace rh::test
