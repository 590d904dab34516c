// Platform: the one narrow interface through which the core talks to the
// user — message boxes, file and folder dialogs, the directories dialog,
// export progress, the wait cursor — and reaches the settings store and the
// Documents folder. The window implements it with Qt, the command line with
// the console; tests script it.
//
// All texts passed here are UTF-8; stored accounting text (Windows-1252) is
// converted before it reaches a message.
#ifndef RECORDHAUL_PLATFORM_PLATFORM_H_
#define RECORDHAUL_PLATFORM_PLATFORM_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "base/status.h"

namespace rh {

// One message box: the catalog's message id and what the box shows.
struct MessageBox {
  MessageId id = MessageId::kNone;
  std::string_view text;
  std::string_view caption;
  MessageStyle style = MessageStyle::kOk;
  std::string_view detail;  // what failed and why, under the text; may be empty
};

// Options of the open and save file dialogs.
struct FileDialogOptions {
  std::string default_extension;  // "txt", without the dot
  std::string filter;             // "Description (*.ext)|*.ext|...||"
  std::string initial_path;       // shown as the file name
  std::string initial_folder;     // empty: the dialog's own choice
  bool confirm_overwrite = false; // save: ask before replacing a file
};

// The three accounting directories.
struct Directories {
  std::string data;     // settings key "AUSER"
  std::string system;   // "AFILES"
  std::string programs; // "APROGS"
  bool AllSet() const { return !data.empty() && !system.empty() && !programs.empty(); }
};

// Per-user settings: text values by section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // A missing value reads as empty text.
  virtual std::string Read(std::string_view section, std::string_view key) = 0;
  virtual Status Write(std::string_view section, std::string_view key,
                       std::string_view value) = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Shows the box; for a question, the answer.
  virtual Answer Message(const MessageBox& box) = 0;

  // The catalog's message `id` (messages.h) in its message box.
  Answer Show(MessageId id, std::initializer_list<std::string_view> args = {}) {
    const std::string text = MessageText(id, args);
    return Message({id, text, Spec(id).caption, Spec(id).style, {}});
  }
  // A failure's message in the box its message id describes.
  Answer Show(const Status& status) {
    const std::string caption = status.caption();
    return Message(
        {status.id(), status.message(), caption, status.style(), status.detail()});
  }

  // The export progress window: created at 0%, moved once per record,
  // destroyed at the end of the run.
  virtual void ProgressCreate() = 0;
  virtual void ProgressSetPercent(int percent) = 0;
  virtual void ProgressDestroy() = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  // The chosen path, or nothing when the dialog is cancelled.
  virtual std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) = 0;

  // The folder picker: nothing when cancelled; an empty path when the picked
  // item has no file-system path.
  virtual std::optional<std::string> PickFolder(std::string_view prompt) = 0;

  // The directories dialog, opened on `dirs`; true when closed with OK,
  // having replaced `dirs` with the boxes' texts.
  virtual bool EditDirectories(Directories* dirs) = 0;

  virtual SettingsStore& Settings() = 0;

  // Where relative destinations go: the user's Documents folder.
  virtual std::string DocumentsFolder() = 0;

  // Whether the user has asked the running export to stop (an interrupt on
  // the command line). The run asks once per record and then fails, leaving
  // the destination as it was.
  virtual bool StopRequested() { return false; }
};

// The user's Documents folder: XDG_DOCUMENTS_DIR from the environment or
// ~/.config/user-dirs.dirs, else the home folder.
std::string DefaultDocumentsFolder();

}  // namespace rh

#endif  // RECORDHAUL_PLATFORM_PLATFORM_H_
