#include "selection/export_template.h"

#include <cerrno>
#include <cstring>

#include "base/bytes.h"
#include "base/file_save.h"

namespace rh {

namespace {

constexpr size_t kModuleOffset = 0;
constexpr size_t kFileOffset = 4;
constexpr size_t kCompanyOffset = 8;
constexpr size_t kTypeOffset = 12;
constexpr size_t kDestinationOffset = 16;
constexpr size_t kDestinationSize = 76;
constexpr size_t kPositionsOffset = 92;
constexpr size_t kNamesOffset = 1296;
constexpr size_t kNameSlot = 50;
constexpr size_t kMaxRows = 300;

void PutText(uint8_t* slot, std::string_view text, size_t max_len) {
  if (!text.empty()) std::memcpy(slot, text.data(), std::min(text.size(), max_len));
}

Status FileError(int sys_error, const std::string& path) {
  return Status::Of(FileErrorMessage(sys_error), {path}).WithSysError(sys_error);
}

}  // namespace

MessageId FileErrorMessage(int sys_error) {
  switch (sys_error) {
    case ENOENT: return MessageId::kFileErrorNotFound;
    case ENOTDIR: case ENAMETOOLONG: case EINVAL: case ELOOP:
      return MessageId::kFileErrorInvalidPath;
    case EMFILE: case ENFILE: return MessageId::kFileErrorTooManyOpen;
    case EACCES: case EPERM: case EROFS: case EISDIR: return MessageId::kFileErrorAccessDenied;
    case EBADF: return MessageId::kFileErrorBadHandle;
    case EMLINK: return MessageId::kFileErrorDirectoryFull;
    case ESPIPE: return MessageId::kFileErrorSeek;
    case EIO: return MessageId::kFileErrorHardware;
    case ETXTBSY: case EBUSY: return MessageId::kFileErrorSharing;
    case ENOLCK: case EDEADLK: return MessageId::kFileErrorLocking;
    case ENOSPC: case EDQUOT: case EFBIG: return MessageId::kFileErrorDiskFull;
    case 0: return MessageId::kFileErrorPastEnd;
    default: return MessageId::kFileErrorGeneric;
  }
}

std::string FileErrorText(int sys_error, const std::string& path) {
  return MessageText(FileErrorMessage(sys_error), {path});
}

void StoreRows(const std::vector<SelectedField>& rows, TemplateRecord* record) {
  record->positions.clear();
  record->names.clear();
  for (const SelectedField& row : rows) {
    record->positions.push_back(row.source_position);
    record->names.push_back(row.export_name);
  }
}

TemplateBytes EncodeTemplate(const TemplateRecord& r) {
  TemplateBytes b{};
  uint8_t* p = b.data();
  StoreLittleU32(p + kModuleOffset, static_cast<uint32_t>(r.module_index));
  StoreLittleU32(p + kFileOffset, static_cast<uint32_t>(r.file_number));
  PutText(p + kCompanyOffset, r.company, 2);
  StoreLittleU32(p + kTypeOffset, static_cast<uint32_t>(r.export_type));
  PutText(p + kDestinationOffset, r.destination, kTemplateDestinationLength);
  size_t rows = std::min(r.positions.size(), kMaxRows);
  for (size_t i = 0; i < kTemplateSlots; ++i) {
    int32_t position = i < rows ? r.positions[i] : -1;
    StoreLittleU32(p + kPositionsOffset + 4 * i, static_cast<uint32_t>(position));
    uint8_t* slot = p + kNamesOffset + kNameSlot * i;
    if (i < rows && i < r.names.size()) {
      PutText(slot, r.names[i], kNameSlot - 1);
    } else {
      slot[0] = '_';
    }
  }
  return b;
}

TemplateRecord DecodeTemplate(const TemplateBytes& b) {
  const uint8_t* p = b.data();
  TemplateRecord r;
  r.module_index = LoadLittleI32(p + kModuleOffset);
  r.file_number = LoadLittleI32(p + kFileOffset);
  r.company = FixedText(p + kCompanyOffset, 4, 2);
  r.export_type = LoadLittleI32(p + kTypeOffset);
  r.destination = FixedText(p + kDestinationOffset, kDestinationSize, kTemplateDestinationLength);
  for (size_t i = 0; i < kMaxRows; ++i) {
    int32_t position = LoadLittleI32(p + kPositionsOffset + 4 * i);
    if (position == -1) break;
    r.positions.push_back(position);
    r.names.push_back(FixedText(p + kNamesOffset + kNameSlot * i, kNameSlot, kNameSlot - 1));
  }
  return r;
}

Result<TemplateRecord> ReadTemplateFile(Env* env, const std::string& path) {
  auto file = env->OpenReadable(path);
  if (!file.ok()) return FileError(file.status().sys_error(), path);
  TemplateBytes bytes{};
  auto got = (*file)->ReadAt(0, bytes.data(), bytes.size());
  if (!got.ok()) return FileError(got.status().sys_error(), path);
  if (*got < bytes.size()) return FileError(0, path);
  return DecodeTemplate(bytes);
}

Status WriteTemplateFile(Env* env, const std::string& path, const TemplateRecord& record,
                         bool saving_current) {
  if (saving_current) {
    // Saving to the current template: it must still be there and writable.
    auto existing = env->OpenWritable(path, WriteMode::kOverwriteStart);
    if (!existing.ok()) return FileError(existing.status().sys_error(), path);
    (*existing)->Close().IgnoreError();
  }
  TemplateBytes bytes = EncodeTemplate(record);
  Status s = SaveFile(env, path,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      saving_current ? SaveTail::kKeep : SaveTail::kDrop);
  if (!s.ok()) return FileError(s.sys_error(), path);
  return Status();
}

}  // namespace rh
