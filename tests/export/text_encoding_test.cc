// The text types in UTF-8: the same lines as in Windows-1252, each byte
// through the code page's table; fixed-width columns in characters; the
// byte-order mark; standard output.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp1252.h"
#include "tests/export/export_test_util.h"

namespace rh {
namespace {

using test::ExportHarness;
using test::Installation;

// Characters (UTF-8 sequences) of each CR LF line.
std::vector<size_t> CharactersPerLine(const std::string& text) {
  std::vector<size_t> counts;
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      counts.push_back(count);
      count = 0;
      ++i;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++count;
    }
  }
  return counts;
}

// Bytes above 0x7F in every place a line is made of: texts, a title, the
// five bytes the code page leaves undefined.
class TextEncodingTest : public ::testing::Test {
 protected:
  TextEncodingTest() {
    std::vector<std::string> records;
    for (const char* name : {"M\xfcller", "\x80uro \x93q\x94", "\x81\x8d\x8f\x90\x9d!", "plain"}) {
      records.push_back(inst_.Builder().Text("Name", name).Int32("Total", 7).Take());
    }
    inst_.SetRecords(static_cast<int32_t>(records.size()), records);
  }
  std::string Export(int type, TextEncoding encoding, bool bom = false) {
    harness_.options = {encoding, bom};
    const std::string path = inst_.dir() / "enc.txt";
    std::filesystem::remove(path);
    auto r = harness_.Run(type, kRows, path);
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
    return r.written;
  }
  const std::vector<std::string> kRows = {"Name=N\xe4me \x80", "Total", "Company Number"};
  Installation inst_;
  ExportHarness harness_{inst_};
};

TEST_F(TextEncodingTest, EveryTextTypeMapsEachByteOfItsLines) {
  for (int type = 0; type <= 7; ++type) {
    SCOPED_TRACE(type);
    const std::string stored = Export(type, TextEncoding::kWindows1252);
    EXPECT_EQ(Export(type, TextEncoding::kWindows1252, true), stored);  // no mark
    EXPECT_EQ(Export(type, TextEncoding::kUtf8), Cp1252ToUtf8(stored));
    EXPECT_EQ(Export(type, TextEncoding::kUtf8, true), "\xEF\xBB\xBF" + Cp1252ToUtf8(stored));
  }
}

TEST_F(TextEncodingTest, FixedWidthColumnsCountCharacters) {
  for (int type : {6, 7}) {
    const std::string utf8 = Export(type, TextEncoding::kUtf8);
    const auto counts = CharactersPerLine(utf8);
    ASSERT_EQ(counts.size(), type == 6 ? 5u : 4u);
    for (size_t n : counts) EXPECT_EQ(n, counts[0]) << type << ":\n" << utf8;
    EXPECT_NE(utf8.find("M\xc3\xbcller"), std::string::npos);
  }
}

TEST_F(TextEncodingTest, MarkOnlyAtTheStartOfAFile) {
  const std::string path = harness_.ui.documents + "/append.txt";
  struct Case {
    std::string before;  // the file's bytes before an append; none: new
    bool exists;
    bool starts_with_mark;
  } cases[] = {{"", false, true}, {"", true, true}, {"old\r\n", true, false}};
  harness_.options = {TextEncoding::kUtf8, true};
  for (const Case& c : cases) {
    std::filesystem::remove(path);
    if (c.exists) test::WriteFile(path, c.before);
    auto r = harness_.Run(3, {"Total"}, path);  // an existing file is appended to
    ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted);
    EXPECT_EQ(r.written.substr(0, c.before.size()), c.before);
    EXPECT_EQ(r.written.compare(c.before.size(), 3, "\xEF\xBB\xBF") == 0, c.starts_with_mark)
        << c.before;
  }
}

// A WritableFile that keeps what it is given, or fails every append.
class MemoryFile : public WritableFile {
 public:
  Status Append(std::string_view data) override {
    if (fail) return IoError(EPIPE);
    bytes.append(data);
    return Status();
  }
  Status Close() override {
    ++closes;
    return Status();
  }
  std::string bytes;
  int closes = 0;
  bool fail = false;
};

TEST_F(TextEncodingTest, StandardOutputTakesTheLinesAndLeavesTheDestination) {
  const std::string dest = harness_.ui.documents + "/untouched.txt";
  test::WriteFile(dest, "keep");
  for (TextEncoding encoding : {TextEncoding::kWindows1252, TextEncoding::kUtf8}) {
    const std::string file = Export(2, encoding);
    MemoryFile out;
    harness_.stream = &out;
    harness_.options = {encoding, false};
    harness_.ui.messages.clear();
    auto r = harness_.Run(2, kRows, "-");
    harness_.stream = nullptr;
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted);
    EXPECT_EQ(out.bytes, file);
    EXPECT_EQ(out.closes, 1);
    EXPECT_TRUE(harness_.ui.messages.empty());  // no question about any file
  }
  EXPECT_EQ(test::ReadFile(dest), "keep");

  MemoryFile broken;
  broken.fail = true;
  harness_.stream = &broken;
  auto r = harness_.Run(2, kRows, "-");
  EXPECT_TRUE(r.outcome.error.Is(MessageId::kFileWriteFail));
  EXPECT_EQ(r.outcome.error.detail(), "standard output: Broken pipe");
}

}  // namespace
}  // namespace rh
