#include "export/insert_builder.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "base/bytes.h"
#include "base/numbers.h"
#include "export/value_format.h"

namespace rh {

namespace {

// The dBase driver makes a DOUBLE column N(19,6).
constexpr int kDBaseNumberWidth = 19;

// A text between single quotes, each of its single quotes doubled.
char* PutQuoted(char* p, std::string_view text) {
  *p++ = '\'';
  if (text.empty()) {
    // Nothing to copy; an empty view may hold no pointer at all.
  } else if (std::memchr(text.data(), '\'', text.size()) == nullptr) {
    std::memcpy(p, text.data(), text.size());
    p += text.size();
  } else {
    for (char c : text) {
      *p++ = c;
      if (c == '\'') *p++ = '\'';
    }
  }
  *p++ = '\'';
  return p;
}

char* PutValueText(char* p, const FieldValue& v) {
  switch (v.source) {
    case FieldSource::kCurrentRecord:
    case FieldSource::kI:
    case FieldSource::kY:
    case FieldSource::kL: return FormatInt(p, v.integer);
    case FieldSource::kFileNumber:
      *p++ = '\'';
      p = FormatInt(p, v.integer);
      *p++ = '\'';
      return p;
    case FieldSource::kD: return FormatReal(p, v.real);
    case FieldSource::kF: return FormatTenThousandths(p, v.integer);
    case FieldSource::kModuleCode:
    case FieldSource::kTodaysDate:
    case FieldSource::kCompanyNumber:
    case FieldSource::kT:
    case FieldSource::kJ: return PutQuoted(p, v.text());
    case FieldSource::kNone: break;
  }
  return p;
}

char* PutIsoDate(char* p, const CalendarDate& date) {
  const std::string iso = IsoDate(date);
  return PutQuoted(p, iso);
}

char* PutNull(char* p) {
  std::memcpy(p, "NULL", 4);
  return p + 4;
}

// A stored text of n >= 8 bytes between single quotes, when it holds
// neither a NUL (where it would end) nor a quote (which would be doubled),
// as most do: copied and checked eight bytes at a time in one pass, the
// last word ending with the text. Returns nullptr otherwise, having written
// bytes that the caller writes over.
char* PutPlainQuoted(char* p, const uint8_t* text, size_t n) {
  uint64_t marks = 0;
  const auto take = [&](size_t at) {
    uint64_t w;
    std::memcpy(&w, text + at, 8);
    std::memcpy(p + 1 + at, &w, 8);
    marks |= ZeroBytes(w) | BytesEqual(w, '\'');
  };
  size_t i = 0;
  for (; i + 8 <= n; i += 8) take(i);
  if (i < n) take(n - 8);
  if (marks != 0) return nullptr;
  p[0] = '\'';
  p[n + 1] = '\'';
  return p + n + 2;
}

// A value of a typed table: a date as 'YYYY-MM-DD', or NULL where the day
// number shows no date; a text without its trailing blanks.
char* PutTypedValue(char* p, const FieldValue& v, const ValueContext& values) {
  switch (v.source) {
    case FieldSource::kJ: {
      const auto date = DayNumberDate(v.integer);
      return date ? PutIsoDate(p, *date) : PutNull(p);
    }
    case FieldSource::kTodaysDate:
      return values.today != nullptr ? PutIsoDate(p, values.today->Date()) : PutNull(p);
    case FieldSource::kT: {
      std::string_view t = v.text();
      while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
      return PutQuoted(p, t);
    }
    default: return PutValueText(p, v);
  }
}

}  // namespace

InsertBuilder::InsertBuilder(TableTarget target, bool typed, const WriterInput& input,
                             std::string prefix)
    : target_(target), typed_(typed), input_(input), prefix_(std::move(prefix)) {
  max_bytes_ = prefix_.size() + 2;
  for (size_t i = 0; i < input.rows.size(); ++i) {
    const BoundField& field = input.rows[i].field;
    max_bytes_ += MaxFormattedBytes(field.source, field.text_size) + 3;  // quotes, comma
    if (field.source == FieldSource::kD) real_rows_.push_back(i);
  }
}

char* InsertBuilder::Build(char* out, const uint8_t* record, int32_t record_number,
                           const ValueContext& values, std::vector<uint32_t>* cut_rows) const {
  cut_rows->clear();
  std::memcpy(out, prefix_.data(), prefix_.size());
  char* p = out + prefix_.size();
  bool first = true;
  for (size_t i = 0; i < input_.rows.size(); ++i) {
    const BoundRow& row = input_.rows[i];
    if (row.field.source == FieldSource::kNone) continue;
    if (!first) *p++ = ',';
    first = false;
    // Numbers are read and written here, without a FieldValue: this is
    // the inner loop of the table exports.
    const uint8_t* const at = record + row.field.offset;
    switch (row.field.source) {
      case FieldSource::kI: p = FormatSigned(p, LoadBigI16(at)); continue;
      case FieldSource::kL: p = FormatSigned(p, LoadBigI32(at)); continue;
      case FieldSource::kY: p = FormatSigned(p, *at); continue;
      case FieldSource::kCurrentRecord: p = FormatSigned(p, record_number); continue;
      case FieldSource::kD: p = FormatFixed(p, LoadLittleDouble(at), 6); continue;
      case FieldSource::kF: p = FormatTenThousandths(p, LoadBigI32(at)); continue;
      case FieldSource::kJ:
        if (typed_) break;  // an ISO date, or NULL
        *p = '\'';
        DayNumberToDate(LoadBigI32(at), p + 1);  // and a NUL, where the quote goes
        p[11] = '\'';
        p += 12;
        continue;
      default: break;
    }
    // Texts as stored, which no dBase field cuts, take the short way.
    const auto n = static_cast<size_t>(row.field.text_size);
    if (row.field.source == FieldSource::kT && !typed_ && n >= 8 && n <= kDBaseTextWidth) {
      if (char* end = PutPlainQuoted(p, at, n)) {
        p = end;
        continue;
      }
    }
    FieldValue v = GetValue(record, record_number, row.field, values);
    if (target_ == TableTarget::kDBase && v.source == FieldSource::kT &&
        v.text().size() > kDBaseTextWidth) {
      // A character field is blank-filled: cutting blanks loses nothing.
      if (v.text().find_first_not_of(' ', kDBaseTextWidth) != std::string_view::npos)
        cut_rows->push_back(static_cast<uint32_t>(i));
      v.SetText(v.text().substr(0, kDBaseTextWidth));
    }
    p = typed_ ? PutTypedValue(p, v, values) : PutValueText(p, v);
  }
  *p++ = ')';
  return p;
}

std::optional<UnstorableValue> InsertBuilder::FindUnstorable(const uint8_t* record,
                                                             int32_t record_number,
                                                             const ValueContext& values) const {
  for (size_t i : real_rows_) {
    const double v = GetValue(record, record_number, input_.rows[i].field, values).real;
    if (!std::isfinite(v) || (target_ == TableTarget::kDBase && !NumberFits(v, kDBaseNumberWidth)))
      return UnstorableValue{i, v};
  }
  return std::nullopt;
}

std::string InsertBuilder::WhyUnstorable(double v) const {
  if (std::isnan(v)) return MessageText(MessageId::kDetailNaN);
  if (std::isinf(v)) return MessageText(MessageId::kDetailInfinity, {v < 0 ? "-" : ""});
  char text[32];
  auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 15);
  return MessageText(MessageId::kDetailNumberTooWide,
                     {std::string_view(text, static_cast<size_t>(r.ptr - text)),
                      std::to_string(kDBaseNumberWidth)});
}

}  // namespace rh
