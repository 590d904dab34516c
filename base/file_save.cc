#include "base/file_save.h"

#include <cerrno>

#include "base/file_replacement.h"
#include "base/paths.h"

namespace rh {

namespace {

// Appends the bytes of `path` from `offset` to its end.
Status CopyTail(Env* env, const std::string& path, uint64_t offset, WritableFile* out) {
  auto in = env->OpenReadable(path);
  if (!in.ok()) return in.status();
  std::string buffer(1 << 16, '\0');
  for (;;) {
    auto got = (*in)->ReadAt(offset, buffer.data(), buffer.size());
    if (!got.ok()) return got.status();
    if (*got == 0) return Status();
    if (Status s = out->Append(std::string_view(buffer.data(), *got)); !s.ok()) return s;
    offset += *got;
  }
}

Status WriteInPlace(Env* env, const std::string& path, std::string_view bytes, bool cut) {
  auto file = env->OpenWritable(path, WriteMode::kOverwriteStart);
  if (!file.ok()) return file.status();
  Status s = (*file)->Append(bytes);  // buffered: one write at the sync
  if (s.ok()) s = (*file)->Sync();
  Status closed = (*file)->Close();
  if (s.ok()) s = closed;
  if (s.ok() && cut) s = env->Truncate(path, bytes.size());
  return s;
}

}  // namespace

Status SaveFile(Env* env, const std::string& path, std::string_view bytes, SaveTail tail) {
  auto target = FollowLinks(env, path);
  if (!target.ok()) return target.status();
  auto existing = env->GetAttributes(*target);
  if (!existing.ok() && existing.status().sys_error() != ENOENT) return existing.status();
  const bool regular = existing.ok() && existing->kind == FileKind::kRegular;
  const bool longer = regular && existing->size > bytes.size();
  if (regular && existing->links > 1)
    return WriteInPlace(env, *target, bytes, longer && tail == SaveTail::kDrop);

  ReplacementOptions options;
  options.keep = regular ? &*existing : nullptr;
  options.sync = true;
  auto replacement = FileReplacement::Begin(env, *target, options);
  if (!replacement.ok()) return replacement.status();
  Status s = (*replacement)->file()->Append(bytes);
  if (s.ok() && longer && tail == SaveTail::kKeep)
    s = CopyTail(env, *target, bytes.size(), (*replacement)->file());
  if (s.ok()) s = (*replacement)->Commit();
  return s;  // without Commit() the temporary file goes with `replacement`
}

}  // namespace rh
