#include "gui/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/program_icon.h"

namespace rh {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Data Export Tool");
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setObjectName("about_icon");
  icon->setPixmap(ProgramIcon().pixmap(48, 48));
  auto* line = new QLabel("KVT Tallyvane Data Export Tool ", this);
  line->setObjectName("about_text");
  auto* ok = new QPushButton("&OK", this);
  ok->setObjectName("ok_button");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addWidget(line, 1, Qt::AlignVCenter);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addSpacing(8);
  layout->addLayout(bottom);
  setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

}  // namespace rh
