// Path helpers for the accounting directories and for safe replacement of
// files we write.
#ifndef RECORDHAUL_BASE_PATHS_H_
#define RECORDHAUL_BASE_PATHS_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/env.h"

namespace rh {

// dir + "/" + name: directories are used exactly as stored, so a directory
// that ends in "/" gives a doubled separator, which the system accepts.
std::string JoinPath(std::string_view dir, std::string_view name);

// "\" becomes "/": accounting paths are written with Windows separators.
std::string WithForwardSlashes(std::string_view path);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// The user's home folder ($HOME, else the password database).
std::string HomeFolder();

// dir/name when it exists; otherwise the entry of dir whose name equals name
// ignoring ASCII letter case (the first in byte order if several do);
// otherwise dir/name, so that opening it reports "not found".
std::string ResolveIgnoringCase(Env* env, std::string_view dir,
                                std::string_view name);

// The folder part of a path, up to and including its last "/" (empty when it
// has none), and the part after it.
std::string_view DirName(std::string_view path);
std::string_view BaseName(std::string_view path);

// `name` with `extension` added when its last component has none (no "."
// after its last "/"): how a dBase table name becomes its file's name.
std::string WithDefaultExtension(std::string_view name, std::string_view extension);

// The file `path` names once symbolic links are followed: a link, or a chain
// of them, is replaced by the path it points to (a relative one read from the
// link's folder), so that the file can be replaced while the link stays a
// link. `path` itself when it is no link or does not exist; ELOOP after 40
// links.
Result<std::string> FollowLinks(Env* env, const std::string& path);

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

#endif  // RECORDHAUL_BASE_PATHS_H_
