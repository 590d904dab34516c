// ScriptedResponder: answers a QtPlatform's messages and dialogs from
// answers queued by a test, in order, and records every request. A request
// with nothing queued gets the answer that changes nothing: Cancel where
// offered, else No, else OK; no path; the modal dialog rejected.
#ifndef RECORDHAUL_GUI_SCRIPTED_RESPONDER_H_
#define RECORDHAUL_GUI_SCRIPTED_RESPONDER_H_

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/qt_platform.h"

namespace rh {

class ScriptedResponder : public Responder {
 public:
  enum class Kind { kMessage, kSaveFile, kOpenFile, kPickFolder, kModalDialog };

  struct Request {
    Kind kind;
    std::string text;     // message text, folder prompt or dialog title
    std::string caption;  // message caption
    MessageStyle style = MessageStyle::kOk;
    FileDialogOptions options;  // file dialogs
    MessageId id = MessageId::kNone;  // messages
  };

  // Drives a modal dialog through its widgets; what it leaves in
  // dialog.result() is the dialog's result.
  using DialogScript = std::function<void(QDialog& dialog)>;

  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  // For the save and open dialogs, in the order they come.
  void QueuePath(std::optional<std::string> path) { paths_.push_back(std::move(path)); }
  void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void QueueDialog(DialogScript script) { dialogs_.push_back(std::move(script)); }

  const std::vector<Request>& requests() const { return requests_; }
  // The messages only, as "Caption: text".
  std::vector<std::string> Messages() const;
  void ClearRequests() { requests_.clear(); }
  // Whether every queued answer has been used.
  bool AllUsed() const;

  Answer OnMessage(const MessageBox& box) override;
  std::optional<std::string> OnSaveFile(const FileDialogOptions& options) override;
  std::optional<std::string> OnOpenFile(const FileDialogOptions& options) override;
  std::optional<std::string> OnPickFolder(std::string_view prompt) override;
  void OnModalDialog(QDialog& dialog) override;

 private:
  std::optional<std::string> NextPath();

  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> paths_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<DialogScript> dialogs_;
  std::vector<Request> requests_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_SCRIPTED_RESPONDER_H_
