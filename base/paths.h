// Path helpers for the accounting directories and the files we write.
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

}  // namespace rh

#endif  // RECORDHAUL_BASE_PATHS_H_
