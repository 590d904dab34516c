// A Platform for tests: records every message and progress step and answers
// questions from a script.
#ifndef RECORDHAUL_TESTS_FAKE_PLATFORM_H_
#define RECORDHAUL_TESTS_FAKE_PLATFORM_H_

#include <deque>
#include <string>
#include <vector>

#include "export/run_observer.h"
#include "platform/console_platform.h"
#include "platform/platform.h"

namespace rh::test {

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageStyle style;
  MessageId id = MessageId::kNone;
};

// Also an export run's observer, so the export layer's tests need no app.
class FakePlatform : public Platform, public RunObserver {
 public:
  Answer Message(const MessageBox& box) override {
    messages.push_back({std::string(box.text), std::string(box.caption), box.style, box.id});
    if (!IsQuestion(box.style)) return Answer::kOk;
    if (answers.empty()) return default_answer;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  Answer Ask(MessageId id) override { return Show(id); }
  void ProgressCreate() override {
    progress_open = true;
    percents.push_back(0);
  }
  void ProgressSetPercent(int percent) override { percents.push_back(percent); }
  void ProgressDestroy() override { progress_open = false; }
  void BeginWaitCursor() override { ++wait_depth; }
  void EndWaitCursor() override { --wait_depth; }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& o) override {
    dialogs.push_back(o);
    return Next(save_paths);
  }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& o) override {
    dialogs.push_back(o);
    return Next(open_paths);
  }
  std::optional<std::string> PickFolder(std::string_view) override { return Next(folders); }
  bool EditDirectories(Directories* dirs) override {
    if (directory_answers.empty()) return false;
    auto next = directory_answers.front();
    directory_answers.pop_front();
    if (!next) return false;
    *dirs = *next;
    return true;
  }
  SettingsStore& Settings() override { return settings; }
  std::string DocumentsFolder() override { return documents; }

  // The captions of the messages shown, in order.
  std::vector<std::string> Captions() const {
    std::vector<std::string> c;
    for (const auto& m : messages) c.push_back(m.caption);
    return c;
  }

  std::vector<ShownMessage> messages;
  std::deque<Answer> answers;
  Answer default_answer = Answer::kYes;
  std::vector<int> percents;
  bool progress_open = false;
  int wait_depth = 0;
  std::vector<FileDialogOptions> dialogs;
  std::deque<std::optional<std::string>> save_paths, open_paths, folders;
  std::deque<std::optional<Directories>> directory_answers;
  MemorySettings settings;
  std::string documents = "/tmp";

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_FAKE_PLATFORM_H_
