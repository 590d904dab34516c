// The command line's Platform: messages go to stderr as "Caption: text",
// questions are answered by a policy the command sets (by message id),
// progress is a bar on a terminal, and there are no dialogs.
#ifndef RECORDHAUL_PLATFORM_CONSOLE_PLATFORM_H_
#define RECORDHAUL_PLATFORM_CONSOLE_PLATFORM_H_

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/memory_settings.h"
#include "platform/platform.h"

namespace rh {

class ConsolePlatform : public Platform {
 public:
  using Answerer = std::function<Answer(const MessageBox& question)>;

  // `settings` must outlive the platform. Progress is drawn on `err` when
  // `show_progress` is set.
  ConsolePlatform(SettingsStore* settings, std::FILE* err, bool show_progress);

  // Answers questions; without one every question gets the answer that
  // changes nothing (No, or Cancel where offered).
  void SetAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

  Answer Message(const MessageBox& box) override;
  void ProgressCreate() override;
  void ProgressSetPercent(int percent) override;
  void ProgressDestroy() override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  std::optional<std::string> SaveFileDialog(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> PickFolder(std::string_view) override { return std::nullopt; }
  bool EditDirectories(Directories*) override { return false; }
  SettingsStore& Settings() override { return *settings_; }
  std::string DocumentsFolder() override { return DefaultDocumentsFolder(); }

  // A flag a signal handler sets when the user interrupts: the running
  // export stops at the next record.
  void WatchStopFlag(const volatile std::sig_atomic_t* flag) { stop_flag_ = flag; }
  bool StopRequested() override { return stop_flag_ != nullptr && *stop_flag_ != 0; }

 private:
  SettingsStore* settings_;
  std::FILE* err_;
  bool show_progress_;
  int shown_percent_ = -1;
  Answerer answerer_;
  const volatile std::sig_atomic_t* stop_flag_ = nullptr;
};

}  // namespace rh

#endif  // RECORDHAUL_PLATFORM_CONSOLE_PLATFORM_H_
