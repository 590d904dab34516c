#include "gui/directories_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <climits>

namespace rh {

std::string BrowseForFolder(Platform& platform, std::string_view prompt) {
  std::optional<std::string> picked = platform.PickFolder(prompt);
  if (!picked) return {};
  if (picked->empty()) {
    platform.Show(MessageId::kCouldNotOpenDirectory);
    return {};
  }
  return *picked;
}

CDirectoriesDlg::CDirectoriesDlg(Platform* platform, QWidget* parent)
    : QDialog(parent), platform_(platform) {
  setWindowTitle("Enter Your Tallyvane Directories");
  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(1, 320);
  data_box_ = AddRow(grid, 0, "&Data files:", "data", "Please select your DATA folder.");
  system_box_ = AddRow(grid, 1, "&System files:", "system", "Please select your SYS folder.");
  programs_box_ =
      AddRow(grid, 2, "&Program files:", "programs", "Please select your PROGS folder.");

  auto* ok = new QPushButton("&OK", this);
  ok->setObjectName("ok_button");
  ok->setDefault(true);
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("cancel_button");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);
}

QLineEdit* CDirectoriesDlg::AddRow(QGridLayout* grid, int row, const QString& label,
                                   const char* name, const char* prompt) {
  auto* box = new QLineEdit(this);
  box->setObjectName(QString(name) + "_box");
  box->setMaxLength(INT_MAX);  // a directory of any length
  auto* text = new QLabel(label, this);
  text->setBuddy(box);
  auto* browse = new QPushButton("Browse", this);
  browse->setObjectName(QString(name) + "_browse");
  browse->setAutoDefault(false);  // Enter in a box means OK
  connect(browse, &QPushButton::clicked, this, [this, box, prompt] {
    box->setText(QString::fromStdString(BrowseForFolder(*platform_, prompt)));
  });
  grid->addWidget(text, row, 0);
  grid->addWidget(box, row, 1);
  grid->addWidget(browse, row, 2);
  return box;
}

void CDirectoriesDlg::Load(const Directories& dirs) {
  data_box_->setText(QString::fromStdString(dirs.data));
  system_box_->setText(QString::fromStdString(dirs.system));
  programs_box_->setText(QString::fromStdString(dirs.programs));
}

Directories CDirectoriesDlg::Entered() const {
  return {data_box_->text().toStdString(), system_box_->text().toStdString(),
          programs_box_->text().toStdString()};
}

}  // namespace rh
