#include "drivers/dbf/dbf_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>

#include "base/bytes.h"
#include "base/decimal.h"
#include "base/paths.h"

namespace rh::dbf {

namespace {

constexpr size_t kFileHeaderSize = 32;
constexpr size_t kFieldDescriptorSize = 32;
constexpr char kHeaderEnd = 0x0D;
constexpr char kFileEnd = 0x1A;

Status TooLong(const Field& f) {
  return Status::Sql("22001", "text too long for field " + f.name + " (" +
                                    std::to_string(f.width) + " characters)");
}

Status DoesNotFit(const Field& f) {
  return Status::Sql("22003", "number does not fit field " + f.name + " (N " +
                                    std::to_string(f.width) + "," +
                                    std::to_string(f.decimals) + ")");
}

}  // namespace

Status CheckFields(const std::vector<Field>& fields) {
  if (fields.empty() || fields.size() > kMaxFields)
    return Status::Sql("54011", "a dBase table holds 1 to 255 fields");
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    if (f.name.empty() || f.name.size() > kMaxNameLength)
      return Status::Sql("42000", "field name '" + f.name +
                                        "' must have 1 to 10 characters");
    for (char c : f.name)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return Status::Sql("42000", "field name holds a control character");
    for (size_t j = 0; j < i; ++j)
      if (EqualsIgnoreAsciiCase(fields[j].name, f.name))
        return Status::Sql("42S21", "field " + f.name + " defined twice");
    bool ok = f.type == 'C'   ? f.width >= 1 && f.width <= kMaxCharWidth && f.decimals == 0
              : f.type == 'D' ? f.width == 8 && f.decimals == 0
                              : f.type == 'N' && f.width >= 1 && f.width <= kMaxNumericWidth &&
                                    f.decimals >= 0 &&
                                    (f.decimals == 0 || f.decimals <= f.width - 2);
    if (!ok) return Status::Sql("HY104", "invalid width for field " + f.name);
  }
  return Status();
}

Result<std::unique_ptr<Writer>> Writer::Create(Env* env, std::string path,
                                               WritableFile* file,
                                               std::vector<Field> fields) {
  Status s = CheckFields(fields);
  if (!s.ok()) return s;
  std::unique_ptr<Writer> w(
      new Writer(env, std::move(path), file, std::move(fields)));
  std::string header = w->HeaderStart();
  for (const Field& f : w->fields_) {
    char d[kFieldDescriptorSize] = {};
    std::memcpy(d, f.name.data(), f.name.size());
    d[11] = f.type;
    d[16] = static_cast<char>(f.width);
    d[17] = static_cast<char>(f.decimals);
    header.append(d, sizeof d);
  }
  header.push_back(kHeaderEnd);
  s = file->Append(header);
  if (!s.ok()) return s;
  return w;
}

Writer::Writer(Env* env, std::string path, WritableFile* file,
               std::vector<Field> fields)
    : env_(env), path_(std::move(path)), file_(file), fields_(std::move(fields)) {
  for (const Field& f : fields_) {
    offsets_.push_back(record_size_);
    record_size_ += static_cast<size_t>(f.width);
  }
  record_.resize(record_size_);
}

// Version, date of last update, record count, sizes, language driver.
std::string Writer::HeaderStart() const {
  uint8_t h[kFileHeaderSize] = {};
  h[0] = 0x03;  // dBase III+ without memo
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  h[1] = static_cast<uint8_t>(tm.tm_year % 256);
  h[2] = static_cast<uint8_t>(tm.tm_mon + 1);
  h[3] = static_cast<uint8_t>(tm.tm_mday);
  StoreLittleU32(h + 4, records_);
  StoreLittleU16(h + 8, static_cast<uint16_t>(kFileHeaderSize +
                                              kFieldDescriptorSize * fields_.size() + 1));
  StoreLittleU16(h + 10, static_cast<uint16_t>(record_size_));
  h[29] = kLanguageDriverWindows1252;
  return std::string(reinterpret_cast<const char*>(h), sizeof h);
}

Status FormatField(const Field& f, const Value& v, char* out) {
  if (v.kind == Value::Kind::kBlank) return Status();
  if (v.kind == Value::Kind::kNumberText && f.type == 'N') {
    if (v.text.size() > static_cast<size_t>(f.width)) return DoesNotFit(f);
    std::memcpy(out + f.width - v.text.size(), v.text.data(), v.text.size());
    return Status();
  }
  if (f.type == 'D' || v.kind == Value::Kind::kDate) {
    if (f.type != 'D' || v.kind != Value::Kind::kDate || v.date.year < 1 || v.date.year > 9999)
      return Status::Sql("22018", "a date field takes dates, and only dates: " + f.name);
    const std::string iso = IsoDate(v.date);  // YYYY-MM-DD
    std::memcpy(out, iso.data(), 4);
    std::memcpy(out + 4, iso.data() + 5, 2);
    std::memcpy(out + 6, iso.data() + 8, 2);
    return Status();
  }
  if (f.type == 'C') {
    if (v.kind != Value::Kind::kText)
      return Status::Sql("22018", "a number for text field " + f.name);
    if (v.text.size() > static_cast<size_t>(f.width)) return TooLong(f);
    std::memcpy(out, v.text.data(), v.text.size());
    return Status();
  }
  if (v.kind == Value::Kind::kText)
    return Status::Sql("22018", "a text for numeric field " + f.name);
  char buf[MaxFixedChars(kMaxNumericWidth)];
  char* end;
  if (v.kind == Value::Kind::kInteger) {
    auto r = std::to_chars(buf, buf + sizeof buf, v.integer);
    end = r.ptr;
    if (f.decimals > 0) {
      *end++ = '.';
      for (int i = 0; i < f.decimals; ++i) *end++ = '0';
    }
  } else {
    // Past 1e19 nothing fits (and the text stays short). A text with all
    // the decimals that fits has a whole part that fits: only a wider one
    // needs the check.
    if (!std::isfinite(v.real) || std::fabs(v.real) >= 1e19) return DoesNotFit(f);
    end = FormatFixed(buf, v.real, f.decimals);
    if (end - buf > f.width) {
      if (!NumberFits(v.real, f.width)) return DoesNotFit(f);
      // A value too wide for all its decimals keeps as many as fit.
      for (int decimals = f.decimals - 1; end - buf > f.width && decimals >= 0; --decimals)
        end = FormatFixed(buf, v.real, decimals);
    }
  }
  size_t n = static_cast<size_t>(end - buf);
  if (n > static_cast<size_t>(f.width)) return DoesNotFit(f);
  std::memcpy(out + f.width - n, buf, n);
  return Status();
}

Status Writer::AddRecord(std::span<const Value> values) {
  if (!failed_.ok()) return failed_;
  if (values.size() != fields_.size())
    return Status::Sql("21S01", "one value for each field is needed");
  BeginRecord();
  for (size_t i = 0; i < fields_.size(); ++i) {
    Status s = FormatField(fields_[i], values[i], &record_[offsets_[i]]);
    if (!s.ok()) return s;
  }
  return AppendRecord();
}

char* Writer::BeginRecord() {
  record_.assign(record_size_, ' ');  // not deleted, every field blank
  return record_.data();
}

Status Writer::AddRecord(std::span<const std::pair<size_t, Value>> rest) {
  if (!failed_.ok()) return failed_;
  for (const auto& [i, value] : rest) {
    Status s = FormatField(fields_[i], value, &record_[offsets_[i]]);
    if (!s.ok()) return s;
  }
  return AppendRecord();
}

Status Writer::AppendRecord() {
  Status s = file_->Append(record_);
  if (!s.ok()) return failed_ = Status::Sql("HY000", "write failed: " + s.message());
  ++records_;
  return Status();
}

Status Writer::Finish() {
  if (!failed_.ok()) return failed_;
  Status s = file_->Append(std::string_view(&kFileEnd, 1));
  if (s.ok()) s = file_->Close();
  if (s.ok()) {
    auto head = env_->OpenWritable(path_, WriteMode::kOverwriteStart);
    s = head.ok() ? (*head)->Append(HeaderStart().substr(0, 8)) : head.status();
    if (s.ok()) s = (*head)->Close();
  }
  if (!s.ok()) failed_ = Status::Sql("HY000", "write failed: " + s.message());
  return failed_;
}

}  // namespace rh::dbf
