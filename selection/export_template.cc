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
  return Status::Error("recordhaul", FileErrorText(sys_error, path), sys_error);
}

}  // namespace

std::string FileErrorText(int sys_error, const std::string& path) {
  const char* format;
  switch (sys_error) {
    case ENOENT: format = "%1 was not found."; break;
    case ENOTDIR: case ENAMETOOLONG: case EINVAL: case ELOOP:
      format = "%1 contains an invalid path."; break;
    case EMFILE: case ENFILE:
      format = "%1 could not be opened because there are too many open files."; break;
    case EACCES: case EPERM: case EROFS: case EISDIR:
      format = "Access to %1 was denied."; break;
    case EBADF: format = "An invalid file handle was associated with %1."; break;
    case EMLINK: format = "%1 could not be created because the directory is full."; break;
    case ESPIPE: format = "Seek failed on %1"; break;
    case EIO: format = "A hardware I/O error was reported while accessing %1."; break;
    case ETXTBSY: case EBUSY: format = "A sharing violation occurred while accessing %1."; break;
    case ENOLCK: case EDEADLK: format = "A locking violation occurred while accessing %1."; break;
    case ENOSPC: case EDQUOT: case EFBIG: format = "Disk full while accessing %1."; break;
    case 0: format = "An attempt was made to access %1 past its end."; break;
    default: format = "An unknown error occurred while accessing %1."; break;
  }
  std::string text(format);
  text.replace(text.find("%1"), 2, path);
  return text;
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
    (*existing)->Close();
  }
  TemplateBytes bytes = EncodeTemplate(record);
  Status s = SaveFile(env, path,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      saving_current ? SaveTail::kKeep : SaveTail::kDrop);
  if (!s.ok()) return FileError(s.sys_error(), path);
  return Status();
}

}  // namespace rh
