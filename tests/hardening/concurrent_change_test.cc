// The accounting system may append to a data file, or cut it short, while an
// export reads it. Whatever it does, the export ends cleanly with the whole
// records it read, says so when there were fewer than the header announced,
// and never writes a torn or invented record.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "base/bytes.h"
#include "export/export_types.h"
#include "tests/hardening/hardening_util.h"

namespace rh::test {
namespace {

const int32_t kLength = sample::RecordLength(WideFields());

// Runs `change` once, right after the nth read of the company data file.
class ChangingEnv : public EnvWrapper {
 public:
  ChangingEnv(int nth, std::function<void()> change)
      : EnvWrapper(Env::Default()), nth_(nth), change_(std::move(change)) {}

  Result<std::unique_ptr<ReadableFile>> OpenReadable(const std::string& path) override {
    auto file = target()->OpenReadable(path);
    if (!file.ok() || path.find("QZGL0101") == std::string::npos) return file;
    return std::unique_ptr<ReadableFile>(new File(this, std::move(file).value()));
  }

 private:
  class File : public ReadableFile {
   public:
    File(ChangingEnv* env, std::unique_ptr<ReadableFile> f) : env_(env), f_(std::move(f)) {}
    Result<size_t> ReadAt(uint64_t offset, void* buf, size_t n) override {
      auto got = f_->ReadAt(offset, buf, n);
      if (++env_->reads_ == env_->nth_) env_->change_();
      return got;
    }
    Result<uint64_t> Size() override { return f_->Size(); }

   private:
    ChangingEnv* env_;
    std::unique_ptr<ReadableFile> f_;
  };

  int nth_;
  std::function<void()> change_;
  int reads_ = 0;
};

int ExportedOf(int records_read) { return records_read - records_read / 50; }

std::string Records(int from, int to) {
  std::string bytes;
  for (int i = from; i <= to; ++i) bytes += WideRecord(i);
  return bytes;
}

void Append(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

// The record count a dBase table's header holds.
uint32_t DbfRecordCount(const std::string& path) {
  std::string bytes = ReadFile(path);
  return bytes.size() >= 8 ? LoadLittleU32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4)
                           : 0;
}

class ConcurrentChange : public ::testing::TestWithParam<int> {
 protected:
  ConcurrentChange() : inst_(WideFields()) {
    UseBuildTreeDrivers();
    std::filesystem::create_directories(inst_.dir() / "out");
    // What an undisturbed export writes, line for line.
    test::WriteFile(inst_.DataPath(), WideDataFile(kBlockRecords, kBlockRecords));
    RunResult r = RunTo(inst_, kTabWithoutTitles, dest(kTabWithoutTitles), Env::Default(),
                        Answer::kNo);
    EXPECT_EQ(r.outcome.exported, ExportedOf(kBlockRecords));
    baseline_ = Lines(ReadFile(dest(kTabWithoutTitles)));
    std::filesystem::remove(dest(kTabWithoutTitles));
  }
  std::string dest(int type) const { return inst_.dir() / ("out/" + DestinationName(type)); }

  Installation inst_;
  std::vector<std::string> baseline_;  // the lines of records 1..1200, deleted ones left out
};

TEST_P(ConcurrentChange, DataFileChangesWhileRead) {
  const int type = GetParam();
  const std::string data = inst_.DataPath();
  const uint64_t header = static_cast<uint64_t>(kLength);
  struct Case {
    const char* name;
    int initial;  // records in the file when the export starts; the header says 1200
    int after_read;
    std::function<void()> change;
    int read;  // records the export gets to read
  } cases[] = {
      {"cut short inside a record", kBlockRecords, 2,
       [&] { std::filesystem::resize_file(data, header + 700 * header + 1000); }, 700},
      {"cut back to its header", kBlockRecords, 1,
       [&] { std::filesystem::resize_file(data, header); }, 0},
      {"emptied", kBlockRecords, 1, [&] { std::filesystem::resize_file(data, 0); }, 0},
      {"grows past its header count", kBlockRecords, 2,
       [&] { Append(data, Records(kBlockRecords + 1, kBlockRecords + 300)); }, kBlockRecords},
      {"grows to its header count", 600, 2,
       [&] { Append(data, Records(601, kBlockRecords)); }, kBlockRecords},
      {"replaced by another file", kBlockRecords, 2,
       [&] {
         test::WriteFile(data + ".new", WideDataFile(3, 3));
         std::filesystem::rename(data + ".new", data);
       },
       kBlockRecords},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteFile(data, WideDataFile(kBlockRecords, c.initial));
    std::filesystem::remove(dest(type));
    ChangingEnv env(c.after_read, c.change);
    RunResult r = RunTo(inst_, type, dest(type), &env, Answer::kNo);
    ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.message();
    EXPECT_EQ(r.outcome.exported, ExportedOf(c.read));
    if (c.read < kBlockRecords) {
      ASSERT_EQ(r.outcome.warnings.size(), 1u);
      EXPECT_EQ(r.outcome.warnings[0].message(),
                "The data file ended after " + std::to_string(c.read) +
                    " of the 1200 records its header announces.");
      EXPECT_EQ(r.messages.back().caption, "Warning");
    } else {
      EXPECT_TRUE(r.outcome.warnings.empty());
    }
    if (type == kTabWithoutTitles) {
      std::vector<std::string> expected(baseline_.begin(),
                                        baseline_.begin() + ExportedOf(c.read));
      if (expected.empty()) expected.push_back("");  // a run without records ends one line
      EXPECT_EQ(Lines(ReadFile(dest(type))), expected);
    }
    if (type == kDBase) {
      EXPECT_EQ(DbfRecordCount(dest(type)), uint32_t(ExportedOf(c.read)));
    }
    EXPECT_TRUE(std::filesystem::exists(dest(type)));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryType, ConcurrentChange, ::testing::Range(0, 12),
                         [](const auto& info) { return "Type" + std::to_string(info.param); });

// The same with a real second writer: whenever it strikes, the lines written
// are the undisturbed export's first lines, in order.
TEST_F(ConcurrentChange, AnotherThreadShrinksOrGrowsTheFile) {
  const std::string data = inst_.DataPath();
  for (bool shrink : {true, false}) {
    SCOPED_TRACE(shrink ? "shrinking" : "growing");
    test::WriteFile(data, WideDataFile(kBlockRecords, kBlockRecords));
    std::atomic<bool> done{false};
    std::thread other([&] {
      for (int step = 1; !done && step < 12; ++step) {
        if (shrink) {
          std::filesystem::resize_file(
              data, static_cast<uint64_t>(kLength) * (kBlockRecords + 1 - step * 100) + 7);
        } else {
          Append(data, Records(1, 20));
        }
        ::usleep(500);
      }
    });
    RunResult r = RunTo(inst_, kTabWithoutTitles, dest(kTabWithoutTitles), Env::Default(),
                        Answer::kNo);
    done = true;
    other.join();
    ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted);
    auto lines = Lines(ReadFile(dest(kTabWithoutTitles)));
    ASSERT_LE(lines.size(), baseline_.size());
    if (r.outcome.exported == 0) continue;
    EXPECT_EQ(lines.size(), size_t(r.outcome.exported));
    EXPECT_TRUE(std::equal(lines.begin(), lines.end(), baseline_.begin()));
    EXPECT_EQ(!r.outcome.warnings.empty(), r.outcome.exported < ExportedOf(kBlockRecords));
    if (!shrink) {
      EXPECT_EQ(r.outcome.exported, ExportedOf(kBlockRecords));
    }
  }
}

}  // namespace
}  // namespace rh::test
