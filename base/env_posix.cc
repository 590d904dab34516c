// The real file system behind Env::Default().
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/env.h"

namespace rh {

Status IoError(int sys_error) {
  return Status::Io(sys_error, std::strerror(sys_error));
}

namespace {

class PosixReadableFile : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override { ::close(fd_); }

  Result<size_t> ReadAt(uint64_t offset, void* buf, size_t n) override {
    size_t done = 0;
    auto* out = static_cast<char*>(buf);
    while (done < n) {
      ssize_t r = ::pread(fd_, out + done, n - done,
                          static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return IoError(errno);
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    return done;
  }

  Result<uint64_t> Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return IoError(errno);
    return static_cast<uint64_t>(st.st_size);
  }

 private:
  int fd_;
};

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  Status Append(std::string_view data) override {
    if (!status_.ok()) return status_;
    if (buffer_.size() + data.size() > kBufferSize) {
      status_ = FlushBuffer();
      if (!status_.ok()) return status_;
      if (data.size() >= kBufferSize) return status_ = WriteAll(data);
    }
    buffer_.append(data);
    return Status();
  }

  Status Sync() override {
    if (fd_ < 0) return IoError(EBADF);
    if (status_.ok()) status_ = FlushBuffer();
    if (status_.ok() && ::fsync(fd_) != 0) status_ = IoError(errno);
    return status_;
  }

  Status Close() override {
    if (fd_ < 0) return status_;
    if (status_.ok()) status_ = FlushBuffer();
    if (::close(fd_) != 0 && status_.ok()) status_ = IoError(errno);
    fd_ = -1;
    return status_;
  }

 private:
  static constexpr size_t kBufferSize = 1 << 16;

  Status FlushBuffer() {
    Status s = WriteAll(buffer_);
    buffer_.clear();
    return s;
  }

  Status WriteAll(std::string_view data) {
    while (!data.empty()) {
      ssize_t r = ::write(fd_, data.data(), data.size());
      if (r < 0) {
        if (errno == EINTR) continue;
        return IoError(errno);
      }
      data.remove_prefix(static_cast<size_t>(r));
    }
    return Status();
  }

  int fd_;
  std::string buffer_;
  Status status_;
};

class PosixEnv : public Env {
 public:
  Result<std::unique_ptr<ReadableFile>> OpenReadable(
      const std::string& path) override {
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return IoError(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      ::close(fd);
      return IoError(err);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::unique_ptr<ReadableFile>(new PosixReadableFile(fd));
  }

  Result<std::unique_ptr<WritableFile>> OpenWritable(const std::string& path,
                                                     WriteMode mode) override {
    int flags = O_WRONLY | O_CLOEXEC;
    switch (mode) {
      case WriteMode::kCreateTruncate: flags |= O_CREAT | O_TRUNC; break;
      case WriteMode::kCreateNew: flags |= O_CREAT | O_EXCL; break;
      case WriteMode::kAppend: flags |= O_APPEND; break;
      case WriteMode::kOverwriteStart: break;
      case WriteMode::kCreatePrivate: flags |= O_CREAT | O_EXCL; break;
    }
    int fd = ::open(path.c_str(), flags, mode == WriteMode::kCreatePrivate ? 0600 : 0666);
    if (fd < 0) return IoError(errno);
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      return IoError(EISDIR);
    }
    return std::unique_ptr<WritableFile>(new PosixWritableFile(fd));
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return IoError(errno);
    return Status();
  }

  Status Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) return IoError(errno);
    return Status();
  }

  Status Truncate(const std::string& path, uint64_t size) override {
    if (::truncate(path.c_str(), static_cast<off_t>(size)) != 0)
      return IoError(errno);
    return Status();
  }

  Result<std::vector<std::string>> ListDirectory(
      const std::string& dir) override {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return IoError(errno);
    std::vector<std::string> names;
    while (struct dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
        continue;
      names.emplace_back(e->d_name);
    }
    ::closedir(d);
    return names;
  }

  Result<uint64_t> FileSize(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return IoError(errno);
    return static_cast<uint64_t>(st.st_size);
  }

  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }

  FileKind GetFileKind(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FileKind::kMissing;
    if (S_ISREG(st.st_mode)) return FileKind::kRegular;
    if (S_ISDIR(st.st_mode)) return FileKind::kDirectory;
    return FileKind::kOther;
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }

  Result<FileAttributes> GetAttributes(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return IoError(errno);
    FileAttributes a;
    a.kind = S_ISREG(st.st_mode) ? FileKind::kRegular
             : S_ISDIR(st.st_mode) ? FileKind::kDirectory
                                   : FileKind::kOther;
    a.mode = st.st_mode & 07777;
    a.owner = st.st_uid;
    a.group = st.st_gid;
    a.links = st.st_nlink;
    a.size = static_cast<uint64_t>(st.st_size);
    return a;
  }

  Result<std::string> ReadLink(const std::string& path) override {
    std::string text(256, '\0');
    for (;;) {
      ssize_t n = ::readlink(path.c_str(), text.data(), text.size());
      if (n < 0) return IoError(errno);
      if (static_cast<size_t>(n) < text.size()) {
        text.resize(static_cast<size_t>(n));
        return text;
      }
      if (text.size() >= (1u << 16)) return IoError(ENAMETOOLONG);
      text.resize(2 * text.size());  // perhaps cut: read again with more room
    }
  }

  Status ChangeMode(const std::string& path, uint32_t mode) override {
    if (::chmod(path.c_str(), static_cast<mode_t>(mode)) != 0) return IoError(errno);
    return Status();
  }

  Status ChangeOwner(const std::string& path, uint32_t owner, uint32_t group) override {
    if (::chown(path.c_str(), static_cast<uid_t>(owner), static_cast<gid_t>(group)) != 0)
      return IoError(errno);
    return Status();
  }
};

}  // namespace

Env* Env::Default() {
  static PosixEnv env;  // stateless
  return &env;
}

}  // namespace rh
