#include "gui/qt_message_box.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QtTest/QTest>

namespace rh {
namespace {

using B = QMessageBox;

const struct StyleCase {
  MessageStyle style;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button;
  QMessageBox::Icon icon;
  Answer on_escape;  // the box closed without a button
} kStyles[] = {
    {MessageStyle::kOk, B::Ok, B::Ok, B::NoIcon, Answer::kOk},
    {MessageStyle::kOkStop, B::Ok, B::Ok, B::Critical, Answer::kOk},
    {MessageStyle::kOkExclamation, B::Ok, B::Ok, B::Warning, Answer::kOk},
    {MessageStyle::kOkCancel, B::Ok | B::Cancel, B::Ok, B::NoIcon, Answer::kCancel},
    {MessageStyle::kYesNo, B::Yes | B::No, B::Yes, B::NoIcon, Answer::kNo},
    {MessageStyle::kYesNoQuestion, B::Yes | B::No, B::Yes, B::Question, Answer::kNo},
    {MessageStyle::kYesNoExclamation, B::Yes | B::No, B::Yes, B::Warning, Answer::kNo},
    {MessageStyle::kYesNoCancelQuestion, B::Yes | B::No | B::Cancel, B::Yes, B::Question,
     Answer::kCancel},
};

TEST(MessageBox, EachStyleHasItsButtonsAndIcon) {
  for (const StyleCase& c : kStyles) {
    SCOPED_TRACE(static_cast<int>(c.style));
    auto box = MakeMessageBox("text", "caption", c.style, nullptr);
    EXPECT_EQ(box->standardButtons(), c.buttons);
    EXPECT_EQ(box->icon(), c.icon);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->standardButton(box->defaultButton()), c.default_button);
  }
}

TEST(MessageBox, ShowsTextAndCaptionExactly) {
  const char* text = "Destination file already exists.\nClick Yes to append, No to overwrite.";
  auto box = MakeMessageBox(text, "Warning", MessageStyle::kYesNoCancelQuestion, nullptr);
  EXPECT_EQ(box->windowTitle(), "Warning");
  EXPECT_EQ(box->text(), text);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);

  // Markup-like file names stay text.
  auto plain = MakeMessageBox("<b>x</b>.xdf was not found.", "recordhaul", MessageStyle::kOk, nullptr);
  EXPECT_EQ(plain->textFormat(), Qt::PlainText);
}

TEST(MessageBox, ButtonsGiveTheirAnswers) {
  for (const StyleCase& c : kStyles) {
    SCOPED_TRACE(static_cast<int>(c.style));
    const struct {
      QMessageBox::StandardButton button;
      Answer answer;
    } buttons[] = {{B::Ok, Answer::kOk},
                   {B::Cancel, Answer::kCancel},
                   {B::Yes, Answer::kYes},
                   {B::No, Answer::kNo}};
    for (const auto& b : buttons) {
      if (c.buttons.testFlag(b.button)) {
        EXPECT_EQ(AnswerOf(b.button, c.style), b.answer);
      }
    }
    EXPECT_EQ(AnswerOf(-1, c.style), c.on_escape);
  }
}

TEST(MessageBox, EscapeTakesTheButtonThatChangesNothing) {
  for (const StyleCase& c : kStyles) {
    SCOPED_TRACE(static_cast<int>(c.style));
    auto box = MakeMessageBox("text", "caption", c.style, nullptr);
    box->open();
    QTest::keyClick(box.get(), Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    ASSERT_NE(box->clickedButton(), nullptr);
    EXPECT_EQ(AnswerOf(box->standardButton(box->clickedButton()), c.style), c.on_escape);
  }
}

}  // namespace
}  // namespace rh
