#include "platform/console_platform.h"

namespace rh {

ConsolePlatform::ConsolePlatform(SettingsStore* settings, std::FILE* err,
                                 bool show_progress)
    : settings_(settings), err_(err), show_progress_(show_progress) {}

Answer ConsolePlatform::Message(const MessageBox& box) {
  if (IsQuestion(box.style)) {
    if (answerer_) return answerer_(box);
    if (box.style == MessageStyle::kOkCancel || box.style == MessageStyle::kYesNoCancelQuestion)
      return Answer::kCancel;
    return Answer::kNo;
  }
  std::fprintf(err_, "%.*s: %.*s\n", static_cast<int>(box.caption.size()), box.caption.data(),
               static_cast<int>(box.text.size()), box.text.data());
  if (!box.detail.empty())
    std::fprintf(err_, "%.*s\n", static_cast<int>(box.detail.size()), box.detail.data());
  return Answer::kOk;
}

void ConsolePlatform::ProgressCreate() {
  shown_percent_ = -1;
  ProgressSetPercent(0);
}

void ConsolePlatform::ProgressSetPercent(int percent) {
  if (!show_progress_ || percent == shown_percent_) return;
  shown_percent_ = percent;
  constexpr int kWidth = 40;
  int filled = percent * kWidth / 100;
  std::fprintf(err_, "\r[%.*s%*s] %3d%%", filled,
               "########################################", kWidth - filled, "", percent);
  std::fflush(err_);
}

void ConsolePlatform::ProgressDestroy() {
  if (show_progress_ && shown_percent_ >= 0) std::fputs("\n", err_);
  shown_percent_ = -1;
}

}  // namespace rh
