// ScratchFile: a file in the temporary folder for a library that writes by
// path, outside the Env, to be read back and put in place through the Env.
// Where the system offers /proc/self/fd, the file has no name in any folder
// from the start, so it disappears with the process however it ends.
#ifndef RECORDHAUL_BASE_SCRATCH_FILE_H_
#define RECORDHAUL_BASE_SCRATCH_FILE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"

namespace rh {

class ScratchFile {
 public:
  // A new empty file in `folder`; failures are Env-style errors.
  static Result<std::unique_ptr<ScratchFile>> Create(const std::string& folder);
  // Closes the file; a named one is removed.
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // A path that opens this file for as long as it lives.
  const std::string& path() const { return path_; }
  // Reads up to n bytes at offset; fewer only at the end of the file.
  Result<size_t> ReadAt(uint64_t offset, void* buf, size_t n);

 private:
  ScratchFile(int fd, std::string path, bool named);

  int fd_;
  std::string path_;
  bool named_;
};

// $TMPDIR when it names a folder, else /tmp.
std::string TemporaryFolder();

}  // namespace rh

#endif  // RECORDHAUL_BASE_SCRATCH_FILE_H_
