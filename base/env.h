// Env: the file layer every module reads and writes through.
//
// Env::Default() is the real file system. Tests wrap it to make any step fail
// (open, read, write, close, rename) and check that nothing is lost. Errors are
// Status values with an empty caption, the system's wording as message and
// the errno in sys_error(); callers put their own caption and text on them.
#ifndef RECORDHAUL_BASE_ENV_H_
#define RECORDHAUL_BASE_ENV_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace rh {

// A regular file opened read-only.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to n bytes at offset; fewer only at the end of the file.
  virtual Result<size_t> ReadAt(uint64_t offset, void* buf, size_t n) = 0;
  virtual Result<uint64_t> Size() = 0;
};

// A file opened for writing. Appends are buffered; Close() flushes and
// reports any error of the flush or of the close itself.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual Status Append(std::string_view data) = 0;
  // Writes what is buffered and waits until the system has it on the disk.
  // A file that lives only in memory has nothing to do.
  virtual Status Sync() { return Status(); }
  virtual Status Close() = 0;
};

enum class WriteMode {
  kCreateTruncate,  // create or empty
  kCreateNew,       // create; fail if it exists
  kAppend,          // must exist; writes go to its end
  kOverwriteStart,  // must exist; writes start at byte 0, nothing is emptied
  kCreatePrivate,   // as kCreateNew, readable and writable by its owner only
};

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// What the system keeps about a file besides its bytes.
struct FileAttributes {
  FileKind kind = FileKind::kMissing;
  uint32_t mode = 0;   // permission bits with the set-id and sticky bits
  uint32_t owner = 0;  // user and group ids
  uint32_t group = 0;
  uint64_t links = 0;  // the names (hard links) the file has
  uint64_t size = 0;
};

class Env {
 public:
  virtual ~Env() = default;
  static Env* Default();

  // Only regular files open; a directory, device or FIFO is refused at once.
  virtual Result<std::unique_ptr<ReadableFile>> OpenReadable(
      const std::string& path) = 0;
  virtual Result<std::unique_ptr<WritableFile>> OpenWritable(
      const std::string& path, WriteMode mode) = 0;
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  virtual Status Remove(const std::string& path) = 0;
  virtual Status Truncate(const std::string& path, uint64_t size) = 0;
  // Entry names (not paths) of a directory, "." and ".." left out.
  virtual Result<std::vector<std::string>> ListDirectory(
      const std::string& dir) = 0;
  virtual Result<uint64_t> FileSize(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // What is at `path`, following symbolic links; kMissing when nothing
  // can be found there.
  virtual FileKind GetFileKind(const std::string& path) = 0;
  // Whether two paths name the same existing file.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  // The attributes of the file at `path`, following symbolic links.
  virtual Result<FileAttributes> GetAttributes(const std::string& path) = 0;
  // What the symbolic link at `path` points to, as written in the link;
  // EINVAL when `path` is not a symbolic link.
  virtual Result<std::string> ReadLink(const std::string& path) = 0;
  // Sets the permission bits (and set-id and sticky bits) of a file.
  virtual Status ChangeMode(const std::string& path, uint32_t mode) = 0;
  // Gives a file to a user and group; EPERM where the process may not.
  virtual Status ChangeOwner(const std::string& path, uint32_t owner, uint32_t group) = 0;
};

// Forwards every call to another Env; tests override what they want to break.
class EnvWrapper : public Env {
 public:
  explicit EnvWrapper(Env* target) : target_(target) {}
  Result<std::unique_ptr<ReadableFile>> OpenReadable(
      const std::string& path) override {
    return target_->OpenReadable(path);
  }
  Result<std::unique_ptr<WritableFile>> OpenWritable(const std::string& path,
                                                     WriteMode mode) override {
    return target_->OpenWritable(path, mode);
  }
  Status Rename(const std::string& from, const std::string& to) override {
    return target_->Rename(from, to);
  }
  Status Remove(const std::string& path) override {
    return target_->Remove(path);
  }
  Status Truncate(const std::string& path, uint64_t size) override {
    return target_->Truncate(path, size);
  }
  Result<std::vector<std::string>> ListDirectory(
      const std::string& dir) override {
    return target_->ListDirectory(dir);
  }
  Result<uint64_t> FileSize(const std::string& path) override {
    return target_->FileSize(path);
  }
  bool Exists(const std::string& path) override {
    return target_->Exists(path);
  }
  FileKind GetFileKind(const std::string& path) override {
    return target_->GetFileKind(path);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return target_->SameFile(a, b);
  }
  Result<FileAttributes> GetAttributes(const std::string& path) override {
    return target_->GetAttributes(path);
  }
  Result<std::string> ReadLink(const std::string& path) override {
    return target_->ReadLink(path);
  }
  Status ChangeMode(const std::string& path, uint32_t mode) override {
    return target_->ChangeMode(path, mode);
  }
  Status ChangeOwner(const std::string& path, uint32_t owner, uint32_t group) override {
    return target_->ChangeOwner(path, owner, group);
  }
  Env* target() const { return target_; }

 private:
  Env* target_;
};

// The system's text for an errno, as an Env error.
Status IoError(int sys_error);

}  // namespace rh

#endif  // RECORDHAUL_BASE_ENV_H_
