// Reads files of our engine back with independent readers: mdbtools
// (mdb-tables, mdb-schema, mdb-export), its ODBC driver through unixODBC
// (python3-pyodbc) and the npm package mdb-reader, which tools/install-deps.sh
// puts into the build tree's npm folder. A check whose reader is missing skips
// or fails as tests/readers.h says.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/cp1252.h"
#include "connections/access_connection.h"
#include "tests/readers.h"

namespace rh {
namespace {

namespace fs = std::filesystem;

// Runs a shell command; its standard output goes to *out.
int RunCommand(const std::string& command, std::string* out = nullptr) {
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return -1;
  std::string text;
  char buf[1 << 16];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  int status = pclose(p);
  if (out) *out = std::move(text);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Have(const std::string& probe) { return RunCommand(probe + " >/dev/null 2>&1") == 0; }

// The rows the tests write: texts with quotes, blanks and high characters,
// an empty text, and every number type near its limits.
const char* kTexts[] = {"plain", "O'Brien", "say \"hi\"", "caf\xe9 \x80 5",
                        "  blanks  ", "\x93quoted\x94 \x85"};

struct Values {
  std::string text;  // Windows-1252
  double d;
  int s, b;
  float f;
  int l;
};

Values RowValues(int i) {
  return {std::string(kTexts[i % 6]) + " " + std::to_string(i),
          i + 0.5,
          (i % 65536) - 32768,
          i % 256,
          static_cast<float>((i % 1000) * 0.25),
          i * 7 - 100000};
}

std::string Doubled(const std::string& s, char q) {
  std::string out;
  for (char c : s) {
    out += c;
    if (c == q) out += q;
  }
  return out;
}

std::string Format(const char* fmt, double v) {
  char buf[64];
  snprintf(buf, sizeof buf, fmt, v);
  return buf;
}

std::string InsertStatement(int i) {
  Values v = RowValues(i);
  return "INSERT INTO KVTdatatool ('Text','Empty','Today''s Date','D','S','B','F','L') "
         "VALUES ('" + Doubled(v.text, '\'') + "','','12/07/26'," +
         Format("%.6f", v.d) + "," + std::to_string(v.s) + "," + std::to_string(v.b) +
         "," + Format("%.4f", v.f) + "," + std::to_string(v.l) + ")";
}

// What mdb-export prints for row i (an empty text prints as nothing).
std::string ExportLine(int i) {
  Values v = RowValues(i);
  std::string line = "\"";
  line += Doubled(Cp1252ToUtf8(v.text), '"');
  return line + "\",,\"12/07/26\"," +
         Format("%.1f", v.d) + "," + std::to_string(v.s) + "," + std::to_string(v.b) +
         "," + Format("%g", v.f) + "," + std::to_string(v.l);
}

class Readers : public ::testing::Test {
 protected:
  static constexpr int kRowCounts[] = {0, 1, 120000};

  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "mdbreadXXXXXX").string();
    dir_ = new std::string(mkdtemp(pattern.data()));
    for (int rows : kRowCounts) {
      auto db = CreateAccessDatabase(Path(rows), ";LANGID=0x0409;CP=1252;COUNTRY=0");
      ASSERT_TRUE(db.ok()) << db.status().ToString();
      Status s = (*db)->Execute(
          "CREATE TABLE KVTdatatool ('Text' TEXT,'Empty' TEXT,'Today''s Date' TEXT,"
          "'D' DOUBLE,'S' SHORT,'B' BYTE,'F' SINGLE,'L' LONG)");
      ASSERT_TRUE(s.ok()) << s.ToString();
      for (int i = 0; i < rows; ++i) {
        s = (*db)->Execute(InsertStatement(i));
        ASSERT_TRUE(s.ok()) << s.ToString();
      }
      // A row with the columns left out: they are null, not empty.
      if (rows == 1) {
        ASSERT_TRUE((*db)->Execute("INSERT INTO KVTdatatool ('L') VALUES (5)").ok());
      }
      ASSERT_TRUE((*db)->Close().ok());
    }
  }
  static void TearDownTestSuite() {
    fs::remove_all(*dir_);
    delete dir_;
  }
  static std::string Path(int rows) {
    return *dir_ + "/rows" + std::to_string(rows) + ".mdb";
  }
  // Rows of the file, the extra null row included.
  static int FileRows(int rows) { return rows == 1 ? 2 : rows; }

  static std::string* dir_;
};
std::string* Readers::dir_ = nullptr;

TEST_F(Readers, MdbToolsListsTableAndSchema) {
  if (!Have("command -v mdb-tables") || !Have("command -v mdb-schema"))
    return test::ReaderMissing("mdbtools");
  for (int rows : kRowCounts) {
    std::string out;
    ASSERT_EQ(RunCommand("mdb-tables -1 '" + Path(rows) + "'", &out), 0);
    EXPECT_EQ(Lines(out), std::vector<std::string>{"KVTdatatool"});
    ASSERT_EQ(RunCommand("mdb-schema -T KVTdatatool '" + Path(rows) + "' access", &out), 0);
    for (const char* want :
         {"[Text]\t\t\tText (255)", "[Empty]\t\t\tText (255)",
          "[Today's Date]\t\t\tText (255)", "[D]\t\t\tDouble", "[S]\t\t\tInteger",
          "[B]\t\t\tByte", "[F]\t\t\tSingle", "[L]\t\t\tLong Integer"}) {
      EXPECT_NE(out.find(want), std::string::npos) << want << "\n" << out;
    }
  }
}

TEST_F(Readers, MdbExportGivesBackEveryValue) {
  if (!Have("command -v mdb-export")) return test::ReaderMissing("mdbtools");
  for (int rows : kRowCounts) {
    std::string out;
    ASSERT_EQ(RunCommand("mdb-export '" + Path(rows) + "' KVTdatatool", &out), 0);
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), static_cast<size_t>(FileRows(rows)) + 1) << rows;
    EXPECT_EQ(lines[0], "Text,Empty,Today's Date,D,S,B,F,L");
    int wrong = 0;
    for (int i = 0; i < rows; ++i) {
      if (lines[i + 1] != ExportLine(i) && ++wrong < 5)
        ADD_FAILURE() << "row " << i << ": " << lines[i + 1] << " != " << ExportLine(i);
    }
    EXPECT_EQ(wrong, 0);
    if (rows == 1) {
      EXPECT_EQ(lines[2], ",,,,,,,5");
    }
  }
}

// 255 columns with long names: the table definition takes nine pages.
TEST(WideTable, DefinitionSpanningPagesReadsBack) {
  if (!Have("command -v mdb-export")) return test::ReaderMissing("mdbtools");
  const std::string path = fs::temp_directory_path() / "rh_mdb_wide.mdb";
  auto db = CreateAccessDatabase(path, ";LANGID=0x0409;CP=1252;COUNTRY=0");
  ASSERT_TRUE(db.ok());
  std::string create = "CREATE TABLE KVTdatatool (", names, values, header, line;
  for (int i = 0; i < 255; ++i) {
    const std::string name = "Column with a long name, number " + std::to_string(i);
    const std::string sep = i ? "," : "";
    create += sep + "'" + name + (i % 2 ? "' LONG" : "' TEXT(10)");
    names += sep + "'" + name + "'";
    values += sep + (i % 2 ? std::to_string(i) : "'t" + std::to_string(i) + "'");
    header += sep + name;
    line += sep + (i % 2 ? std::to_string(i) : "\"t" + std::to_string(i) + "\"");
  }
  ASSERT_TRUE((*db)->Execute(create + ")").ok());
  for (int r = 0; r < 3; ++r) {
    ASSERT_TRUE((*db)->Execute("INSERT INTO KVTdatatool (" + names + ") VALUES (" +
                               values + ")").ok());
  }
  ASSERT_TRUE((*db)->Close().ok());
  std::string out;
  ASSERT_EQ(RunCommand("mdb-export '" + path + "' KVTdatatool", &out), 0);
  EXPECT_EQ(Lines(out), (std::vector<std::string>{header, line, line, line}));
  fs::remove(path);
}

std::string Python() {
  // Debian's interpreter, where python3-pyodbc lives.
  return fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

TEST_F(Readers, OdbcDriverReadsTheTable) {
  const std::string probe = Python() +
      " -c 'import glob,pyodbc,sys; sys.exit(0 if glob.glob(\"/usr/lib/*/odbc/libmdbodbc.so\") else 1)'";
  if (!Have(probe)) return test::ReaderMissing("python3-pyodbc or odbc-mdbtools");
  // The driver (1.0) reads SHORT columns as unsigned and SINGLE columns
  // wrongly, and empty texts as null; texts, DOUBLE, BYTE and LONG are
  // compared.
  const std::string script = fs::temp_directory_path() / "rh_mdb_odbc.py";
  std::ofstream(script) <<
      "import glob, sys, pyodbc\n"
      "lib = glob.glob('/usr/lib/*/odbc/libmdbodbc.so')[0]\n"
      "c = pyodbc.connect('DRIVER={%s};DBQ=%s' % (lib, sys.argv[1]), autocommit=True)\n"
      "cur = c.cursor()\n"
      "cur.execute('SELECT * FROM KVTdatatool')\n"
      "print('|'.join(d[0] for d in cur.description))\n"
      "for r in cur.fetchall():\n"
      "    print('%s|%r|%s|%s' % (r[0], r[3], r[5], r[7]))\n";
  for (int rows : kRowCounts) {
    std::string out;
    ASSERT_EQ(RunCommand("PYTHONIOENCODING=utf-8 " + Python() + " " + script + " '" +
                  Path(rows) + "'", &out), 0) << out;
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), static_cast<size_t>(FileRows(rows)) + 1);
    EXPECT_EQ(lines[0], "Text|Empty|Today's Date|D|S|B|F|L");
    int wrong = 0;
    for (int i = 0; i < rows; ++i) {
      Values v = RowValues(i);
      std::string want = Cp1252ToUtf8(v.text) + "|" + Format("%.1f", v.d) + "|" +
                         std::to_string(v.b) + "|" + std::to_string(v.l);
      if (lines[i + 1] != want && ++wrong < 5)
        ADD_FAILURE() << "row " << i << ": " << lines[i + 1] << " != " << want;
    }
    EXPECT_EQ(wrong, 0);
  }
  fs::remove(script);
}

TEST_F(Readers, MdbReaderReadsEveryValue) {
  // mdb-reader is an ES module, which NODE_PATH does not reach: the script
  // resolves it from the npm folder and imports it from there.
  const std::string npm_dir = RECORDHAUL_NPM_DIR;
  if (!Have("node -e \"require('module').createRequire('" + npm_dir +
            "/package.json').resolve('mdb-reader')\""))
    return test::ReaderMissing("node or the npm package mdb-reader (in " + npm_dir + ")");
  const std::string script = fs::temp_directory_path() / "rh_mdb_reader.mjs";
  std::ofstream(script) <<
      "import { createRequire } from 'node:module';\n"
      "import { readFileSync } from 'node:fs';\n"
      "import { pathToFileURL } from 'node:url';\n"
      "const [dir, file] = process.argv.slice(2);\n"
      "const found = createRequire(dir + '/package.json').resolve('mdb-reader');\n"
      "const { default: Reader } = await import(pathToFileURL(found).href);\n"
      "const r = new Reader(readFileSync(file));\n"
      "console.log(JSON.stringify(r.getTableNames()));\n"
      "const t = r.getTable('KVTdatatool');\n"
      "console.log(t.rowCount + ' ' + JSON.stringify(t.getColumnNames()));\n"
      "const out = [];\n"
      "for (const x of t.getData()) out.push(JSON.stringify(Object.values(x)));\n"
      "process.stdout.write(out.join('\\n') + '\\n');\n";
  for (int rows : kRowCounts) {
    std::string out;
    ASSERT_EQ(RunCommand("node " + script + " '" + npm_dir + "' '" + Path(rows) + "'", &out), 0);
    std::vector<std::string> lines = Lines(out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[\"KVTdatatool\"]");
    EXPECT_EQ(lines[1], std::to_string(FileRows(rows)) +
                            " [\"Text\",\"Empty\",\"Today's Date\",\"D\",\"S\",\"B\",\"F\",\"L\"]");
    ASSERT_EQ(lines.size(), static_cast<size_t>(FileRows(rows) + (rows ? 2 : 3)));
    int wrong = 0;
    for (int i = 0; i < rows; ++i) {
      Values v = RowValues(i);
      std::string json;
      for (char c : Cp1252ToUtf8(v.text)) json += c == '"' ? std::string("\\\"") : std::string(1, c);
      std::string want = "[\"" + json + "\",\"\",\"12/07/26\"," + Format("%.1f", v.d) +
                         "," + std::to_string(v.s) + "," + std::to_string(v.b) + "," +
                         Format("%g", v.f) + "," + std::to_string(v.l) + "]";
      if (lines[i + 2] != want && ++wrong < 5)
        ADD_FAILURE() << "row " << i << ": " << lines[i + 2] << " != " << want;
    }
    EXPECT_EQ(wrong, 0);
    if (rows == 1) {
      EXPECT_EQ(lines[3], "[null,null,null,null,null,null,null,5]");
    }
  }
  fs::remove(script);
}

}  // namespace
}  // namespace rh
