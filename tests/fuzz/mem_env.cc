#include "tests/fuzz/mem_env.h"

#include <cerrno>
#include <cstring>

namespace rh::fuzz {

namespace {

class MemReadable : public ReadableFile {
 public:
  explicit MemReadable(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  Result<size_t> ReadAt(uint64_t offset, void* buf, size_t n) override {
    if (offset >= bytes_->size()) return size_t{0};
    size_t got = std::min<uint64_t>(n, bytes_->size() - offset);
    std::memcpy(buf, bytes_->data() + offset, got);
    return got;
  }
  Result<uint64_t> Size() override { return uint64_t{bytes_->size()}; }

 private:
  std::shared_ptr<std::string> bytes_;
};

class MemWritable : public WritableFile {
 public:
  MemWritable(std::shared_ptr<std::string> bytes, size_t pos)
      : bytes_(std::move(bytes)), pos_(pos) {}
  Status Append(std::string_view data) override {
    if (closed_) return IoError(EBADF);
    if (bytes_->size() < pos_ + data.size()) bytes_->resize(pos_ + data.size());
    std::memcpy(bytes_->data() + pos_, data.data(), data.size());
    pos_ += data.size();
    return Status();
  }
  Status Close() override {
    closed_ = true;
    return Status();
  }

 private:
  std::shared_ptr<std::string> bytes_;
  size_t pos_;
  bool closed_ = false;
};

}  // namespace

std::string MemEnv::Normal(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string MemEnv::Parent(const std::string& normal) {
  size_t slash = normal.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : normal.substr(0, slash);
}

bool MemEnv::IsFolder(const std::string& normal) const {
  if (normal.empty()) return false;
  if (normal == "/" || normal == "." || folders_.count(normal)) return true;
  std::string prefix = normal + "/";
  auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

void MemEnv::MakeFolder(const std::string& path) {
  for (std::string p = Normal(path); p != "/" && p != "." && !p.empty(); p = Parent(p))
    folders_.insert(p);
}

void MemEnv::Put(const std::string& path, std::string bytes) {
  std::string n = Normal(path);
  MakeFolder(Parent(n));
  files_[n] = std::make_shared<std::string>(std::move(bytes));
}

std::optional<std::string> MemEnv::Get(const std::string& path) const {
  auto it = files_.find(Normal(path));
  if (it == files_.end()) return std::nullopt;
  return *it->second;
}

std::map<std::string, std::string> MemEnv::Files() const {
  std::map<std::string, std::string> out;
  for (const auto& [path, bytes] : files_) out[path] = *bytes;
  return out;
}

Result<std::unique_ptr<ReadableFile>> MemEnv::OpenReadable(const std::string& path) {
  std::string n = Normal(path);
  auto it = files_.find(n);
  if (it == files_.end()) return IoError(IsFolder(n) ? EISDIR : ENOENT);
  return std::unique_ptr<ReadableFile>(new MemReadable(it->second));
}

Result<std::unique_ptr<WritableFile>> MemEnv::OpenWritable(const std::string& path,
                                                           WriteMode mode) {
  std::string n = Normal(path);
  if (n.empty() || IsFolder(n)) return IoError(n.empty() ? ENOENT : EISDIR);
  if (!IsFolder(Parent(n))) return IoError(ENOENT);
  auto it = files_.find(n);
  switch (mode) {
    case WriteMode::kCreateTruncate:
      files_[n] = std::make_shared<std::string>();
      return std::unique_ptr<WritableFile>(new MemWritable(files_[n], 0));
    case WriteMode::kCreateNew:
    case WriteMode::kCreatePrivate:
      if (it != files_.end()) return IoError(EEXIST);
      files_[n] = std::make_shared<std::string>();
      return std::unique_ptr<WritableFile>(new MemWritable(files_[n], 0));
    case WriteMode::kAppend:
      if (it == files_.end()) return IoError(ENOENT);
      return std::unique_ptr<WritableFile>(new MemWritable(it->second, it->second->size()));
    case WriteMode::kOverwriteStart:
      if (it == files_.end()) return IoError(ENOENT);
      return std::unique_ptr<WritableFile>(new MemWritable(it->second, 0));
  }
  return IoError(EINVAL);
}

Status MemEnv::Rename(const std::string& from, const std::string& to) {
  std::string f = Normal(from), t = Normal(to);
  auto it = files_.find(f);
  if (it == files_.end()) return IoError(ENOENT);
  if (IsFolder(t)) return IoError(EISDIR);
  if (!IsFolder(Parent(t))) return IoError(ENOENT);
  auto bytes = it->second;
  files_.erase(it);
  files_[t] = std::move(bytes);
  return Status();
}

Status MemEnv::Remove(const std::string& path) {
  return files_.erase(Normal(path)) ? Status() : IoError(ENOENT);
}

Status MemEnv::Truncate(const std::string& path, uint64_t size) {
  auto it = files_.find(Normal(path));
  if (it == files_.end()) return IoError(ENOENT);
  it->second->resize(size);
  return Status();
}

Result<std::vector<std::string>> MemEnv::ListDirectory(const std::string& dir) {
  std::string n = Normal(dir);
  if (!IsFolder(n)) return IoError(files_.count(n) ? ENOTDIR : ENOENT);
  std::string prefix = n == "/" ? "/" : n + "/";
  std::set<std::string> names;
  auto add = [&](const std::string& path) {
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return;
    std::string rest = path.substr(prefix.size());
    names.insert(rest.substr(0, rest.find('/')));
  };
  for (const auto& [path, bytes] : files_) add(path);
  for (const std::string& folder : folders_) add(folder);
  return std::vector<std::string>(names.begin(), names.end());
}

Result<uint64_t> MemEnv::FileSize(const std::string& path) {
  auto it = files_.find(Normal(path));
  if (it == files_.end()) return IoError(ENOENT);
  return uint64_t{it->second->size()};
}

bool MemEnv::Exists(const std::string& path) {
  std::string n = Normal(path);
  return files_.count(n) > 0 || IsFolder(n);
}

FileKind MemEnv::GetFileKind(const std::string& path) {
  std::string n = Normal(path);
  if (files_.count(n)) return FileKind::kRegular;
  return IsFolder(n) ? FileKind::kDirectory : FileKind::kMissing;
}

bool MemEnv::SameFile(const std::string& a, const std::string& b) {
  std::string na = Normal(a);
  return na == Normal(b) && Exists(na);
}

Result<FileAttributes> MemEnv::GetAttributes(const std::string& path) {
  FileAttributes a;
  a.kind = GetFileKind(path);
  if (a.kind == FileKind::kMissing) return IoError(ENOENT);
  a.mode = a.kind == FileKind::kDirectory ? 0755 : 0644;
  a.links = 1;
  if (a.kind == FileKind::kRegular) a.size = files_[Normal(path)]->size();
  return a;
}

Result<std::string> MemEnv::ReadLink(const std::string& path) {
  return IoError(Exists(path) ? EINVAL : ENOENT);
}

Status MemEnv::ChangeMode(const std::string& path, uint32_t) {
  return Exists(path) ? Status() : IoError(ENOENT);
}

Status MemEnv::ChangeOwner(const std::string& path, uint32_t, uint32_t) {
  return Exists(path) ? Status() : IoError(ENOENT);
}

}  // namespace rh::fuzz
