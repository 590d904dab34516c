#include "gui/qt_message_box.h"

namespace rh {

MessageBoxLook LookOf(MessageStyle style) {
  using B = QMessageBox;
  switch (style) {
    case MessageStyle::kOk:
      return {B::Ok, B::Ok, B::Ok, B::NoIcon};
    case MessageStyle::kOkStop:
      return {B::Ok, B::Ok, B::Ok, B::Critical};
    case MessageStyle::kOkExclamation:
      return {B::Ok, B::Ok, B::Ok, B::Warning};
    case MessageStyle::kOkCancel:
      return {B::Ok | B::Cancel, B::Ok, B::Cancel, B::NoIcon};
    case MessageStyle::kYesNo:
      return {B::Yes | B::No, B::Yes, B::No, B::NoIcon};
    case MessageStyle::kYesNoQuestion:
      return {B::Yes | B::No, B::Yes, B::No, B::Question};
    case MessageStyle::kYesNoExclamation:
      return {B::Yes | B::No, B::Yes, B::No, B::Warning};
    case MessageStyle::kYesNoCancelQuestion:
      return {B::Yes | B::No | B::Cancel, B::Yes, B::Cancel, B::Question};
  }
  return {B::Ok, B::Ok, B::Ok, B::NoIcon};
}

std::unique_ptr<QMessageBox> MakeMessageBox(std::string_view text, std::string_view caption,
                                            MessageStyle style, QWidget* parent) {
  MessageBoxLook look = LookOf(style);
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
  // Plain text: a "<" in a file name must not turn the message into markup.
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  box->setIcon(look.icon);
  box->setStandardButtons(look.buttons);
  box->setDefaultButton(look.default_button);
  box->setEscapeButton(look.escape_button);
  return box;
}

Answer AnswerOf(int button, MessageStyle style) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    default:
      break;
  }
  QMessageBox::StandardButton escape = LookOf(style).escape_button;
  return escape == QMessageBox::Ok ? Answer::kOk : AnswerOf(escape, style);
}

}  // namespace rh
