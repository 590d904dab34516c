// FileReplacement: a new file written beside its target under a temporary
// name and renamed over it only once complete, so that an existing file is
// never replaced by half of one.
#ifndef RECORDHAUL_BASE_FILE_REPLACEMENT_H_
#define RECORDHAUL_BASE_FILE_REPLACEMENT_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/env.h"
#include "base/status.h"

namespace rh {

struct ReplacementOptions {
  // The replaced file's attributes, to be kept: the new file is readable by
  // its owner only until Commit() gives it these permission bits and, where
  // the process may set them, this owner and group.
  const FileAttributes* keep = nullptr;
  // Commit() waits until the new file is on the disk before renaming it, so
  // that a crash can never leave an empty file in the target's place.
  bool sync = false;
};

// A new file written beside `target` under a temporary name and renamed over
// it by Commit(), so an existing target is replaced only by a complete file.
// Without Commit() the temporary file is removed. A target that exists but
// is not a regular file (a folder, device or pipe) is refused at Begin().
class FileReplacement {
 public:
  static Result<std::unique_ptr<FileReplacement>> Begin(
      Env* env, const std::string& target, ReplacementOptions options = {});
  ~FileReplacement();

  WritableFile* file() { return file_.get(); }
  const std::string& temp_path() const { return temp_path_; }
  const std::string& target() const { return target_; }

  // Closes the file (syncs it first, and gives it the kept attributes after,
  // as the options ask) and renames it over the target.
  Status Commit();
  // Closes and removes the temporary file; the target is untouched.
  void Abandon();

 private:
  FileReplacement(Env* env, std::string target, std::string temp,
                  std::unique_ptr<WritableFile> file, ReplacementOptions options);
  Status KeepAttributes();

  Env* env_;
  std::string target_;
  std::string temp_path_;
  std::unique_ptr<WritableFile> file_;
  std::optional<FileAttributes> keep_;
  bool sync_;
  bool done_ = false;
};

// A unique temporary path beside `target`, not yet created.
std::string TempPathBeside(std::string_view target, int attempt);

}  // namespace rh

#endif  // RECORDHAUL_BASE_FILE_REPLACEMENT_H_
