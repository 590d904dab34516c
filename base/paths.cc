#include "base/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace rh {

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  path += '/';
  path += name;
  return path;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
    return pw->pw_dir;
  return "/";
}

std::string WithForwardSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

static char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string ResolveIgnoringCase(Env* env, std::string_view dir,
                                std::string_view name) {
  std::string exact = JoinPath(dir, name);
  if (env->Exists(exact)) return exact;
  auto names = env->ListDirectory(std::string(dir));
  if (!names.ok()) return exact;
  std::string best;
  bool found = false;
  for (const std::string& entry : *names) {
    if (EqualsIgnoreAsciiCase(entry, name) && (!found || entry < best)) {
      best = entry;
      found = true;
    }
  }
  return found ? JoinPath(dir, best) : exact;
}

std::string_view DirName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : path.substr(0, slash + 1);
}

std::string_view BaseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string WithDefaultExtension(std::string_view name, std::string_view extension) {
  std::string with(name);
  if (BaseName(name).find('.') == std::string_view::npos) with += extension;
  return with;
}

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

Result<std::string> FollowLinks(Env* env, const std::string& path) {
  std::string current = path;
  for (int links = 0; links < 40; ++links) {
    auto text = env->ReadLink(current);
    if (!text.ok()) {
      const int err = text.status().sys_error();
      if (err == EINVAL || err == ENOENT) return current;  // no link there
      return text.status();
    }
    if (text->empty()) return IoError(ENOENT);
    current = (*text)[0] == '/' ? *text : std::string(DirName(current)) + *text;
  }
  return IoError(ELOOP);
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
    if (mine.ok()) env_->ChangeOwner(temp_path_, mine->owner, keep_->group);
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
