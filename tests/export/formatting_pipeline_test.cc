// Text exports formatted on several threads write exactly the bytes of the
// export that formats every record in turn: random data files, every text
// type, several block sizes and thread counts, and failures part way.
#include "export/formatting_pipeline.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/export/export_test_util.h"
#include "tests/fault_env.h"

namespace rh::test {
namespace {

const std::vector<std::string> kRows = {
    "Current Record", "Name",           "Count", "Total",  "Rate", "Balance",
    "Flag",           "Posted",         "Odd",   "Module Code", "Today's Date",
    "Company Number", "Name=Name again"};

// Random records, a few deleted, with texts that hold the bytes the layouts
// treat specially (quotes, tabs, CR, LF, NUL, bytes above 127).
std::vector<std::string> RandomRecords(Installation& inst, int count, uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  const std::string specials = "\"\t\r\n\0 ,;'\xe9\x80\xff";
  std::vector<std::string> records;
  for (int i = 0; i < count; ++i) {
    auto b = inst.Builder();
    if (pick(17) == 0) {
      records.push_back(b.Deleted());
      continue;
    }
    std::string name;
    for (int c = pick(11); c > 0; --c)
      name += pick(4) == 0 ? specials[static_cast<size_t>(pick(static_cast<int>(specials.size())))]
                           : static_cast<char>('a' + pick(26));
    b.Text("Name", name)
        .Int16("Count", static_cast<int16_t>(rng()))
        .Int32("Total", static_cast<int32_t>(rng()))
        .Fixed("Rate", static_cast<int32_t>(rng()))
        .Real("Balance", std::ldexp(static_cast<double>(static_cast<int32_t>(rng())), pick(80) - 40))
        .Byte("Flag", static_cast<uint8_t>(rng()))
        .Int32("Posted", pick(80000) - 2000);
    records.push_back(b.Take());
  }
  return records;
}

struct Exported {
  ExportResult result;
  std::string error;  // "Caption: message" when the run failed
};

Exported Export(Installation& inst, int type, int threads, size_t block, Env* env = Env::Default(),
                TextEncoding encoding = TextEncoding::kWindows1252) {
  ExportHarness h(inst);
  h.options.encoding = encoding;
  h.options.threads = threads;
  h.options.records_per_block = block;
  const std::string dest = inst.dir() / "out.txt";
  std::filesystem::remove(dest);
  Exported r{h.Run(type, kRows, dest, env), {}};
  if (r.result.outcome.kind == ExportOutcome::Kind::kFailed)
    r.error = r.result.outcome.error.ToString();
  return r;
}

TEST(FormattingPipeline, SameBytesAtAnyThreadCountAndBlockSize) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    Installation inst;
    const int count = 200 + static_cast<int>(seed) * 137;
    inst.SetRecords(count, RandomRecords(inst, count, seed));
    for (int type = kCommaWithTitles; type <= kFixedWithoutTitles; ++type) {
      for (TextEncoding encoding : {TextEncoding::kWindows1252, TextEncoding::kUtf8}) {
        const Exported in_turn = Export(inst, type, 1, 0, Env::Default(), encoding);
        ASSERT_EQ(in_turn.result.outcome.kind, ExportOutcome::Kind::kCompleted) << in_turn.error;
        for (int threads : {2, 3, 8}) {
          for (size_t block : {size_t{1}, size_t{7}, size_t{64}, size_t{0}}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", type " + std::to_string(type) + ", " +
                         std::string(TextEncodingName(encoding)) + ", " + std::to_string(threads) +
                         " threads, blocks of " + std::to_string(block));
            const Exported threaded = Export(inst, type, threads, block, Env::Default(), encoding);
            EXPECT_EQ(threaded.result.outcome.exported, in_turn.result.outcome.exported);
            EXPECT_TRUE(threaded.result.written == in_turn.result.written);
          }
        }
      }
    }
  }
}

// Deleted records in runs as long as whole blocks, at the start, the end
// and in between: a block with nothing to export is skipped, and the record
// numbers and the first line of the file come out as in turn.
TEST(FormattingPipeline, BlocksWithNothingToExport) {
  const struct Case {
    const char* name;
    std::string kept;  // one character a record: 'x' kept, '-' deleted
  } cases[] = {
      {"first blocks deleted", std::string(9, '-') + "xxxxx"},
      {"last blocks deleted", "xx" + std::string(10, '-')},
      {"every other block", "xxx---xxx---xxx---x"},
      {"one record kept", std::string(7, '-') + "x" + std::string(7, '-')},
      {"nothing kept", std::string(12, '-')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Installation inst;
    std::vector<std::string> records;
    for (char k : c.kept)
      records.push_back(k == 'x' ? inst.Builder().Text("Name", "n").Take() : inst.Builder().Deleted());
    inst.SetRecords(static_cast<int32_t>(records.size()), records);
    for (int type : {kCommaWithTitles, kCsvWithoutTitles, kFixedWithoutTitles}) {
      const Exported in_turn = Export(inst, type, 1, 0);
      for (size_t block : {size_t{1}, size_t{3}, size_t{4}}) {
        const Exported threaded = Export(inst, type, 2, block);
        EXPECT_EQ(threaded.result.outcome.exported, in_turn.result.outcome.exported);
        EXPECT_TRUE(threaded.result.written == in_turn.result.written)
            << "type " << type << ", blocks of " << block;
      }
    }
  }
}

// A data file shorter than its header says: the records present, the
// same warning.
TEST(FormattingPipeline, ADataFileThatEndsEarly) {
  Installation inst;
  inst.SetRecords(5000, RandomRecords(inst, 300, 7));
  const Exported in_turn = Export(inst, kCsvWithoutTitles, 1, 0);
  const Exported threaded = Export(inst, kCsvWithoutTitles, 3, 16);
  ASSERT_EQ(threaded.result.outcome.kind, ExportOutcome::Kind::kCompleted);
  EXPECT_TRUE(threaded.result.written == in_turn.result.written);
  ASSERT_EQ(threaded.result.outcome.warnings.size(), 1u);
  EXPECT_EQ(threaded.result.outcome.warnings[0].message(),
            in_turn.result.outcome.warnings[0].message());
}

// A write that fails part way fails the run as it does when every record
// is formatted in turn, whichever block it strikes, and leaves nothing.
TEST(FormattingPipeline, AWriteFailingPartWay) {
  Installation inst;
  inst.SetRecords(2000, RandomRecords(inst, 2000, 11));
  for (int nth : {1, 2, 5, 40}) {
    SCOPED_TRACE("write " + std::to_string(nth) + " fails");
    FaultEnv env;
    env.FailAt(Op::kWrite, nth, ".tmp", EIO);
    const Exported threaded = Export(inst, kFixedWithTitles, 3, 50, &env);
    EXPECT_TRUE(env.Struck(Op::kWrite));
    EXPECT_EQ(threaded.error, "Error #8: File could not be written\n" +
                                  (inst.dir() / "out.txt") + ": Input/output error");
    EXPECT_FALSE(std::filesystem::exists(inst.dir() / "out.txt"));
  }
}

}  // namespace
}  // namespace rh::test
