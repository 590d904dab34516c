#include "drivers/dbf/dbf_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <optional>
#include <cstdlib>

#include "base/bytes.h"

namespace rh::dbf {
namespace {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/rh_dbf_test.XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadAll(const std::string& path) {
  auto f = Env::Default()->OpenReadable(path);
  EXPECT_TRUE(f.ok());
  std::string out(4 << 20, '\0');
  auto n = (*f)->ReadAt(0, out.data(), out.size());
  out.resize(n.ok() ? *n : 0);
  return out;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

struct Table {
  std::unique_ptr<WritableFile> file;
  std::unique_ptr<Writer> writer;
};

Table Open(Env* env, const std::string& path, std::vector<Field> fields) {
  Table t;
  auto f = env->OpenWritable(path, WriteMode::kCreateTruncate);
  EXPECT_TRUE(f.ok());
  t.file = std::move(*f);
  auto w = Writer::Create(env, path, t.file.get(), std::move(fields));
  EXPECT_TRUE(w.ok()) << w.status().ToString();
  if (w.ok()) t.writer = std::move(*w);
  return t;
}

TEST(DbfWriter, FileLayout) {
  TempDir dir;
  std::string path = dir.File("t.dbf");
  Table t = Open(Env::Default(), path,
                 {{"NAME", 'C', 10, 0}, {"TOTAL", 'N', 11, 0}, {"BAL", 'N', 19, 6}});
  std::vector<Value> r1 = {Value::Text("O'Brien \xE9"), Value::Integer(-2147483648LL),
                           Value::Real(12.5)};
  std::vector<Value> r2 = {Value(), Value::Integer(7), Value::Integer(-3)};
  ASSERT_TRUE(t.writer->AddRecord(r1).ok());
  ASSERT_TRUE(t.writer->AddRecord(r2).ok());
  ASSERT_TRUE(t.writer->Finish().ok());

  std::string f = ReadAll(path);
  const size_t header = 32 + 3 * 32 + 1, record = 1 + 10 + 11 + 19;
  ASSERT_EQ(f.size(), header + 2 * record + 1);
  EXPECT_EQ(f[0], 0x03);
  EXPECT_EQ(LoadLittleU32(Bytes(f) + 4), 2u);
  EXPECT_EQ(LoadLittleU16(Bytes(f) + 8), header);
  EXPECT_EQ(LoadLittleU16(Bytes(f) + 10), record);
  EXPECT_EQ(static_cast<uint8_t>(f[29]), 0x57);
  EXPECT_EQ(f.substr(32, 11), std::string("NAME\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(f[32 + 11], 'C');
  EXPECT_EQ(f[32 + 16], 10);
  EXPECT_EQ(f[96 + 11], 'N');
  EXPECT_EQ(f[96 + 16], 19);
  EXPECT_EQ(f[96 + 17], 6);
  EXPECT_EQ(f[header - 1], 0x0D);
  EXPECT_EQ(f.substr(header, record),
            " O'Brien \xE9"" -2147483648          12.500000");
  EXPECT_EQ(f.substr(header + record, record),
            "                     7          -3.000000");
  EXPECT_EQ(f.back(), 0x1A);
}

TEST(DbfWriter, ValuesThatDoNotFitAreRefused) {
  struct Case {
    Field field;
    Value value;
    const char* want;  // the field's bytes, or the SQLSTATE
  } cases[] = {
      {{"A", 'C', 3, 0}, Value::Text("abc"), "abc"},
      {{"A", 'C', 3, 0}, Value::Text("abcd"), "22001"},
      {{"A", 'C', 3, 0}, Value::Integer(1), "22018"},
      {{"A", 'N', 3, 0}, Value::Integer(255), "255"},
      {{"A", 'N', 3, 0}, Value::Integer(-99), "-99"},
      {{"A", 'N', 3, 0}, Value::Integer(-100), "22003"},
      {{"A", 'N', 3, 0}, Value::Text("1"), "22018"},
      {{"A", 'N', 6, 4}, Value::Real(1.23456), "1.2346"},
      // Too wide for all the decimals: as many as fit.
      {{"A", 'N', 6, 4}, Value::Real(12.5), "12.500"},
      {{"A", 'N', 6, 4}, Value::Real(123456.7), "123457"},
      {{"A", 'N', 6, 4}, Value::Real(1234567), "22003"},
      {{"A", 'N', 19, 6}, Value::Real(1e15), "1000000000000000.00"},
      {{"A", 'N', 19, 6}, Value::Real(999999999999.9999999), "1000000000000.00000"},
      {{"A", 'N', 19, 6}, Value::Real(9.5e18), "9500000000000000000"},
      {{"A", 'N', 19, 6}, Value::Real(1e19), "22003"},
      {{"A", 'N', 19, 6}, Value::Real(-1e18), "22003"},
      {{"A", 'N', 19, 6}, Value::Real(-999999999999.5), "-999999999999.50000"},
      {{"A", 'N', 19, 6}, Value::Real(std::nan("")), "22003"},
      {{"A", 'N', 19, 6}, Value::Real(-HUGE_VAL), "22003"},
      {{"A", 'N', 19, 6}, Value::Real(99999999999.5), "99999999999.500000"},
      {{"A", 'N', 5, 0}, Value::Real(2.5), "    2"},
      {{"A", 'N', 19, 4}, Value::Integer(5), "             5.0000"},
      {{"A", 'N', 4, 0}, Value(), "    "},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.File("v.dbf");
    Table t = Open(Env::Default(), path, {c.field});
    Status s = t.writer->AddRecord({&c.value, 1});
    ASSERT_TRUE(t.writer->Finish().ok());
    std::string f = ReadAll(path);
    if (std::string(c.want).size() == 5 && std::isdigit(c.want[0]) && !s.ok()) {
      EXPECT_EQ(s.sqlstate(), c.want) << c.want;
      EXPECT_EQ(t.writer->record_count(), 0u);
      EXPECT_EQ(f.size(), 32u + 32 + 1 + 1) << "nothing of the record is written";
    } else {
      ASSERT_TRUE(s.ok()) << c.want << ": " << s.ToString();
      std::string want = c.want;
      want.insert(0, static_cast<size_t>(c.field.width) - want.size(), ' ');
      EXPECT_EQ(f.substr(66, static_cast<size_t>(c.field.width)), want);
    }
  }
}

// The bytes a numeric field held when every number went through
// std::to_chars, or null when the value was refused: the writer's own
// formatting must give the same file for every value.
std::optional<std::string> ToCharsField(const Field& f, const Value& v) {
  char buf[400];
  std::to_chars_result r;
  if (v.kind == Value::Kind::kInteger) {
    r = std::to_chars(buf, buf + sizeof buf, v.integer);
    if (f.decimals > 0) {
      *r.ptr++ = '.';
      for (int i = 0; i < f.decimals; ++i) *r.ptr++ = '0';
    }
  } else {
    if (!std::isfinite(v.real)) return std::nullopt;
    r = std::to_chars(buf, buf + sizeof buf, v.real, std::chars_format::fixed, 0);
    if (r.ptr - buf > f.width) return std::nullopt;
    for (int decimals = f.decimals;; --decimals) {
      r = std::to_chars(buf, buf + sizeof buf, v.real, std::chars_format::fixed, decimals);
      if (r.ptr - buf <= f.width || decimals == 0) break;
    }
  }
  const auto n = static_cast<size_t>(r.ptr - buf);
  if (n > static_cast<size_t>(f.width)) return std::nullopt;
  return std::string(static_cast<size_t>(f.width) - n, ' ') + std::string(buf, n);
}

TEST(DbfWriter, NumbersAsToCharsWritesThem) {
  std::vector<Value> values;
  const double edges[] = {0.0, -0.0, 0.5, 1.5, 2.5, -0.5, -2.5, 0.05, 0.125, 0.0000005,
                          9.5, 99.5, 999.5, 9999.95, 0.995, 1e-300, 5e-324, 1.0 / 3,
                          999999999999.5, 1e12, 1e12 + 0.5, 1e13, 123456789012.345678,
                          1e15, 1e16 + 2, 9007199254740993.0, 1e18, 9.5e18,
                          9223372036854775808.0, 9999999999999999999.0, 1e19, 1e20,
                          1e300, HUGE_VAL, std::nan("")};
  for (double e : edges) {
    values.push_back(Value::Real(e));
    values.push_back(Value::Real(-e));
  }
  for (int64_t i : {int64_t{0}, int64_t{-1}, int64_t{9}, int64_t{-10}, int64_t{999999999999},
                    int64_t{1000000000000}, INT64_MAX, INT64_MIN})
    values.push_back(Value::Integer(i));
  uint64_t x = 88172645463325252ull;
  for (int i = 0; i < 3000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    // Cents, eighths (exact ties) and values of every size up to 1e20.
    values.push_back(Value::Real(static_cast<double>(static_cast<int64_t>(x % 2000000001) -
                                                     1000000000) / 100.0));
    values.push_back(Value::Real(static_cast<double>(static_cast<int64_t>(x >> 40) - 8000000) / 8));
    values.push_back(Value::Real(std::ldexp(static_cast<double>(x >> 11), static_cast<int>(x % 67) - 53)));
  }
  const Field fields[] = {{"N", 'N', 19, 6}, {"N", 'N', 19, 0}, {"N", 'N', 15, 2},
                          {"N", 'N', 13, 4}, {"N", 'N', 12, 2}, {"N", 'N', 11, 0},
                          {"N", 'N', 6, 4},  {"N", 'N', 3, 1},  {"N", 'N', 2, 0},
                          {"N", 'N', 1, 0}};
  TempDir dir;
  for (const Field& field : fields) {
    std::string path = dir.File("n.dbf");
    Table t = Open(Env::Default(), path, {field});
    std::string want;
    for (const Value& v : values) {
      std::optional<std::string> bytes = ToCharsField(field, v);
      Status s = t.writer->AddRecord({&v, 1});
      ASSERT_EQ(s.ok(), bytes.has_value()) << field.width << "." << field.decimals << " "
                                           << v.real << " " << v.integer;
      if (bytes) want += " " + *bytes;
    }
    ASSERT_TRUE(t.writer->Finish().ok());
    const size_t header = 32 + 32 + 1;
    std::string f = ReadAll(path);
    ASSERT_EQ(f.size(), header + want.size() + 1);
    for (size_t at = 0; at < want.size(); at += 1 + static_cast<size_t>(field.width))
      ASSERT_EQ(f.substr(header + at, 1 + static_cast<size_t>(field.width)),
                want.substr(at, 1 + static_cast<size_t>(field.width)))
          << field.width << "." << field.decimals << " record at " << at;
  }
}

TEST(DbfWriter, FieldChecks) {
  auto many = [](int n) {
    std::vector<Field> f;
    for (int i = 0; i < n; ++i) {
      std::string name = std::to_string(i);
      name.insert(name.begin(), 'F');
      f.push_back({name, 'C', 1, 0});
    }
    return f;
  };
  struct Case {
    std::vector<Field> fields;
    const char* sqlstate;  // null: valid
  } cases[] = {
      {{{"ABCDEFGHIJ", 'C', 254, 0}}, nullptr},
      {many(255), nullptr},
      {many(256), "54011"},
      {{}, "54011"},
      {{{"ABCDEFGHIJK", 'C', 1, 0}}, "42000"},
      {{{"", 'C', 1, 0}}, "42000"},
      {{{"A\tB", 'C', 1, 0}}, "42000"},
      {{{"AB", 'C', 1, 0}, {"ab", 'N', 3, 0}}, "42S21"},
      {{{"A", 'C', 255, 0}}, "HY104"},
      {{{"A", 'C', 0, 0}}, "HY104"},
      {{{"A", 'N', 20, 0}}, "HY104"},
      {{{"A", 'N', 5, 4}}, "HY104"},
      {{{"A", 'D', 8, 0}}, nullptr},  // dates: YYYYMMDD
      {{{"A", 'D', 10, 0}}, "HY104"},
  };
  for (const auto& c : cases) {
    Status s = CheckFields(c.fields);
    if (c.sqlstate) EXPECT_EQ(s.sqlstate(), c.sqlstate) << c.fields.size();
    else EXPECT_TRUE(s.ok()) << s.ToString();
  }
}

// A disk that fills up after a few bytes.
class FullDiskEnv : public EnvWrapper {
 public:
  explicit FullDiskEnv(size_t room) : EnvWrapper(Env::Default()), room_(room) {}
  Result<std::unique_ptr<WritableFile>> OpenWritable(const std::string& path,
                                                     WriteMode mode) override {
    auto f = target()->OpenWritable(path, mode);
    if (!f.ok()) return f;
    return std::unique_ptr<WritableFile>(new File(std::move(*f), &room_));
  }

 private:
  class File : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> f, size_t* room) : f_(std::move(f)), room_(room) {}
    Status Append(std::string_view d) override {
      if (d.size() > *room_) return IoError(ENOSPC);
      *room_ -= d.size();
      return f_->Append(d);
    }
    Status Close() override { return f_->Close(); }

   private:
    std::unique_ptr<WritableFile> f_;
    size_t* room_;
  };
  size_t room_;
};

TEST(DbfWriter, WriteFailureIsReportedAndSticks) {
  TempDir dir;
  FullDiskEnv env(32 + 32 + 1 + 2 * 5);
  Table t = Open(&env, dir.File("full.dbf"), {{"A", 'C', 4, 0}});
  Value v = Value::Text("x");
  EXPECT_TRUE(t.writer->AddRecord({&v, 1}).ok());
  EXPECT_TRUE(t.writer->AddRecord({&v, 1}).ok());
  Status s = t.writer->AddRecord({&v, 1});
  EXPECT_EQ(s.sqlstate(), "HY000");
  EXPECT_FALSE(t.writer->AddRecord({&v, 1}).ok());
  EXPECT_FALSE(t.writer->Finish().ok());
  EXPECT_EQ(t.writer->record_count(), 2u);
}

TEST(DbfWriter, EmptyTable) {
  TempDir dir;
  std::string path = dir.File("e.dbf");
  Table t = Open(Env::Default(), path, {{"A", 'N', 11, 0}});
  ASSERT_TRUE(t.writer->Finish().ok());
  std::string f = ReadAll(path);
  EXPECT_EQ(f.size(), 32u + 32 + 1 + 1);
  EXPECT_EQ(LoadLittleU32(Bytes(f) + 4), 0u);
}

}  // namespace
}  // namespace rh::dbf
