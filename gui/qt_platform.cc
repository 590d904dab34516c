#include "gui/qt_platform.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "gui/directories_dlg.h"
#include "gui/progress_dlg.h"
#include "gui/qt_file_dialog.h"
#include "gui/qt_message_box.h"
#include "gui/qt_settings_store.h"

namespace rh {

QtPlatform::QtPlatform()
    : owned_settings_(std::make_unique<QtSettingsStore>()), settings_(owned_settings_.get()) {}

QtPlatform::QtPlatform(SettingsStore* settings) : settings_(settings) {}

QtPlatform::~QtPlatform() {
  while (wait_cursor_depth_ > 0) EndWaitCursor();
}

int QtPlatform::RunModal(QDialog& dialog) {
  if (responder_ == nullptr) return dialog.exec();
  dialog.setResult(QDialog::Rejected);
  responder_->OnModalDialog(dialog);
  return dialog.result();
}

Answer QtPlatform::Message(const MessageBox& message) {
  if (responder_ != nullptr) return responder_->OnMessage(message);
  QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
  std::unique_ptr<QMessageBox> box =
      MakeMessageBox(message.text, message.caption, message.style, parent);
  if (!message.detail.empty()) box->setDetailedText(QString::fromStdString(std::string(message.detail)));
  return AnswerOf(box->exec(), message.style);
}

void QtPlatform::ProgressCreate() {
  progress_ = std::make_unique<CProgressDlg>();
  progress_->Create(parent_);
  progress_->SetRange(0, 100);
  progress_->SetPercent(0);
}

void QtPlatform::ProgressSetPercent(int percent) {
  if (progress_) progress_->SetPercent(percent);
}

void QtPlatform::ProgressDestroy() {
  if (!progress_) return;
  progress_->DestroyWindow();
  progress_.reset();
}

void QtPlatform::BeginWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ++wait_cursor_depth_;
}

void QtPlatform::EndWaitCursor() {
  if (wait_cursor_depth_ == 0) return;
  QApplication::restoreOverrideCursor();
  --wait_cursor_depth_;
}

std::optional<std::string> QtPlatform::SaveFileDialog(const FileDialogOptions& options) {
  if (responder_ != nullptr) return responder_->OnSaveFile(options);
  return RunFileDialog(parent_, options, FileDialogMode::kSave);
}

std::optional<std::string> QtPlatform::OpenFileDialog(const FileDialogOptions& options) {
  if (responder_ != nullptr) return responder_->OnOpenFile(options);
  return RunFileDialog(parent_, options, FileDialogMode::kOpen);
}

std::optional<std::string> QtPlatform::PickFolder(std::string_view prompt) {
  if (responder_ != nullptr) return responder_->OnPickFolder(prompt);
  // No owner window and no restriction to local folders: a picked network
  // location comes back without a file-system path.
  QUrl url = QFileDialog::getExistingDirectoryUrl(
      nullptr, QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())), QUrl(),
      QFileDialog::ShowDirsOnly);
  if (url.isEmpty()) return std::nullopt;
  if (!url.isLocalFile()) return std::string();
  return url.toLocalFile().toStdString();
}

bool QtPlatform::EditDirectories(Directories* dirs) {
  CDirectoriesDlg dialog(this, parent_);
  dialog.Load(*dirs);
  if (RunModal(dialog) != QDialog::Accepted) return false;
  *dirs = dialog.Entered();
  return true;
}

std::string QtPlatform::DocumentsFolder() {
  QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!docs.isEmpty() && QFileInfo(docs).isDir()) return docs.toStdString();
  return DefaultDocumentsFolder();
}

}  // namespace rh
