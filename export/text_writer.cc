#include "export/text_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/bytes.h"
#include "base/cp1252.h"
#include "export/value_format.h"

namespace rh {

namespace {

constexpr char kStandardOutput[] = "standard output";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// "Error #8", and under it the file and the system's reason.
Status Failed(MessageId id, std::string_view path, const Status& why) {
  return Status::Of(id).WithDetail(MessageId::kDetailPathReason, {path, why.message()});
}
Status OpenFailed(const std::string& path, const Status& why) {
  return Failed(MessageId::kFileOpenFail, path, why);
}

constexpr size_t kBlockBytes = size_t{256} << 10;

// The column width of a fixed-width value and its title; 0 for a text field
// (its own length) or a field with no value.
constexpr int FixedWidth(FieldSource source) {
  switch (source) {
    case FieldSource::kCurrentRecord: return 8;
    case FieldSource::kModuleCode: return 4;
    case FieldSource::kFileNumber: return 2;
    case FieldSource::kTodaysDate: return 8;
    case FieldSource::kCompanyNumber: return 2;
    case FieldSource::kD: return 17;
    case FieldSource::kI: return 6;
    case FieldSource::kL: return 8;
    case FieldSource::kY: return 3;
    case FieldSource::kF: return 10;
    case FieldSource::kJ: return 10;
    default: return 0;
  }
}

std::string_view TrimSpaces(std::string_view t) {
  size_t b = 0, e = t.size();
  while (b < e && t[b] == ' ') ++b;
  // Stored texts are padded with blanks to their field's length: they are
  // looked at eight at a time, the last byte of a word its top byte.
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    while (e - b >= 8) {
      uint64_t word;
      std::memcpy(&word, t.data() + e - 8, 8);
      const uint64_t other = word ^ kBlanks;
      if (other != 0) return t.substr(b, e - b - static_cast<size_t>(std::countl_zero(other)) / 8);
      e -= 8;
    }
  }
  while (e > b && t[e - 1] == ' ') --e;
  return t.substr(b, e - b);
}

// The control characters of w (NUL, tab, CR, LF...), each as its top bit:
// a byte below 0x20 sets its top bit in (w - 0x20..) & ~w, and the whole is
// non-zero only if some byte is one.
uint64_t ControlBytes(uint64_t w) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  return (w - kOnes * 0x20) & ~w & kHighs;
}
// The bytes of w a line cannot take as they are: its control characters
// and, with `quotes`, its double quotes.
uint64_t MarkedBytes(uint64_t w, bool quotes) {
  return ControlBytes(w) | (quotes ? BytesEqual(w, '"') : 0);
}

// What CopyPlainText found in a stored text.
enum class TextMarks {
  kNone,    // copied as it is, trailing blanks dropped
  kQuotes,  // double quotes, and nothing else a line cannot take
  kOther,   // a control character or a leading blank: the long way
};

// Copies the stored text of n >= 8 bytes at d to p, eight bytes at a time
// (the last word may overlap the one before it), and says what it holds.
// With `trim` (the delimited layouts), returns the text's size without its
// trailing blanks when it holds no control character and starts with no
// blank; without, n when it holds no control character (a fixed-width
// column keeps its blanks, and its quotes are plain bytes). The n bytes at
// p are written whatever the outcome.
template <bool trim>
[[gnu::always_inline]] inline size_t CopyPlainText(char* p, const char* d, size_t n,
                                                   TextMarks* marks) {
  constexpr uint64_t kBlanks = 0x2020202020202020ull;
  uint64_t controls = 0;
  uint64_t quotes = 0;
  const auto take = [&](size_t at) {
    uint64_t w;
    std::memcpy(&w, d + at, 8);
    std::memcpy(p + at, &w, 8);
    controls |= ControlBytes(w);
    quotes |= BytesEqual(w, '"');
  };
  // The first and last words, then those between: texts are short, and a
  // loop the compiler widens costs more to set up than they take.
  take(0);
  take(n - 8);
  for (size_t at = 8; at + 8 < n; at += 8) take(at);
  if (controls != 0 || (trim && d[0] == ' ')) {
    *marks = TextMarks::kOther;
    return 0;
  }
  *marks = trim && quotes != 0 ? TextMarks::kQuotes : TextMarks::kNone;
  if (!trim) return n;
  // The trailing blanks, from the end: d[0] is none, so the scan ends by
  // the first word, whose bytes past `end` are blanks already seen.
  for (size_t end = n;;) {
    const size_t at = end >= 8 ? end - 8 : 0;
    uint64_t w;
    std::memcpy(&w, d + at, 8);
    const uint64_t other = w ^ kBlanks;
    if (other != 0) {
      const int blanks = std::endian::native == std::endian::little ? std::countl_zero(other)
                                                                     : std::countr_zero(other);
      return at + 8 - static_cast<size_t>(blanks) / 8;
    }
    end = at;
  }
}

// Whether any of the n bytes at d is a control character (NUL, tab, CR,
// LF...) or, with `quotes`, a double quote: the bytes a line cannot take as
// they are. Eight bytes at a time; the last word may overlap the one before.
bool HoldsMarks(const char* d, size_t n, bool quotes) {
  const auto marked = [quotes](uint64_t w) { return MarkedBytes(w, quotes) != 0; };
  if (n < 8) {
    for (size_t i = 0; i < n; ++i) {
      const auto c = static_cast<unsigned char>(d[i]);
      if (c < 0x20 || (quotes && c == '"')) return true;
    }
    return false;
  }
  uint64_t w;
  for (size_t i = 0; i + 8 <= n; i += 8) {
    std::memcpy(&w, d + i, 8);
    if (marked(w)) return true;
  }
  if (n % 8 == 0) return false;
  std::memcpy(&w, d + n - 8, 8);
  return marked(w);
}

}  // namespace

TextWriter::TextWriter(const ExportTypeInfo& type, const WriterSetup& setup)
    : env_(setup.env),
      path_(setup.path),
      type_(type),
      quoted_(type.layout == TextLayout::kQuoted),
      fixed_(type.layout == TextLayout::kFixed),
      utf8_output_(setup.options.encoding == TextEncoding::kUtf8),
      byte_order_mark_(utf8_output_ && setup.options.byte_order_mark),
      stream_(setup.stream),
      records_per_block_(setup.options.records_per_block) {}

std::unique_ptr<RecordWriter> MakeTextWriter(const ExportTypeInfo& type,
                                             const WriterSetup& setup) {
  return std::make_unique<TextWriter>(type, setup);
}

TextWriter::~TextWriter() { Abort(); }

bool TextWriter::ConfirmExisting(RunObserver& ui) {
  Answer a = ui.Ask(type_.destination_exists);
  append_ = a == Answer::kYes;
  return a == Answer::kYes || a == Answer::kNo;
}

Status TextWriter::OpenDestination() {
  if (stream_ != nullptr) {
    out_ = stream_;
    return Status();
  }
  FileKind kind = env_->GetFileKind(path_);
  if (kind == FileKind::kDirectory) {
    return Status::Of(MessageId::kFileOpenFail).WithDetail(MessageId::kDetailIsAFolder, {path_});
  }
  if (append_) {
    auto size = env_->FileSize(path_);
    auto file = size.ok() ? env_->OpenWritable(path_, WriteMode::kAppend)
                          : Result<std::unique_ptr<WritableFile>>(size.status());
    if (!file.ok()) return OpenFailed(path_, file.status());
    original_size_ = *size;
    direct_ = std::move(file).value();
    out_ = direct_.get();
    return Status();
  }
  if (kind == FileKind::kOther) {  // a device or pipe: written in place
    auto file = env_->OpenWritable(path_, WriteMode::kCreateTruncate);
    if (!file.ok()) return OpenFailed(path_, file.status());
    direct_ = std::move(file).value();
    out_ = direct_.get();
    return Status();
  }
  if (kind == FileKind::kRegular) {
    // A file we may not write is not replaced behind its back.
    auto probe = env_->OpenWritable(path_, WriteMode::kOverwriteStart);
    if (!probe.ok()) return OpenFailed(path_, probe.status());
    (*probe)->Close().IgnoreError();
  }
  auto replacement = FileReplacement::Begin(env_, path_);
  if (!replacement.ok()) return OpenFailed(path_, replacement.status());
  replacement_ = std::move(replacement).value();
  out_ = replacement_->file();
  return Status();
}

Status TextWriter::WriteBytes(std::string_view bytes) {
  if (!write_status_.ok()) return write_status_;
  if (Status s = out_->Append(bytes); !s.ok())
    write_status_ = Failed(MessageId::kFileWriteFail, stream_ ? kStandardOutput : path_, s);
  return write_status_;
}

Status TextWriter::Write(std::string_view lines) {
  if (!utf8_output_) return WriteBytes(lines);
  const size_t room = kMaxUtf8BytesPerCp1252Byte * lines.size();
  if (utf8_.size() < room) utf8_.resize(room);
  char* end = Cp1252ToUtf8(utf8_.data(), lines);
  return WriteBytes(std::string_view(utf8_.data(), static_cast<size_t>(end - utf8_.data())));
}

Status TextWriter::Begin(const WriterInput& input) {
  input_ = &input;
  size_t longest = 2;
  for (const BoundRow& row : input.rows) longest += MaxFormattedBytes(row.field.source, row.field.text_size) + 3;
  longest_line_ = longest;
  block_.resize(kBlockBytes + longest);
  block_used_ = 0;
  if (utf8_output_) utf8_.resize(kMaxUtf8BytesPerCp1252Byte * block_.size());
  // A mark in the middle of a file would be read as a character.
  if (byte_order_mark_ && !(append_ && original_size_ > 0)) {
    if (Status s = WriteBytes(kByteOrderMark); !s.ok()) return s;
  }
  if (!type_.titles) return Status();
  line_.clear();
  for (size_t j = 0; j < input.rows.size(); ++j) {
    const BoundRow& row = input.rows[j];
    if (fixed_) {
      if (row.field.source == FieldSource::kT) {
        AppendCutLeft(&line_, row.export_name, row.field.text_size);
      } else if (int width = FixedWidth(row.field.source); width > 0) {
        AppendCutRight(&line_, row.export_name, width);
      }
      continue;
    }
    std::string name(2 * row.export_name.size() + 2, '\0');
    name.resize(static_cast<size_t>(PutText(name.data(), row.export_name) - name.data()));
    if (quoted_) line_.push_back('"');
    line_ += name;
    if (quoted_) line_.append(j + 1 == input.rows.size() ? "\"" : "\",");
    else if (j + 1 < input.rows.size()) line_.push_back('\t');
  }
  if (fixed_) {
    std::replace_if(line_.begin(), line_.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  }
  line_.append("\r\n");
  return Write(line_);
}

namespace {

// The lines of each layout are made by a function of their own, so that the
// layout's tests are settled when it is compiled and not asked per value.
template <TextLayout L>
char* PutTextAs(char* p, std::string_view text) {
  if constexpr (L == TextLayout::kQuoted) return FormatCommaText(p, text);
  if constexpr (L == TextLayout::kFixed) return FormatFixedText(p, text);
  return FormatTabText(p, text);
}

template <TextLayout L>
constexpr int WidthAs(FieldSource source) {
  return L == TextLayout::kFixed ? FixedWidth(source) : 0;
}

// A stored text that holds a NUL, CR or LF: up to its first NUL (as the
// value of the field is), with the layout's quoting or blanking.
template <TextLayout L>
char* PutMarkedText(char* p, const BoundField& f, std::string_view stored) {
  const size_t nul = stored.find('\0');
  const std::string_view text = stored.substr(0, nul);
  if constexpr (L != TextLayout::kFixed) {
    return PutTextAs<L>(p, TrimSpaces(text));
  } else {
    // Padded to the field's length so a NUL never shifts later columns.
    char* end = FormatFixedText(p, text);
    const size_t pad = static_cast<size_t>(f.text_size) - text.size();
    std::memset(end, ' ', pad);
    return end + pad;
  }
}

// A text the run gives (module code, "Today's Date"...), written as it is.
char* PutPlain(char* p, std::string_view t) {
  if (!t.empty()) std::memcpy(p, t.data(), t.size());
  return p + t.size();
}

// One row's value at p as the layout writes it (no separators, no comma-type
// quotes); returns the end. There must be room for MaxFormattedBytes of the
// row's field and two quotes.
template <TextLayout L>
char* PutFieldAs(char* p, const BoundRow& row, const uint8_t* record, int32_t record_number,
                 const ValueContext& values) {
  // The fields are read here, without going through a FieldValue: this is
  // the inner loop of every text export.
  constexpr bool kFixed = L == TextLayout::kFixed;
  const BoundField& f = row.field;
  const uint8_t* at = record + f.offset;
  const int width = WidthAs<L>(f.source);
  const auto whole = [&](int64_t v) {
    return kFixed ? FormatInt(p, v, width) : FormatSigned(p, v);
  };
  switch (f.source) {
    case FieldSource::kNone: return p;
    case FieldSource::kI: return whole(LoadBigI16(at));
    case FieldSource::kL: return whole(LoadBigI32(at));
    case FieldSource::kY: return whole(*at);
    case FieldSource::kD:
      return kFixed ? FormatReal(p, LoadLittleDouble(at), width)
                    : FormatFixed(p, LoadLittleDouble(at), 6);
    case FieldSource::kF: return FormatTenThousandths(p, LoadBigI32(at), width);
    case FieldSource::kJ:
      DayNumberToDate(LoadBigI32(at), p);  // and a NUL, overwritten next
      return p + 10;
    case FieldSource::kCurrentRecord: return whole(record_number);
    case FieldSource::kFileNumber: return whole(values.file_number);
    case FieldSource::kModuleCode: return PutPlain(p, values.module_code);
    case FieldSource::kTodaysDate:
      return PutPlain(p, values.today != nullptr ? values.today->Text() : std::string_view());
    case FieldSource::kCompanyNumber:
      // Taken from a file name, so it may hold any byte; the comma types
      // have always written it as it is.
      if constexpr (L == TextLayout::kQuoted) return PutPlain(p, values.company);
      return PutTextAs<L>(p, values.company);
    case FieldSource::kT: {
      // Most texts hold nothing to quote or blank out and no NUL; the rest
      // go the long way.
      const std::string_view text(reinterpret_cast<const char*>(at),
                                  static_cast<size_t>(f.text_size));
      if (text.size() >= 8) {
        TextMarks marks;
        const size_t size = CopyPlainText<!kFixed>(p, text.data(), text.size(), &marks);
        if (marks == TextMarks::kNone) return p + size;
        if (marks == TextMarks::kQuotes) return PutTextAs<L>(p, text.substr(0, size));
      }
      if (HoldsMarks(text.data(), text.size(), !kFixed)) {
        // A quote but no NUL, CR or LF: quoted as the layout quotes.
        if (kFixed || HoldsMarks(text.data(), text.size(), false))
          return PutMarkedText<L>(p, f, text);
        return PutTextAs<L>(p, TrimSpaces(text));
      }
      const std::string_view out = kFixed ? text : TrimSpaces(text);
      if (!out.empty()) std::memcpy(p, out.data(), out.size());
      return p + out.size();
    }
  }
  return p;
}

template <TextLayout L>
char* FormatLineAs(char* p, const BoundRow* rows, size_t n, const uint8_t* record,
                   int32_t record_number, int32_t exported, const ValueContext& values) {
  if (exported > 1) {
    *p++ = '\r';
    *p++ = '\n';
  }
  for (size_t j = 0; j < n; ++j) {
    if constexpr (L == TextLayout::kQuoted) *p++ = '"';
    p = PutFieldAs<L>(p, rows[j], record, record_number, values);
    if constexpr (L == TextLayout::kQuoted) {
      *p++ = '"';
      *p++ = ',';
    } else if constexpr (L == TextLayout::kTab) {
      *p++ = '\t';
    }
  }
  // No separator after the last value.
  if (n > 0 && L != TextLayout::kFixed) --p;
  return p;
}

}  // namespace

char* TextWriter::PutText(char* p, std::string_view text) const {
  switch (type_.layout) {
    case TextLayout::kQuoted: return PutTextAs<TextLayout::kQuoted>(p, text);
    case TextLayout::kTab: return PutTextAs<TextLayout::kTab>(p, text);
    case TextLayout::kFixed: return PutTextAs<TextLayout::kFixed>(p, text);
  }
  return p;
}

char* TextWriter::FormatLine(char* p, const uint8_t* record, int32_t record_number,
                             int32_t exported, const ValueContext& values) const {
  const BoundRow* rows = input_->rows.data();
  const size_t n = input_->rows.size();
  switch (type_.layout) {
    case TextLayout::kQuoted:
      return FormatLineAs<TextLayout::kQuoted>(p, rows, n, record, record_number, exported, values);
    case TextLayout::kTab:
      return FormatLineAs<TextLayout::kTab>(p, rows, n, record, record_number, exported, values);
    case TextLayout::kFixed:
      return FormatLineAs<TextLayout::kFixed>(p, rows, n, record, record_number, exported, values);
  }
  return p;
}

Status TextWriter::WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) {
  char* const begin = block_.data();
  char* const end = FormatLine(begin + block_used_, record, record_number, exported, input_->values);
  block_used_ = static_cast<size_t>(end - begin);
  ++block_records_;
  const bool full = block_used_ >= kBlockBytes ||
                    (records_per_block_ > 0 && block_records_ >= records_per_block_);
  return full ? WriteBlock() : write_status_;
}

Status TextWriter::WriteFormatted(std::string_view bytes) {
  if (Status s = WriteBlock(); !s.ok()) return s;
  return WriteBytes(bytes);
}

Status TextWriter::WriteBlock() {
  const size_t used = block_used_;
  block_used_ = 0;
  block_records_ = 0;
  return used == 0 ? write_status_ : Write(std::string_view(block_.data(), used));
}

namespace {

// A text writer's lines, made on another thread: the writer's set-up is
// shared, the clock of "Today's Date" is the formatter's own.
class TextLineFormatter : public RecordFormatter {
 public:
  TextLineFormatter(const TextWriter& writer, const ValueContext& values)
      : writer_(writer), today_(values.today != nullptr ? values.today->now() : nullptr),
        values_(values), line_(writer.LongestLine(), '\0') {
    values_.today = &today_;
  }

  char* Format(const uint8_t* record, int32_t record_number, int32_t exported,
               char* out) override {
    if (!writer_.utf8_output())
      return writer_.FormatLine(out, record, record_number, exported, values_);
    // Converted here too, so that the writing thread only writes.
    char* end = writer_.FormatLine(line_.data(), record, record_number, exported, values_);
    return Cp1252ToUtf8(out, std::string_view(line_.data(), static_cast<size_t>(end - line_.data())));
  }
  size_t MaxBytes() const override {
    return writer_.utf8_output() ? kMaxUtf8BytesPerCp1252Byte * line_.size() : line_.size();
  }

 private:
  const TextWriter& writer_;
  TodayClock today_;
  ValueContext values_;
  std::string line_;  // UTF-8: the Windows-1252 line before it is converted
};

}  // namespace

std::unique_ptr<RecordFormatter> TextWriter::NewFormatter() const {
  if (input_ == nullptr) return nullptr;
  return std::make_unique<TextLineFormatter>(*this, input_->values);
}

Status TextWriter::Finish() {
  Status s = WriteBlock();
  if (s.ok()) s = Write("\r\n");
  if (stream_ != nullptr) {
    if (s.ok()) {
      if (Status closed = stream_->Close(); !closed.ok())
        s = Failed(MessageId::kFileWriteFail, kStandardOutput, closed);
    }
    out_ = nullptr;
    return s;
  }
  if (s.ok() && replacement_) {
    if (Status c = replacement_->Commit(); !c.ok()) s = Failed(MessageId::kFileWriteFail, path_, c);
    replacement_.reset();
  } else if (s.ok() && direct_) {
    if (Status c = direct_->Close(); !c.ok()) s = Failed(MessageId::kFileWriteFail, path_, c);
    if (!s.ok() && append_) env_->Truncate(path_, original_size_).IgnoreError();
    direct_.reset();
  }
  if (!s.ok()) Abort();
  out_ = nullptr;
  return s;
}

void TextWriter::Abort() {
  if (replacement_) replacement_->Abandon();
  replacement_.reset();
  if (direct_) {
    direct_->Close().IgnoreError();
    if (append_) env_->Truncate(path_, original_size_).IgnoreError();
  }
  direct_.reset();
  out_ = nullptr;
}

}  // namespace rh
