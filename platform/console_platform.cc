#include "platform/console_platform.h"

namespace rh {

std::string MemorySettings::Read(std::string_view section, std::string_view key) {
  auto it = values_.find(std::string(section) + "/" + std::string(key));
  return it == values_.end() ? std::string() : it->second;
}

Status MemorySettings::Write(std::string_view section, std::string_view key,
                             std::string_view value) {
  values_[std::string(section) + "/" + std::string(key)] = std::string(value);
  return Status();
}

bool IsQuestion(MessageStyle style) {
  switch (style) {
    case MessageStyle::kOk:
    case MessageStyle::kOkStop:
    case MessageStyle::kOkExclamation:
      return false;
    default:
      return true;
  }
}

ConsolePlatform::ConsolePlatform(SettingsStore* settings, std::FILE* err,
                                 bool show_progress)
    : settings_(settings), err_(err), show_progress_(show_progress) {}

Answer ConsolePlatform::Message(std::string_view text, std::string_view caption,
                                MessageStyle style) {
  if (IsQuestion(style)) {
    if (answerer_) return answerer_(text, caption, style);
    if (style == MessageStyle::kOkCancel || style == MessageStyle::kYesNoCancelQuestion)
      return Answer::kCancel;
    return Answer::kNo;
  }
  std::fprintf(err_, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
               static_cast<int>(text.size()), text.data());
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
