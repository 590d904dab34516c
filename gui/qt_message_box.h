// Message boxes in Qt: the buttons and icon of each message style, and the
// answer a clicked button gives.
#ifndef RECORDHAUL_GUI_QT_MESSAGE_BOX_H_
#define RECORDHAUL_GUI_QT_MESSAGE_BOX_H_

#include <QMessageBox>
#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace rh {

struct MessageBoxLook {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button;  // the first button
  QMessageBox::StandardButton escape_button;   // the one that changes nothing
  QMessageBox::Icon icon;
};

MessageBoxLook LookOf(MessageStyle style);

// A box showing `text` as plain text (line breaks and tabs kept) under
// `caption`, ready for exec().
std::unique_ptr<QMessageBox> MakeMessageBox(std::string_view text, std::string_view caption,
                                            MessageStyle style, QWidget* parent);

// The answer of the button exec() returned. A box closed some other way
// gives the answer of its escape button: Cancel if offered, else No, else OK.
Answer AnswerOf(int button, MessageStyle style);

}  // namespace rh

#endif  // RECORDHAUL_GUI_QT_MESSAGE_BOX_H_
