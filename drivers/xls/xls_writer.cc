#include "drivers/xls/xls_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "base/bytes.h"
#include "base/cp1252.h"
#include "drivers/xls/cfb_writer.h"

namespace rh::xls {

namespace {

// Record types.
constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kCodepage = 0x0042;
constexpr uint16_t kWindow1 = 0x003D;
constexpr uint16_t kFont = 0x0031;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kStyle = 0x0293;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kSupBook = 0x01AE;
constexpr uint16_t kExternSheet = 0x0017;
constexpr uint16_t kName = 0x0018;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kExtSst = 0x00FF;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kWindow2 = 0x023E;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kRk = 0x027E;

constexpr size_t kMaxRecordData = 8224;
constexpr uint16_t kCellXf = 15;  // the first XF after the 15 style XFs
constexpr uint16_t kDateXf = 16;  // the date style's XF, after it
constexpr uint16_t kDateFormat = 164;  // the first number format of our own
constexpr std::string_view kDateFormatText = "mm/dd/yyyy";

void PutU8(std::string* out, uint8_t v) { out->push_back(static_cast<char>(v)); }
void PutU16(std::string* out, uint16_t v) { PutLittleU16(out, v); }
void PutU32(std::string* out, uint32_t v) { PutLittleU32(out, v); }

void PutRecord(std::string* out, uint16_t type, std::string_view data) {
  PutU16(out, type);
  PutU16(out, static_cast<uint16_t>(data.size()));
  out->append(data);
}

// A text as BIFF8 stores it: one byte per character when every character
// fits in Latin-1 ("compressed"), else UTF-16LE.
struct WideText {
  std::u16string units;
  bool compressed = true;

  explicit WideText(std::string_view cp1252) : units(Cp1252ToUtf16(cp1252)) {
    for (char16_t u : units)
      if (u > 0xFF) compressed = false;
  }
  size_t char_size() const { return compressed ? 1 : 2; }
  void PutChars(std::string* out, size_t from, size_t count) const {
    for (size_t i = from; i < from + count; ++i) {
      if (compressed) PutU8(out, static_cast<uint8_t>(units[i]));
      else PutU16(out, units[i]);
    }
  }
};

// Flags byte and characters, after a length written by the caller.
void PutUnicodeBody(std::string* out, const WideText& t) {
  PutU8(out, t.compressed ? 0 : 1);
  t.PutChars(out, 0, t.units.size());
}

std::string Bof(uint16_t kind) {
  std::string d;
  PutU16(&d, 0x0600);  // BIFF8
  PutU16(&d, kind);
  PutU16(&d, 0x0DBB);  // build
  PutU16(&d, 0x07CC);  // year
  PutU32(&d, 0);
  PutU32(&d, 0x06);    // lowest version that can read the file
  return d;
}

std::string Window1() {
  std::string d;
  PutU16(&d, 0x0168);  // position and size, in twips
  PutU16(&d, 0x001E);
  PutU16(&d, 0x3A5C);
  PutU16(&d, 0x23BE);
  PutU16(&d, 0x0038);  // scroll bars and sheet tabs shown
  PutU16(&d, 0);       // active sheet
  PutU16(&d, 0);       // first visible tab
  PutU16(&d, 1);       // selected sheets
  PutU16(&d, 0x0258);  // tab bar width ratio
  return d;
}

std::string Font() {
  std::string d;
  PutU16(&d, 200);     // 10 point
  PutU16(&d, 0);
  PutU16(&d, 0x7FFF);  // automatic colour
  PutU16(&d, 400);     // normal weight
  PutU16(&d, 0);
  PutU8(&d, 0);
  PutU8(&d, 0);
  PutU8(&d, 0);
  PutU8(&d, 0);
  static constexpr std::string_view kFace = "Arial";
  PutU8(&d, static_cast<uint8_t>(kFace.size()));
  PutUnicodeBody(&d, WideText(kFace));
  return d;
}

std::string Xf(bool style, uint16_t number_format = 0) {
  std::string d;
  PutU16(&d, 0);                       // font
  PutU16(&d, number_format);           // 0: General
  PutU16(&d, style ? 0xFFF5 : 0x0001); // style XF / cell XF with parent 0
  PutU8(&d, 0x20);                     // bottom-aligned
  PutU8(&d, 0);
  PutU8(&d, 0);
  // Cell XF: attributes of its own, its number format too when it has one.
  PutU8(&d, style ? 0 : number_format != 0 ? 0xFC : 0xF8);
  PutU32(&d, 0);                       // no borders
  PutU32(&d, 0);
  PutU16(&d, 0x20C0);                  // default pattern colours
  return d;
}

// The table's range A1:<last column><last row> as a 3-D area on sheet 0,
// through EXTERNSHEET entry 0.
std::string NameRecord(const WideText& name, int rows, int columns) {
  std::string formula;
  PutU8(&formula, 0x3B);  // ptgArea3d, reference class
  PutU16(&formula, 0);
  PutU16(&formula, 0);
  PutU16(&formula, static_cast<uint16_t>(rows - 1));
  PutU16(&formula, 0);     // absolute row and column
  PutU16(&formula, static_cast<uint16_t>(columns - 1));
  std::string d;
  PutU16(&d, 0);           // a user-defined, visible name
  PutU8(&d, 0);            // no keyboard shortcut
  PutU8(&d, static_cast<uint8_t>(name.units.size()));
  PutU16(&d, static_cast<uint16_t>(formula.size()));
  PutU16(&d, 0);
  PutU16(&d, 0);           // workbook-level
  d.append(4, '\0');       // no menu, description, help or status texts
  PutUnicodeBody(&d, name);
  d.append(formula);
  return d;
}

// Builds the SST record with its CONTINUE records, and the EXTSST that
// indexes it. `base` is the stream position at which the SST starts.
class SstBuilder {
 public:
  SstBuilder(uint32_t total, uint32_t unique, size_t base)
      : base_(base), bucket_size_(unique / 128 + 8) {
    PutU32(&data_, total);
    PutU32(&data_, unique);
    PutU16(&extsst_, static_cast<uint16_t>(bucket_size_));
  }

  void Add(const WideText& t) {
    size_t cs = t.char_size();
    // A string's header and its first character share one record.
    size_t first = t.units.empty() ? 0 : cs;
    if (data_.size() + 3 + first > kMaxRecordData) StartContinue();
    if (count_++ % bucket_size_ == 0) {
      PutU32(&extsst_, static_cast<uint32_t>(base_ + out_.size() + 4 + data_.size()));
      PutU16(&extsst_, static_cast<uint16_t>(4 + data_.size()));
      PutU16(&extsst_, 0);
    }
    PutU16(&data_, static_cast<uint16_t>(t.units.size()));
    PutU8(&data_, t.compressed ? 0 : 1);
    size_t done = 0;
    while (done < t.units.size()) {
      size_t room = (kMaxRecordData - data_.size()) / cs;
      if (room == 0) {
        StartContinue();
        PutU8(&data_, t.compressed ? 0 : 1);  // continued characters
        continue;
      }
      size_t n = std::min(room, t.units.size() - done);
      t.PutChars(&data_, done, n);
      done += n;
    }
  }

  // SST and CONTINUE records, then EXTSST.
  std::string Finish() {
    PutRecord(&out_, type_, data_);
    PutRecord(&out_, kExtSst, extsst_);
    return std::move(out_);
  }

 private:
  void StartContinue() {
    PutRecord(&out_, type_, data_);
    data_.clear();
    type_ = kContinue;
  }

  size_t base_;
  uint32_t bucket_size_;
  uint32_t count_ = 0;
  uint16_t type_ = kSst;
  std::string data_;    // the open record's data
  std::string out_;     // finished records
  std::string extsst_;
};

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool LooksLikeCellReference(std::string_view n) {
  size_t i = 0;
  while (i < n.size() && IsAsciiLetter(n[i])) ++i;
  size_t letters = i;
  while (i < n.size() && IsAsciiDigit(n[i])) ++i;
  if (i == n.size() && letters >= 1 && letters <= 3 && letters < n.size())
    return true;  // A1 style
  // R1C1 style: R, C, RC, R5, C7, R5C7.
  i = 0;
  if (i < n.size() && (n[i] == 'R' || n[i] == 'r')) {
    ++i;
    while (i < n.size() && IsAsciiDigit(n[i])) ++i;
  }
  if (i < n.size() && (n[i] == 'C' || n[i] == 'c')) {
    ++i;
    while (i < n.size() && IsAsciiDigit(n[i])) ++i;
  }
  return i == n.size();
}

}  // namespace

bool IsValidTableName(std::string_view name) {
  if (name.empty() || name.size() > 31) return false;
  if (!IsAsciiLetter(name[0]) && name[0] != '_') return false;
  for (char c : name)
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_' && c != '.')
      return false;
  return !LooksLikeCellReference(name);
}

Result<std::unique_ptr<SheetWriter>> SheetWriter::Create(
    std::string table_name, const std::vector<std::string>& column_names, bool date_style) {
  if (!IsValidTableName(table_name))
    return Status::Sql("42000", "'" + table_name +
                                      "' is not a valid worksheet table name");
  if (column_names.empty() || column_names.size() > kMaxColumns)
    return Status::Sql("54011", "a worksheet table holds 1 to 256 columns");
  for (const std::string& name : column_names)
    if (name.size() > kMaxTextLength)
      return Status::Sql("22001", "column name too long for a cell");
  std::unique_ptr<SheetWriter> w(
      new SheetWriter(std::move(table_name), static_cast<int>(column_names.size())));
  for (size_t c = 0; c < column_names.size(); ++c)
    w->PutTextCell(0, static_cast<int>(c), column_names[c]);
  w->rows_ = 1;
  w->date_style_ = date_style;
  return w;
}

SheetWriter::SheetWriter(std::string table_name, int column_count)
    : table_name_(std::move(table_name)), column_count_(column_count) {}

Status SheetWriter::AddRow(std::span<const Cell> cells) {
  if (rows_ >= kMaxSheetRows)
    return Status::Sql("HY000", "the worksheet is full (65536 rows)");
  if (cells.size() > static_cast<size_t>(column_count_))
    return Status::Sql("21S01", "more values than columns");
  for (const Cell& cell : cells) {
    if (cell.kind == Cell::Kind::kText && cell.text.size() > kMaxTextLength)
      return Status::Sql("22001", "text too long for a cell (32767 characters)");
    if (cell.kind == Cell::Kind::kDate && !date_style_)
      return Status::Sql("HY000", "a date cell in a workbook without the date style");
  }
  for (size_t c = 0; c < cells.size(); ++c) {
    const Cell& cell = cells[c];
    const int col = static_cast<int>(c);
    if (cell.kind == Cell::Kind::kText) PutTextCell(rows_, col, cell.text);
    else if (cell.kind == Cell::Kind::kNumber) PutNumberCell(rows_, col, cell.number, kCellXf);
    else if (cell.kind == Cell::Kind::kDate) PutNumberCell(rows_, col, cell.number, kDateXf);
  }
  ++rows_;
  return Status();
}

uint32_t SheetWriter::StringIndex(std::string_view text) {
  ++string_refs_;
  if (auto it = string_index_.find(text); it != string_index_.end()) return it->second;
  auto index = static_cast<uint32_t>(strings_.size());
  auto it = string_index_.emplace(std::string(text), index).first;
  strings_.push_back(&it->first);
  return index;
}

void SheetWriter::PutTextCell(int row, int col, std::string_view text) {
  uint32_t index = StringIndex(text);
  uint8_t rec[14];
  StoreLittleU16(rec, kLabelSst);
  StoreLittleU16(rec + 2, 10);
  StoreLittleU16(rec + 4, static_cast<uint16_t>(row));
  StoreLittleU16(rec + 6, static_cast<uint16_t>(col));
  StoreLittleU16(rec + 8, kCellXf);
  StoreLittleU32(rec + 10, index);
  cells_.append(reinterpret_cast<const char*>(rec), sizeof rec);
}

void SheetWriter::PutNumberCell(int row, int col, double v, uint16_t xf) {
  uint8_t rec[18];
  StoreLittleU16(rec + 4, static_cast<uint16_t>(row));
  StoreLittleU16(rec + 6, static_cast<uint16_t>(col));
  StoreLittleU16(rec + 8, xf);
  // An RK value holds a 30-bit integer, or a double whose low 34 bits are 0.
  uint64_t bits = std::bit_cast<uint64_t>(v);
  if (std::isfinite(v) && v == std::trunc(v) && v >= -536870912.0 &&
      v <= 536870911.0) {
    StoreLittleU32(rec + 10, (static_cast<uint32_t>(static_cast<int32_t>(v)) << 2) | 2);
  } else if ((bits & 0x3FFFFFFFFULL) == 0) {
    StoreLittleU32(rec + 10, static_cast<uint32_t>(bits >> 32));
  } else {
    StoreLittleU16(rec, kNumber);
    StoreLittleU16(rec + 2, 14);
    StoreLittleDouble(rec + 10, v);
    cells_.append(reinterpret_cast<const char*>(rec), 18);
    return;
  }
  StoreLittleU16(rec, kRk);
  StoreLittleU16(rec + 2, 10);
  cells_.append(reinterpret_cast<const char*>(rec), 14);
}

Status SheetWriter::Write(WritableFile* file) const {
  WideText table_name(table_name_);
  std::string g;  // workbook globals; offsets in it are stream positions
  PutRecord(&g, kBof, Bof(0x0005));
  std::string codepage;
  PutU16(&codepage, 1200);  // UTF-16
  PutRecord(&g, kCodepage, codepage);
  PutRecord(&g, kWindow1, Window1());
  for (int i = 0; i < 4; ++i) PutRecord(&g, kFont, Font());
  if (date_style_) {
    std::string format;
    PutU16(&format, kDateFormat);
    PutU16(&format, static_cast<uint16_t>(kDateFormatText.size()));
    PutUnicodeBody(&format, WideText(kDateFormatText));
    PutRecord(&g, kFormat, format);
  }
  for (int i = 0; i < 15; ++i) PutRecord(&g, kXf, Xf(true));
  PutRecord(&g, kXf, Xf(false));
  if (date_style_) PutRecord(&g, kXf, Xf(false, kDateFormat));
  std::string style;
  PutU16(&style, 0x8000);  // built-in style on XF 0
  PutU8(&style, 0);        // Normal
  PutU8(&style, 0xFF);
  PutRecord(&g, kStyle, style);

  std::string sheet;
  PutU32(&sheet, 0);  // position of the sheet's BOF, patched below
  PutU16(&sheet, 0);  // visible worksheet
  PutU8(&sheet, static_cast<uint8_t>(table_name.units.size()));
  PutUnicodeBody(&sheet, table_name);
  size_t sheet_pos_at = g.size() + 4;
  PutRecord(&g, kBoundSheet, sheet);

  std::string supbook;
  PutU16(&supbook, 1);       // sheets in this workbook
  PutU16(&supbook, 0x0401);  // own workbook
  PutRecord(&g, kSupBook, supbook);
  std::string extern_sheet;
  PutU16(&extern_sheet, 1);
  PutU16(&extern_sheet, 0);  // SUPBOOK 0, sheets 0 to 0
  PutU16(&extern_sheet, 0);
  PutU16(&extern_sheet, 0);
  PutRecord(&g, kExternSheet, extern_sheet);
  PutRecord(&g, kName, NameRecord(table_name, rows_, column_count_));

  SstBuilder sst(string_refs_, static_cast<uint32_t>(strings_.size()), g.size());
  for (const std::string* s : strings_) sst.Add(WideText(*s));
  g.append(sst.Finish());
  PutRecord(&g, kEof, {});
  StoreLittleU32(reinterpret_cast<uint8_t*>(g.data()) + sheet_pos_at,
                 static_cast<uint32_t>(g.size()));

  std::string head;
  PutRecord(&head, kBof, Bof(0x0010));
  std::string dim;
  PutU32(&dim, 0);
  PutU32(&dim, static_cast<uint32_t>(rows_));  // one past the last row
  PutU16(&dim, 0);
  PutU16(&dim, static_cast<uint16_t>(column_count_));
  PutU16(&dim, 0);
  PutRecord(&head, kDimensions, dim);

  std::string tail;
  std::string window2;
  PutU16(&window2, 0x06B6);  // grid, headers, zeros, outline; selected
  PutU16(&window2, 0);
  PutU16(&window2, 0);
  PutU32(&window2, 0x40);    // default grid colour
  window2.append(8, '\0');
  PutRecord(&tail, kWindow2, window2);
  PutRecord(&tail, kEof, {});

  size_t size = g.size() + head.size() + cells_.size() + tail.size();
  if (size < kMinRegularStreamSize) tail.append(kMinRegularStreamSize - size, '\0');
  return WriteCompoundFile(file, "Workbook", {g, head, cells_, tail});
}

}  // namespace rh::xls
