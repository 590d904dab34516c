// Byte builders for dictionaries, registers, path tables and data files.
#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "sample/sample_data.h"

namespace rh::sample {

std::string DictionaryRecord(int16_t file_number, int16_t second_word,
                             std::string_view name, int16_t length, char type) {
  std::string rec(40, '\0');
  auto* p = reinterpret_cast<uint8_t*>(rec.data());
  StoreBigU16(p, static_cast<uint16_t>(file_number));
  StoreBigU16(p + 2, static_cast<uint16_t>(second_word));
  std::memcpy(p + 6, name.data(), std::min<size_t>(name.size(), 29));
  StoreBigU16(p + 36, static_cast<uint16_t>(length));
  p[38] = static_cast<uint8_t>(type);
  return rec;
}

std::string BuildDictionary(std::string_view version,
                            const std::vector<ModuleSpec>& modules) {
  std::string header(40, '\0');
  std::memcpy(header.data() + 6, "DATA DICTIONARY", 15);
  std::memcpy(header.data() + 16, version.data(), std::min<size_t>(version.size(), 4));
  // Module records come first, so each section starts after all of them.
  size_t next = 1 + modules.size();
  std::string module_records, sections;
  for (const ModuleSpec& m : modules) {
    module_records += DictionaryRecord(0, static_cast<int16_t>(next), m.code + " " + m.name);
    for (const FileSpec& f : m.files) {
      sections += DictionaryRecord(static_cast<int16_t>(f.number), 1, f.description);
      for (const FieldSpec& field : f.fields)
        sections += DictionaryRecord(static_cast<int16_t>(f.number), 0, field.name,
                                     field.length, field.type);
      next += 1 + f.fields.size();
    }
  }
  return header + module_records + sections;
}

std::string BuildRegister(std::string_view company_name,
                          const std::vector<RegisterFile>& files) {
  std::string reg(296, '\0');
  std::memcpy(reg.data() + 150, company_name.data(), std::min<size_t>(company_name.size(), 30));
  for (const RegisterFile& f : files) {
    std::string entry(148, '\0');
    auto* p = reinterpret_cast<uint8_t*>(entry.data());
    p[0] = static_cast<uint8_t>(f.number);
    StoreBigU16(p + 2, static_cast<uint16_t>(f.record_length));
    p[28] = f.path_index;
    reg += entry;
  }
  return reg;
}

std::string BuildPathTable(const std::vector<std::string>& prefixes) {
  std::string table;
  for (const std::string& prefix : prefixes) {
    std::string entry(52, '\0');
    std::memcpy(entry.data(), prefix.data(), std::min<size_t>(prefix.size(), 51));
    table += entry;
  }
  return table;
}

int32_t RecordLength(const std::vector<FieldSpec>& fields) {
  int32_t length = 0;
  for (const FieldSpec& f : fields) length += f.length;
  return length;
}

RecordBuilder::RecordBuilder(std::vector<FieldSpec> fields)
    : fields_(std::move(fields)),
      bytes_(static_cast<size_t>(std::max(RecordLength(fields_), 0)), '\0') {}

uint8_t* RecordBuilder::At(std::string_view field, size_t size) {
  size_t offset = 0;
  for (const FieldSpec& f : fields_) {
    if (f.name == field) {
      if (offset + size > bytes_.size()) break;
      return reinterpret_cast<uint8_t*>(bytes_.data()) + offset;
    }
    offset += static_cast<size_t>(std::max<int16_t>(f.length, 0));
  }
  return nullptr;
}

RecordBuilder& RecordBuilder::Text(std::string_view field, std::string_view value) {
  for (const FieldSpec& f : fields_) {
    if (f.name != field) continue;
    std::string padded(value.substr(0, static_cast<size_t>(f.length)));
    padded.resize(static_cast<size_t>(f.length), ' ');
    if (uint8_t* p = At(field, padded.size())) std::memcpy(p, padded.data(), padded.size());
    break;
  }
  return *this;
}

RecordBuilder& RecordBuilder::Int16(std::string_view field, int16_t value) {
  if (uint8_t* p = At(field, 2)) StoreBigU16(p, static_cast<uint16_t>(value));
  return *this;
}

RecordBuilder& RecordBuilder::Int32(std::string_view field, int32_t value) {
  if (uint8_t* p = At(field, 4)) StoreBigU32(p, static_cast<uint32_t>(value));
  return *this;
}

RecordBuilder& RecordBuilder::Fixed(std::string_view field, int32_t ten_thousandths) {
  return Int32(field, ten_thousandths);
}

RecordBuilder& RecordBuilder::Real(std::string_view field, double value) {
  if (uint8_t* p = At(field, 8)) StoreLittleDouble(p, value);
  return *this;
}

RecordBuilder& RecordBuilder::Byte(std::string_view field, uint8_t value) {
  if (uint8_t* p = At(field, 1)) *p = value;
  return *this;
}

RecordBuilder& RecordBuilder::Raw(int32_t offset, std::string_view bytes) {
  if (offset >= 0 && static_cast<size_t>(offset) + bytes.size() <= bytes_.size())
    std::memcpy(bytes_.data() + offset, bytes.data(), bytes.size());
  return *this;
}

std::string RecordBuilder::Take() {
  std::string out(bytes_.size(), '\0');
  out.swap(bytes_);
  return out;
}

std::string RecordBuilder::Deleted() const {
  std::string rec(bytes_.size(), '\0');
  std::fill_n(rec.begin(), std::min<size_t>(6, rec.size()), '\xFF');
  return rec;
}

std::string BuildDataFile(int32_t header_count, int32_t record_length,
                          const std::vector<std::string>& records) {
  std::string file(static_cast<size_t>(std::max(record_length, 0)), '\0');
  if (file.size() >= 12)
    StoreBigU32(reinterpret_cast<uint8_t*>(file.data()) + 8, static_cast<uint32_t>(header_count));
  for (const std::string& r : records) file += r;
  return file;
}

Status WriteFileBytes(Env* env, const std::string& path, std::string_view bytes) {
  auto file = env->OpenWritable(path, WriteMode::kCreateTruncate);
  if (!file.ok()) return file.status();
  Status s = (*file)->Append(bytes);
  Status c = (*file)->Close();
  return s.ok() ? c : s;
}

}  // namespace rh::sample
