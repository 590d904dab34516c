// QtPlatform: the window's Platform. Messages are Qt message boxes, the
// progress window is CProgressDlg, the file and folder dialogs are Qt's, the
// directories dialog is CDirectoriesDlg, the settings are a QtSettingsStore.
//
// Test seam: with a Responder set, nothing is shown. Every message, file
// dialog, folder picker and modal dialog goes to the responder, which
// answers it (and can drive a modal dialog through its widgets).
#ifndef RECORDHAUL_GUI_QT_PLATFORM_H_
#define RECORDHAUL_GUI_QT_PLATFORM_H_

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

class QDialog;

namespace rh {

class CProgressDlg;

// Answers in place of the user; see ScriptedResponder.
class Responder {
 public:
  virtual ~Responder() = default;
  virtual Answer OnMessage(const MessageBox& box) = 0;
  virtual std::optional<std::string> OnSaveFile(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> OnOpenFile(const FileDialogOptions& options) = 0;
  // Nothing: cancelled; an empty path: an item with no file-system path.
  virtual std::optional<std::string> OnPickFolder(std::string_view prompt) = 0;
  // A modal dialog that would be exec()'d, never shown. Its result() after
  // the call (Accepted or Rejected) is the dialog's result.
  virtual void OnModalDialog(QDialog& dialog) = 0;
};

class QtPlatform : public Platform {
 public:
  // With the user's settings file.
  QtPlatform();
  // With other settings; `settings` must outlive the platform.
  explicit QtPlatform(SettingsStore* settings);
  ~QtPlatform() override;

  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  // The window that message boxes and dialogs are shown over (the main
  // window); none by default.
  void SetParentWindow(QWidget* window) { parent_ = window; }
  QWidget* ParentWindow() const { return parent_; }

  // Not owned; nullptr shows real dialogs again.
  void SetResponder(Responder* responder) { responder_ = responder; }

  // Runs `dialog` modally (or hands it to the responder); its result.
  int RunModal(QDialog& dialog);

  Answer Message(const MessageBox& box) override;

  void ProgressCreate() override;
  void ProgressSetPercent(int percent) override;
  void ProgressDestroy() override;
  // The progress window while a run shows it, else null.
  CProgressDlg* ProgressWindow() const { return progress_.get(); }

  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool WaitCursorShown() const { return wait_cursor_depth_ > 0; }

  std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> PickFolder(std::string_view prompt) override;
  bool EditDirectories(Directories* dirs) override;
  SettingsStore& Settings() override { return *settings_; }
  std::string DocumentsFolder() override;

 private:
  std::unique_ptr<SettingsStore> owned_settings_;
  SettingsStore* settings_;
  QPointer<QWidget> parent_;
  Responder* responder_ = nullptr;
  std::unique_ptr<CProgressDlg> progress_;
  int wait_cursor_depth_ = 0;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_QT_PLATFORM_H_
