#include "base/scratch_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/env.h"
#include "base/paths.h"

namespace rh {

Result<std::unique_ptr<ScratchFile>> ScratchFile::Create(const std::string& folder) {
  std::string name = JoinPath(folder, "recordhaul-XXXXXX");
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return IoError(errno);
  // The descriptor's own link opens the file after its name is gone.
  std::string link = "/proc/self/fd/" + std::to_string(fd);
  if (::access(link.c_str(), W_OK) == 0 && ::unlink(name.c_str()) == 0)
    return std::unique_ptr<ScratchFile>(new ScratchFile(fd, std::move(link), false));
  return std::unique_ptr<ScratchFile>(new ScratchFile(fd, std::move(name), true));
}

ScratchFile::ScratchFile(int fd, std::string path, bool named)
    : fd_(fd), path_(std::move(path)), named_(named) {}

ScratchFile::~ScratchFile() {
  ::close(fd_);
  if (named_) ::unlink(path_.c_str());
}

Result<size_t> ScratchFile::ReadAt(uint64_t offset, void* buf, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t r = ::pread(fd_, static_cast<char*>(buf) + done, n - done,
                              static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return IoError(errno);
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

std::string TemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  struct stat st;
  if (dir != nullptr && *dir == '/' && ::stat(dir, &st) == 0 && S_ISDIR(st.st_mode))
    return dir;
  return "/tmp";
}

}  // namespace rh
