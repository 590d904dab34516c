// Saving a document over a file the user may have set up with care: its
// permissions, owner, symbolic links and hard links all stay as they were.
#ifndef RECORDHAUL_BASE_FILE_SAVE_H_
#define RECORDHAUL_BASE_FILE_SAVE_H_

#include <string>
#include <string_view>

#include "base/env.h"

namespace rh {

enum class SaveTail {
  kDrop,  // the file becomes exactly the new bytes
  kKeep,  // bytes of the old file past the new bytes' length stay
};

// Writes `bytes` as the content of the file at `path`:
//  - a symbolic link (or a chain of them) is followed: the file it points to
//    is written and the link stays a link;
//  - an existing file keeps its permission bits, and its owner and group
//    where the process may set them;
//  - the bytes go to a temporary file beside the file, synced and renamed
//    over it when complete, so a failed save leaves the old file as it was;
//  - a file with more than one name (hard links), which a rename would split
//    in two, is written in place instead: one write from its first byte,
//    synced, then cut to length when the tail is dropped.
// Errors carry the errno of the step that failed.
Status SaveFile(Env* env, const std::string& path, std::string_view bytes, SaveTail tail);

}  // namespace rh

#endif  // RECORDHAUL_BASE_FILE_SAVE_H_
