#include "export/text_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdio.h>

#include "tests/export/export_test_util.h"

namespace rh {
namespace {

using test::ExportHarness;
using test::Installation;

const std::vector<std::string> kAllRows = {
    "Name",  "Count",          "Total",       "Rate",        "Balance",     "Flag",
    "Posted", "Odd",           "Current Record", "Module Code", "File Number", "Today's Date",
    "Company Number"};

class TextWriterTest : public ::testing::Test {
 protected:
  TextWriterTest() {
    auto b = inst_.Builder();
    std::vector<std::string> records;
    records.push_back(b.Text("Name", "  ACME").Int16("Count", -2).Int32("Total", 4521)
                          .Fixed("Rate", 123456).Real("Balance", 12.5).Byte("Flag", 255)
                          .Int32("Posted", 36526).Raw(33, "\x01\x02\x03\x04").Take());
    records.push_back(b.Deleted());
    records.push_back(b.Text("Name", "Q\"t,a\tb\xe9").Int32("Total", -100000)
                          .Fixed("Rate", -5).Real("Balance", -0.25).Take());
    records.push_back(b.Raw(0, std::string("A\nB\0zzzzzz", 10)).Take());
    inst_.SetRecords(4, records);
  }

  std::string Export(int type) {
    auto r = harness_.Run(type, kAllRows, "out.txt");
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
    EXPECT_EQ(r.outcome.exported, 3);
    std::filesystem::remove(harness_.ui.documents + "/out.txt");
    return r.written;
  }

  Installation inst_;
  ExportHarness harness_{inst_};
};

TEST_F(TextWriterTest, EveryLayoutByteForByte) {
  const std::string comma_title =
      "\"Name\",\"Count\",\"Total\",\"Rate\",\"Balance\",\"Flag\",\"Posted\",\"Odd\","
      "\"Current Record\",\"Module Code\",\"File Number\",\"Today's Date\",\"Company Number\"\r\n";
  const std::string comma =
      "\"ACME\",\"-2\",\"4521\",\"12.3456\",\"12.500000\",\"255\",\"01/01/2000\",\"\","
      "\"1\",\"QZGL\",\"1\",\"03/15/07\",\"01\"\r\n"
      "\"Q\"\"t,a\tb\xe9\",\"0\",\"-100000\",\"-0.0005\",\"-0.250000\",\"0\",\"00/00/1900\",\"\","
      "\"3\",\"QZGL\",\"1\",\"03/15/07\",\"01\"\r\n"
      "\"A\r\nB\",\"0\",\"0\",\"0.0000\",\"0.000000\",\"0\",\"00/00/1900\",\"\","
      "\"4\",\"QZGL\",\"1\",\"03/15/07\",\"01\"\r\n";
  const std::string tab_title =
      "Name\tCount\tTotal\tRate\tBalance\tFlag\tPosted\tOdd\tCurrent Record\tModule Code\t"
      "File Number\tToday's Date\tCompany Number\r\n";
  const std::string tab =
      "ACME\t-2\t4521\t12.3456\t12.500000\t255\t01/01/2000\t\t1\tQZGL\t1\t03/15/07\t01\r\n"
      "\"Q\"\"t,a\tb\xe9\"\t0\t-100000\t-0.0005\t-0.250000\t0\t00/00/1900\t\t3\tQZGL\t1\t03/15/07\t01\r\n"
      "\"A\r\nB\"\t0\t0\t0.0000\t0.000000\t0\t00/00/1900\t\t4\tQZGL\t1\t03/15/07\t01\r\n";
  const std::string fixed_title =
      "Name       Count   Total      Rate          Balance"
      "Fla    PostedCurrent ModuFiToday's Co\r\n";
  const std::string fixed =
      "  ACME        -2    4521   12.3456        12.500000255"
      "01/01/2000       1QZGL 103/15/0701\r\n"
      "Q\"t,a\tb\xe9       0 -100000   -0.0005        -0.250000  0"
      "00/00/1900       3QZGL 103/15/0701\r\n"
      "A B            0       0    0.0000         0.000000  0"
      "00/00/1900       4QZGL 103/15/0701\r\n";
  struct Case {
    int type;
    std::string expected;
  } cases[] = {
      {0, comma_title + comma}, {1, comma}, {2, comma_title + comma}, {3, comma},
      {4, tab_title + tab},     {5, tab},   {6, fixed_title + fixed}, {7, fixed},
  };
  for (const auto& c : cases) EXPECT_EQ(Export(c.type), c.expected) << "type " << c.type;
}

TEST(TextWriterWorkedExample, MatchesTheDocumentedLines) {
  Installation inst({{"Name", 'T', 10}, {"Amount", 'L', 4}, {"Rate", 'F', 4}});
  inst.SetRecords(1, {inst.Builder().Text("Name", "  ACME").Int32("Amount", 4521)
                          .Fixed("Rate", 123456).Take()});
  ExportHarness h(inst);
  const std::vector<std::string> rows = {"Current Record=Rec", "Module Code=Mod", "Name",
                                         "Amount", "Rate", "Today's Date=Date"};
  struct Case {
    int type;
    std::string expected;
  } cases[] = {
      {0, "\"Rec\",\"Mod\",\"Name\",\"Amount\",\"Rate\",\"Date\"\r\n"
          "\"1\",\"QZGL\",\"ACME\",\"4521\",\"12.3456\",\"03/15/07\"\r\n"},
      {4, "Rec\tMod\tName\tAmount\tRate\tDate\r\n1\tQZGL\tACME\t4521\t12.3456\t03/15/07\r\n"},
      {6, "     Rec ModName        Amount      Rate    Date\r\n"
          "       1QZGL  ACME        4521   12.345603/15/07\r\n"},
  };
  for (const auto& c : cases) {
    auto r = h.Run(c.type, rows, inst.dir() / ("ex" + std::to_string(c.type) + ".txt"));
    EXPECT_EQ(r.written, c.expected) << c.type;
  }
}

// The rows Python's csv module reads from a tab-delimited file, one list a
// line; empty when python3 cannot be run.
std::string ReadTabsWithPython(const std::string& path) {
  // Debian's own interpreter first, as the other reader tests do.
  const std::string command =
      std::string(std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/" : "") +
      "python3 -c 'import csv, sys\n"
      "f = open(sys.argv[1], newline=\"\", encoding=\"latin-1\")\n"
      "for row in csv.reader(f, delimiter=\"\\t\"): print(row)' '" + path + "' 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  std::string out;
  char buf[4096];
  for (size_t n; p != nullptr && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  return p != nullptr && pclose(p) == 0 ? out : "";
}

// Tabs, CRs, LFs and double quotes in values and titles: the tab types quote
// just those values, as Python's csv module reads them back; the fixed types
// blank CR and LF so every record is one line of the same width.
TEST(TextWriterSpecialBytes, TabTypesQuoteAndFixedTypesBlankLineBreaks) {
  struct Case {
    std::string raw, tab, read, fixed;  // read: as Python prints the field
  } cases[] = {
      {"plain", "plain", "plain", "plain   "},
      {"a\tb", "\"a\tb\"", "a\\tb", "a\tb     "},
      {"a\rb", "\"a\rb\"", "a\\rb", "a b     "},
      {"a\nb", "\"a\r\nb\"", "a\\r\\nb", "a b     "},
      {"\"q\" x", "\"\"\"q\"\" x\"", "\"q\" x", "\"q\" x   "},
      {"\r\n\t\"", "\"\r\r\n\t\"\"\"", "\\r\\r\\n\\t\"", "  \t\"    "},
  };
  Installation inst({{"Name", 'T', 8}, {"Code", 'T', 4}});
  std::vector<std::string> records;
  for (const Case& c : cases) {
    records.push_back(inst.Builder().Text("Name", c.raw).Text("Code", "z").Take());
  }
  inst.SetRecords(static_cast<int32_t>(records.size()), records);
  ExportHarness h(inst);
  std::string tab, fixed, read;
  for (const Case& c : cases) {
    tab += c.tab + "\tz\r\n";
    fixed += c.fixed + "z   \r\n";
    read += "['" + c.read + "', 'z']\n";
  }
  struct Type {
    int type;
    std::string expected, read;
  } types[] = {{4, "\"N\tm\"\"e\"\t\"C\r\nd\"\r\n" + tab, "['N\\tm\"e', 'C\\r\\nd']\n" + read},
               {5, tab, read}, {6, "N\tm\"e   C d \r\n" + fixed, ""}, {7, fixed, ""}};
  for (const Type& t : types) {
    const std::string path = inst.dir() / ("s" + std::to_string(t.type) + ".txt");
    EXPECT_EQ(h.Run(t.type, {"Name=N\tm\"e", "Code=C\nd"}, path).written, t.expected) << t.type;
    if (!t.read.empty()) {
      EXPECT_EQ(ReadTabsWithPython(path), t.read) << t.type;
    }
  }
}

// The bytes a line cannot take as they are, wherever they fall in a stored
// text: in its first or last byte, on either side of an eight-byte boundary,
// in texts shorter than, as long as and longer than a word.
TEST(TextWriterSpecialBytes, AtEveryPlaceInTextsOfEveryLength) {
  const auto trimmed = [](std::string t) {
    t.erase(0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    return t;
  };
  const auto quoted = [](const std::string& t) {
    std::string q = "\"";
    for (char c : t) q += c == '"' ? std::string("\"\"") : c == '\n' ? std::string("\r\n") : std::string(1, c);
    return q + "\"";
  };
  for (size_t size : {5, 7, 8, 9, 15, 16, 17, 24, 30}) {
    SCOPED_TRACE(size);
    std::vector<std::string> raws;
    for (char mark : {'\0', '\t', '\r', '\n', '"', '\x01', ' ', '\x9f'}) {
      for (size_t at : {size_t{0}, size_t{1}, size / 2, size - 3, size - 2, size - 1}) {
        std::string raw(size, 'a');
        raw[at] = mark;
        raws.push_back(raw);
        raw.replace(size - 2, 2, "  ");  // padded with blanks
        raws.push_back(raw);
      }
    }
    // The second field makes every record long enough to be read.
    Installation inst({{"Name", 'T', static_cast<int16_t>(size)}, {"Pad", 'T', 12}});
    std::vector<std::string> records;
    std::string comma, tab, fixed;
    for (const std::string& raw : raws) {
      records.push_back(inst.Builder().Raw(0, raw).Take());
      const std::string stored = raw.substr(0, raw.find('\0'));
      const std::string text = trimmed(stored);
      comma += quoted(text) + "\r\n";
      tab += (text.find_first_of("\t\r\n\"") == std::string::npos ? text : quoted(text)) + "\r\n";
      std::string column = stored;
      std::replace_if(column.begin(), column.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
      fixed += column + std::string(size - column.size(), ' ') + "\r\n";
    }
    inst.SetRecords(static_cast<int32_t>(records.size()), records);
    ExportHarness h(inst);
    EXPECT_EQ(h.Run(3, {"Name"}, inst.dir() / "c.csv").written, comma);
    EXPECT_EQ(h.Run(5, {"Name"}, inst.dir() / "t.txt").written, tab);
    EXPECT_EQ(h.Run(7, {"Name"}, inst.dir() / "f.txt").written, fixed);
  }
}

// The delimited types drop the blanks that pad a text to its field's
// length, however many there are and wherever the last other byte falls.
TEST(TextWriterBlanks, PaddingIsTrimmedAtEveryLength) {
  Installation inst;
  auto b = inst.Builder();
  std::vector<std::string> names, records;
  for (int k = 0; k <= 10; ++k) names.push_back(std::string(static_cast<size_t>(k), 'x'));
  names.insert(names.end(), {"  lead", "a b", "a        b", "\xa0\xa0x"});
  std::string expected;
  for (const std::string& name : names) {
    std::string padded = name + std::string(10 - name.size(), ' ');
    records.push_back(b.Raw(0, padded).Take());
    const size_t first = name.find_first_not_of(' ');
    expected += (first == std::string::npos ? "" : name.substr(first)) + "\r\n";
  }
  inst.SetRecords(static_cast<int32_t>(records.size()), records);
  ExportHarness h(inst);
  EXPECT_EQ(h.Run(5, {"Name"}, inst.dir() / "t.txt").written, expected);
}

TEST(TextWriterEmpty, TitleAndOneLineEnd) {
  struct Case {
    int32_t header;
    int type;
    std::string expected;
  } cases[] = {
      {0, 0, "\"Name\"\r\n\r\n"}, {0, 1, "\r\n"}, {-3, 6, "Name      \r\n\r\n"},
      {-3, 7, "\r\n"},
  };
  for (const auto& c : cases) {
    Installation inst;
    inst.SetRecords(c.header, {inst.Builder().Text("Name", "x").Take()});
    ExportHarness h(inst);
    auto r = h.Run(c.type, {"Name"}, inst.dir() / "e.txt");
    EXPECT_EQ(r.outcome.exported, 0);
    EXPECT_EQ(r.written, c.expected) << c.header << "/" << c.type;
    EXPECT_EQ(h.ui.percents, std::vector<int>{0});
  }
}

TEST(TextWriterFixed, NulShortenedTextKeepsItsColumn) {
  Installation inst({{"Name", 'T', 6}, {"Code", 'T', 3}, {"Long", 'T', 90}});
  std::string longtext(90, 'w');
  inst.SetRecords(1, {inst.Builder().Raw(0, std::string("AB\0CDE", 6)).Text("Code", "XYZ")
                          .Text("Long", longtext).Take()});
  ExportHarness h(inst);
  auto r = h.Run(7, {"Name", "Code", "Long"}, inst.dir() / "f.txt");
  EXPECT_EQ(r.written, "AB    XYZ" + longtext + "\r\n");
  auto d = h.Run(3, {"Name", "Long"}, inst.dir() / "g.txt");
  EXPECT_EQ(d.written, "\"AB\",\"" + longtext + "\"\r\n");
}

TEST(TextWriterFixed, WideValuesAndRepeatedFields) {
  Installation inst;
  inst.SetRecords(1, {inst.Builder().Real("Balance", 12345678901.5).Int32("Total", 7).Take()});
  ExportHarness h(inst);
  auto r = h.Run(6, {"Balance", "Total", "Total=Again"}, inst.dir() / "w.txt");
  EXPECT_EQ(r.written,
            "          Balance   Total   Again\r\n12345678901.500000       7       7\r\n");
}

class AppendTest : public ::testing::Test {
 protected:
  AppendTest() {
    inst_.SetRecords(1, {inst_.Builder().Text("Name", "new").Take()});
    test::WriteFile(path_, "old");
  }
  Installation inst_;
  ExportHarness h_{inst_};
  std::string path_ = inst_.dir() / "a.txt";
};

TEST_F(AppendTest, AnswersDecideAppendOverwriteOrNothing) {
  struct Case {
    Answer answer;
    int type;
    std::string expected;
    ExportOutcome::Kind kind;
  } cases[] = {
      {Answer::kYes, 1, "old\"new\"\r\n", ExportOutcome::Kind::kCompleted},
      {Answer::kYes, 0, "old\"Name\"\r\n\"new\"\r\n", ExportOutcome::Kind::kCompleted},
      {Answer::kNo, 5, "new\r\n", ExportOutcome::Kind::kCompleted},
      {Answer::kCancel, 5, "old", ExportOutcome::Kind::kStopped},
  };
  for (const auto& c : cases) {
    test::WriteFile(path_, "old");
    h_.ui.messages.clear();
    h_.ui.answers = {c.answer};
    auto r = h_.Run(c.type, {"Name"}, path_);
    EXPECT_EQ(r.outcome.kind, c.kind);
    EXPECT_EQ(r.written, c.expected);
    ASSERT_EQ(h_.ui.messages.size(), 1u);
    EXPECT_EQ(h_.ui.messages[0].text,
              "Destination file already exists.\nClick Yes to append, No to overwrite.");
    EXPECT_EQ(h_.ui.messages[0].style, MessageStyle::kYesNoCancelQuestion);
    EXPECT_EQ(test::CountEntries(inst_.dir().path()), 5u);  // no temporary file left
  }
}

TEST_F(AppendTest, TwoAppendsWithTitlesGiveTwoTitleLines) {
  test::WriteFile(path_, "");
  h_.ui.answers = {Answer::kYes, Answer::kYes};
  h_.Run(0, {"Name"}, path_);
  auto r = h_.Run(0, {"Name"}, path_);
  EXPECT_EQ(r.written, "\"Name\"\r\n\"new\"\r\n\"Name\"\r\n\"new\"\r\n");
}

}  // namespace
}  // namespace rh
