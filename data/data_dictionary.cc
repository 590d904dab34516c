#include "data/data_dictionary.h"

#include <cstdint>
#include <cstring>

#include "base/bytes.h"
#include "base/paths.h"

namespace rh {

namespace {

constexpr size_t kRecordSize = 40;
// A dictionary is a few megabytes; anything far larger is not one.
constexpr uint64_t kMaxDictionarySize = 256u << 20;

struct DictRecord {
  int16_t file_number;
  int16_t second_word;
  std::string name;
  int16_t length;
  char type;
};

DictRecord DecodeRecord(const uint8_t* p) {
  DictRecord r;
  r.file_number = LoadBigI16(p);
  r.second_word = LoadBigI16(p + 2);
  r.name = FixedText(p + 6, 30, 29);
  r.length = LoadBigI16(p + 36);
  char t = static_cast<char>(p[38]);
  r.type = (t >= 'a' && t <= 'z') ? static_cast<char>(t - 'a' + 'A') : t;
  return r;
}

// "Error #2", and under it the file and the system's reason.
Status OpenError(const std::string& path, const Status& why) {
  return Status::Of(MessageId::kDictionaryOpenFail)
      .WithDetail(MessageId::kDetailPathReason, {path, why.message()});
}

Result<std::string> ReadWhole(Env* env, const std::string& path) {
  auto file = env->OpenReadable(path);
  if (!file.ok()) return OpenError(path, file.status());
  auto size = (*file)->Size();
  if (!size.ok()) return OpenError(path, size.status());
  if (*size > kMaxDictionarySize) {
    return Status::Of(MessageId::kDictionaryOpenFail)
        .WithDetail(MessageId::kDetailDictionaryTooLarge, {path, std::to_string(*size)});
  }
  std::string bytes(*size, '\0');
  auto got = (*file)->ReadAt(0, bytes.data(), bytes.size());
  if (!got.ok()) return OpenError(path, got.status());
  bytes.resize(*got);
  return bytes;
}

// Version text compared as the bytes up to a NUL, at most four of them.
bool VersionTooOld(const uint8_t* header) {
  char version[5] = {};
  std::memcpy(version, header + 16, 4);
  return std::strncmp(version, kMinimumDictionaryVersion.data(), 4) < 0;
}

}  // namespace

bool IsKnownFieldType(char type) {
  return type != 0 && std::strchr("DFIJLTY", type) != nullptr;
}

int ExpectedFieldSize(char type, int16_t length) {
  switch (type) {
    case 'D': return 8;
    case 'F': case 'J': case 'L': return 4;
    case 'I': return 2;
    case 'T': return length;
    case 'Y': return 1;
    default: return 0;
  }
}

FieldLayout::FieldLayout(std::vector<FieldDef> fields,
                         std::vector<std::string> available,
                         int32_t record_length)
    : fields_(std::move(fields)),
      available_(std::move(available)),
      record_length_(record_length) {}

const FieldDef* FieldLayout::FindField(std::string_view name) const {
  for (const FieldDef& f : fields_)
    if (f.name == name) return &f;
  return nullptr;
}

std::string DictionaryPath(Env* env, std::string_view system_dir) {
  return ResolveIgnoringCase(env, system_dir, kDictionaryFileName);
}

Result<FieldLayout> LoadFieldLayout(Env* env, std::string_view system_dir,
                                    std::string_view module_code,
                                    int file_number) {
  const std::string path = DictionaryPath(env, system_dir);
  auto bytes = ReadWhole(env, path);
  if (!bytes.ok()) return bytes.status();
  const auto* data = reinterpret_cast<const uint8_t*>(bytes->data());
  const size_t count = bytes->size() / kRecordSize;  // a partial tail is ignored
  auto record = [&](size_t n) { return DecodeRecord(data + n * kRecordSize); };

  if (count == 0) {
    return Status::Of(MessageId::kDictionaryOpenFail)
        .WithDetail(MessageId::kDetailDictionaryEmpty, {path});
  }
  if (VersionTooOld(data)) {
    return Status::Of(MessageId::kDictionaryTooOld);
  }

  size_t n = 0;
  while (n < count && record(n).name.find(module_code) == std::string::npos) ++n;
  int16_t section_start = n < count ? record(n).second_word : -1;
  if (section_start < 0 || static_cast<size_t>(section_start) >= count) {
    return Status::Of(MessageId::kDictionaryNoModule, {module_code});
  }
  n = static_cast<size_t>(section_start);
  while (n < count && record(n).file_number != file_number) ++n;
  if (n == count) {
    return Status::Of(MessageId::kDictionaryNoFile, {std::to_string(file_number), module_code});
  }

  // Walk the section: the records that carry the file's number.
  std::vector<DictRecord> section;
  size_t start_index = 0;  // first record after the (last) file record
  for (; n < count; ++n) {
    DictRecord r = record(n);
    if (r.file_number != file_number) break;
    if (r.second_word == 1) start_index = section.size() + 1;
    section.push_back(std::move(r));
  }

  // Lengths are summed in 64 bits: a damaged section can add up past what a
  // record length (or an offset) holds, and is refused then.
  auto fits = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
  auto too_long = [&] {
    return Status::Of(MessageId::kDictionaryTooLong, {std::to_string(file_number), module_code});
  };
  int64_t record_length = 0;
  int expected = 0;
  std::vector<std::string> available;
  for (const DictRecord& r : section) {
    if (r.second_word == 1) continue;
    record_length += r.length;
    if (!fits(record_length)) return too_long();
    // An unknown letter keeps the size of the last known one.
    if (IsKnownFieldType(r.type)) expected = ExpectedFieldSize(r.type, r.length);
    if (r.length == expected) available.push_back(r.name);
  }
  for (std::string_view p : kPseudoFields) available.emplace_back(p);

  std::vector<FieldDef> fields;
  int64_t offset = 0;
  for (size_t i = start_index; i < section.size(); ++i) {
    const DictRecord& r = section[i];
    fields.push_back(FieldDef{r.name, r.type, r.length, static_cast<int32_t>(offset)});
    offset += r.length;
    if (!fits(offset)) return too_long();
  }
  return FieldLayout(std::move(fields), std::move(available),
                     static_cast<int32_t>(record_length));
}

}  // namespace rh
