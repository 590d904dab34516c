#include "tests/drivers/xls/xls_test_reader.h"

#include <bit>
#include <cstring>

namespace rh::xls::testing {

namespace {

uint16_t U16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) |
                               (static_cast<uint8_t>(s[at + 1]) << 8));
}
uint32_t U32(const std::string& s, size_t at) {
  return uint32_t{U16(s, at)} | (uint32_t{U16(s, at + 2)} << 16);
}
uint64_t U64(const std::string& s, size_t at) {
  return uint64_t{U32(s, at)} | (uint64_t{U32(s, at + 4)} << 32);
}

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;

bool Fail(std::string* error, std::string text) {
  *error = std::move(text);
  return false;
}

// SST strings across their SST and CONTINUE records.
class SstReader {
 public:
  explicit SstReader(std::vector<const Record*> records) : records_(std::move(records)) {}

  bool Read(std::u16string* out, size_t* abs_pos, size_t* rec_offset, std::string* error) {
    if (off_ == Data().size()) {
      ++rec_;
      off_ = 0;
    }
    if (rec_ >= records_.size()) return Fail(error, "SST ends early");
    if (off_ + 3 > Data().size()) return Fail(error, "string header split");
    *abs_pos = records_[rec_]->pos + 4 + off_;
    *rec_offset = 4 + off_;
    size_t cch = U16(Data(), off_);
    bool wide = Data()[off_ + 2] & 1;
    off_ += 3;
    out->clear();
    while (out->size() < cch) {
      if (off_ == Data().size()) {
        if (++rec_ >= records_.size()) return Fail(error, "SST ends inside a string");
        off_ = 0;
        wide = Data()[off_++] & 1;  // continued characters get a new flag
      }
      if (wide) {
        if (off_ + 2 > Data().size()) return Fail(error, "character split");
        out->push_back(static_cast<char16_t>(U16(Data(), off_)));
        off_ += 2;
      } else {
        out->push_back(static_cast<uint8_t>(Data()[off_++]));
      }
    }
    return true;
  }

 private:
  const std::string& Data() const { return records_[rec_]->data; }
  std::vector<const Record*> records_;
  size_t rec_ = 0;
  size_t off_ = 8;  // after the two counts
};

std::u16string UnicodeChars(const std::string& d, size_t at, size_t cch) {
  bool wide = d[at] & 1;
  std::u16string out;
  for (size_t i = 0; i < cch; ++i)
    out.push_back(wide ? static_cast<char16_t>(U16(d, at + 1 + 2 * i))
                       : static_cast<uint8_t>(d[at + 1 + i]));
  return out;
}

double RkValue(uint32_t rk) {
  double v = (rk & 2) ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                      : std::bit_cast<double>(uint64_t{rk & 0xFFFFFFFCu} << 32);
  return (rk & 1) ? v / 100 : v;
}

}  // namespace

bool ReadCompoundStream(const std::string& f, std::string* stream, std::string* error) {
  static const char kSig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  if (f.size() < 512 || std::memcmp(f.data(), kSig, 8) != 0)
    return Fail(error, "no compound file signature");
  if (U16(f, 0x1E) != 9 || U16(f, 0x1A) != 3) return Fail(error, "not version 3");
  if ((f.size() - 512) % 512 != 0) return Fail(error, "file not whole sectors");
  uint32_t sectors = static_cast<uint32_t>((f.size() - 512) / 512);
  auto sector = [&](uint32_t i) { return f.substr(512 + size_t{i} * 512, 512); };
  uint32_t num_fat = U32(f, 0x2C);
  std::vector<uint32_t> fat_sectors;
  for (uint32_t k = 0; k < num_fat && k < 109; ++k) fat_sectors.push_back(U32(f, 0x4C + 4 * k));
  uint32_t difat = U32(f, 0x44);
  std::vector<uint32_t> difat_sectors;
  for (uint32_t n = 0; n < U32(f, 0x48); ++n) {
    if (difat >= sectors) return Fail(error, "DIFAT sector out of range");
    difat_sectors.push_back(difat);
    std::string s = sector(difat);
    for (int k = 0; k < 127 && fat_sectors.size() < num_fat; ++k)
      fat_sectors.push_back(U32(s, 4 * static_cast<size_t>(k)));
    difat = U32(s, 508);
  }
  if (fat_sectors.size() != num_fat) return Fail(error, "FAT sectors missing");
  std::vector<uint32_t> fat;
  for (uint32_t fs : fat_sectors) {
    if (fs >= sectors) return Fail(error, "FAT sector out of range");
    std::string s = sector(fs);
    for (int k = 0; k < 128; ++k) fat.push_back(U32(s, 4 * static_cast<size_t>(k)));
  }
  for (uint32_t fs : fat_sectors)
    if (fat[fs] != 0xFFFFFFFD) return Fail(error, "FAT sector not marked");
  for (uint32_t ds : difat_sectors)
    if (fat[ds] != 0xFFFFFFFC) return Fail(error, "DIFAT sector not marked");
  auto chain = [&](uint32_t start, std::string* out) {
    for (uint32_t s = start, n = 0; s != kEndOfChain; s = fat[s], ++n) {
      if (s >= sectors || s >= fat.size() || n > sectors) return false;
      out->append(sector(s));
    }
    return true;
  };
  std::string dir;
  if (!chain(U32(f, 0x30), &dir)) return Fail(error, "broken directory chain");
  for (size_t e = 0; e + 128 <= dir.size(); e += 128) {
    std::string name;
    for (size_t i = 0; i + 2 < U16(dir, e + 64); i += 2) name.push_back(dir[e + i]);
    if (name != "Workbook" || dir[e + 66] != 2) continue;
    uint32_t size = U32(dir, e + 120);
    if (size < 4096) return Fail(error, "stream belongs in the mini stream");
    std::string data;
    if (!chain(U32(dir, e + 116), &data)) return Fail(error, "broken stream chain");
    if (data.size() < size) return Fail(error, "stream chain too short");
    data.resize(size);
    *stream = std::move(data);
    return true;
  }
  return Fail(error, "no Workbook stream");
}

std::vector<Record> ParseRecords(const std::string& s, size_t from) {
  std::vector<Record> out;
  for (size_t pos = from; pos + 4 <= s.size();) {
    uint16_t len = U16(s, pos + 2);
    if (pos + 4 + len > s.size()) break;
    out.push_back({U16(s, pos), pos, s.substr(pos + 4, len)});
    pos += 4 + len;
    if (out.back().type == 0x000A) break;  // EOF
  }
  return out;
}

bool ReadWorkbook(const std::string& file, Workbook* wb, std::string* error) {
  std::string stream;
  if (!ReadCompoundStream(file, &stream, error)) return false;
  std::vector<Record> globals = ParseRecords(stream);
  if (globals.empty() || globals[0].type != 0x0809 || U16(globals[0].data, 2) != 5)
    return Fail(error, "no workbook BOF");
  if (globals.back().type != 0x000A) return Fail(error, "no workbook EOF");
  size_t sheet_pos = 0;
  std::vector<const Record*> sst_records;
  const Record* extsst = nullptr;
  for (size_t i = 0; i < globals.size(); ++i) {
    const Record& r = globals[i];
    if (r.data.size() > 8224) return Fail(error, "record too long");
    switch (r.type) {
      case 0x0042: wb->codepage = U16(r.data, 0); break;
      case 0x0085: {
        sheet_pos = U32(r.data, 0);
        std::u16string name = UnicodeChars(r.data, 7, static_cast<uint8_t>(r.data[6]));
        wb->sheet_name.assign(name.begin(), name.end());
        break;
      }
      case 0x0018: {
        size_t cch = static_cast<uint8_t>(r.data[3]);
        if (U16(r.data, 8) != 0) return Fail(error, "defined name not workbook-level");
        wb->defined_name = UnicodeChars(r.data, 14, cch);
        size_t f = 15 + cch * ((r.data[14] & 1) ? 2 : 1);
        if (U16(r.data, 4) != 11 || static_cast<uint8_t>(r.data[f]) != 0x3B)
          return Fail(error, "defined name is not one 3-D area");
        if (U16(r.data, f + 3) != 0 || U16(r.data, f + 7) != 0)
          return Fail(error, "defined name does not start at A1");
        wb->name_rows = U16(r.data, f + 5) + 1;
        wb->name_cols = (U16(r.data, f + 9) & 0xFF) + 1;
        break;
      }
      case 0x00FC:
        sst_records.push_back(&r);
        for (size_t k = i + 1; k < globals.size() && globals[k].type == 0x003C; ++k)
          sst_records.push_back(&globals[k]);
        break;
      case 0x00FF: extsst = &r; break;
    }
  }
  if (sst_records.empty() || !extsst) return Fail(error, "no SST or EXTSST");
  uint32_t unique = U32(sst_records[0]->data, 4);
  uint16_t bucket = U16(extsst->data, 0);
  if (bucket == 0) return Fail(error, "EXTSST bucket size 0");
  SstReader sst(sst_records);
  for (uint32_t i = 0; i < unique; ++i) {
    std::u16string s;
    size_t abs_pos = 0, rec_offset = 0;
    if (!sst.Read(&s, &abs_pos, &rec_offset, error)) return false;
    if (i % bucket == 0) {
      size_t e = 2 + 8 * (i / bucket);
      if (e + 8 > extsst->data.size()) return Fail(error, "EXTSST too short");
      if (U32(extsst->data, e) != abs_pos || U16(extsst->data, e + 4) != rec_offset)
        return Fail(error, "EXTSST entry " + std::to_string(i / bucket) + " is off");
    }
    wb->sst.push_back(std::move(s));
  }
  std::vector<Record> sheet = ParseRecords(stream, sheet_pos);
  if (sheet.empty() || sheet[0].type != 0x0809 || U16(sheet[0].data, 2) != 0x10)
    return Fail(error, "BOUNDSHEET does not point at a worksheet BOF");
  if (sheet.back().type != 0x000A) return Fail(error, "no worksheet EOF");
  for (const Record& r : sheet) {
    if (r.type == 0x0200) {
      wb->dim_rows = U32(r.data, 4);
      wb->dim_cols = U16(r.data, 10);
      continue;
    }
    if (r.type != 0x00FD && r.type != 0x0203 && r.type != 0x027E) continue;
    std::pair<int, int> at{U16(r.data, 0), U16(r.data, 2)};
    if (wb->cells.count(at)) return Fail(error, "cell written twice");
    if (r.type == 0x00FD) {
      uint32_t index = U32(r.data, 6);
      if (index >= wb->sst.size()) return Fail(error, "SST index out of range");
      wb->cells[at] = wb->sst[index];
    } else if (r.type == 0x0203) {
      wb->cells[at] = std::bit_cast<double>(U64(r.data, 6));
    } else {
      wb->cells[at] = RkValue(U32(r.data, 6));
    }
  }
  return true;
}

}  // namespace rh::xls::testing
