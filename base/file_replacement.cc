#include "base/file_replacement.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "base/paths.h"

namespace rh {

std::string TempPathBeside(std::string_view target, int attempt) {
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".rh%ld-%lx-%d.tmp",
                static_cast<long>(::getpid()),
                static_cast<unsigned long>(ticks) & 0xffffffUL, attempt);
  // The name is cut so that the temporary name stays within the 255 bytes a
  // folder entry may have, whatever the length of the target's own name.
  std::string path(DirName(target));
  path += '.';
  path += BaseName(target).substr(0, 160);
  path += suffix;
  return path;
}

Result<std::unique_ptr<FileReplacement>> FileReplacement::Begin(
    Env* env, const std::string& target, ReplacementOptions options) {
  // Only a regular file is ever replaced: a folder, device or pipe found at
  // the target (which no existing-file question has covered) stays there.
  switch (env->GetFileKind(target)) {
    case FileKind::kDirectory: return IoError(EISDIR);
    case FileKind::kOther: return IoError(EINVAL);
    case FileKind::kMissing: case FileKind::kRegular: break;
  }
  for (int attempt = 0;; ++attempt) {
    std::string temp = TempPathBeside(target, attempt);
    auto file = env->OpenWritable(temp, options.keep != nullptr ? WriteMode::kCreatePrivate
                                                                 : WriteMode::kCreateNew);
    if (file.ok()) {
      return std::unique_ptr<FileReplacement>(new FileReplacement(
          env, target, std::move(temp), std::move(file).value(), options));
    }
    if (file.status().sys_error() != EEXIST || attempt >= 100)
      return file.status();
  }
}

FileReplacement::FileReplacement(Env* env, std::string target,
                                 std::string temp,
                                 std::unique_ptr<WritableFile> file,
                                 ReplacementOptions options)
    : env_(env),
      target_(std::move(target)),
      temp_path_(std::move(temp)),
      file_(std::move(file)),
      sync_(options.sync) {
  if (options.keep != nullptr) keep_ = *options.keep;
}

FileReplacement::~FileReplacement() { Abandon(); }

Status FileReplacement::Commit() {
  if (done_) return Status();
  Status s = sync_ ? file_->Sync() : Status();
  Status closed = file_->Close();
  if (s.ok()) s = closed;
  if (s.ok() && keep_) s = KeepAttributes();
  if (s.ok()) s = env_->Rename(temp_path_, target_);
  if (!s.ok()) {
    env_->Remove(temp_path_).IgnoreError();
  }
  done_ = true;
  return s;
}

Status FileReplacement::KeepAttributes() {
  // The owner first: giving a file away clears its set-id bits.
  Status s = env_->ChangeOwner(temp_path_, keep_->owner, keep_->group);
  if (s.sys_error() == EPERM) {
    // Not ours to give away: keep at least the group, where we belong to it.
    auto mine = env_->GetAttributes(temp_path_);
    if (mine.ok()) env_->ChangeOwner(temp_path_, mine->owner, keep_->group).IgnoreError();
    s = Status();
  }
  if (s.ok()) s = env_->ChangeMode(temp_path_, keep_->mode);
  return s;
}

void FileReplacement::Abandon() {
  if (done_) return;
  file_->Close().IgnoreError();
  env_->Remove(temp_path_).IgnoreError();
  done_ = true;
}

}  // namespace rh
