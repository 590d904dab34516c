#include "gui/scripted_responder.h"

#include <QDialog>

namespace rh {

std::vector<std::string> ScriptedResponder::Messages() const {
  std::vector<std::string> out;
  for (const Request& r : requests_)
    if (r.kind == Kind::kMessage) out.push_back(r.caption + ": " + r.text);
  return out;
}

bool ScriptedResponder::AllUsed() const {
  return answers_.empty() && paths_.empty() && folders_.empty() && dialogs_.empty();
}

Answer ScriptedResponder::OnMessage(const MessageBox& box) {
  const MessageStyle style = box.style;
  requests_.push_back(
      {Kind::kMessage, std::string(box.text), std::string(box.caption), style, {}, box.id});
  if (!answers_.empty()) {
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  switch (style) {
    case MessageStyle::kOkCancel:
    case MessageStyle::kYesNoCancelQuestion:
      return Answer::kCancel;
    case MessageStyle::kYesNo:
    case MessageStyle::kYesNoQuestion:
    case MessageStyle::kYesNoExclamation:
      return Answer::kNo;
    default:
      return Answer::kOk;
  }
}

std::optional<std::string> ScriptedResponder::NextPath() {
  if (paths_.empty()) return std::nullopt;
  std::optional<std::string> p = std::move(paths_.front());
  paths_.pop_front();
  return p;
}

std::optional<std::string> ScriptedResponder::OnSaveFile(const FileDialogOptions& options) {
  requests_.push_back({Kind::kSaveFile, {}, {}, MessageStyle::kOk, options});
  return NextPath();
}

std::optional<std::string> ScriptedResponder::OnOpenFile(const FileDialogOptions& options) {
  requests_.push_back({Kind::kOpenFile, {}, {}, MessageStyle::kOk, options});
  return NextPath();
}

std::optional<std::string> ScriptedResponder::OnPickFolder(std::string_view prompt) {
  requests_.push_back({Kind::kPickFolder, std::string(prompt), {}, MessageStyle::kOk, {}});
  if (folders_.empty()) return std::nullopt;
  std::optional<std::string> f = std::move(folders_.front());
  folders_.pop_front();
  return f;
}

void ScriptedResponder::OnModalDialog(QDialog& dialog) {
  requests_.push_back(
      {Kind::kModalDialog, dialog.windowTitle().toStdString(), {}, MessageStyle::kOk, {}});
  if (dialogs_.empty()) {
    dialog.reject();
    return;
  }
  DialogScript script = std::move(dialogs_.front());
  dialogs_.pop_front();
  script(dialog);
}

}  // namespace rh
