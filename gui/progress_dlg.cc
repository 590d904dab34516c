#include "gui/progress_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace rh {

namespace {

// How often a long run lets the window repaint itself.
constexpr int kPaintIntervalMs = 50;

}  // namespace

CProgressDlg::CProgressDlg()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint),
      bar_(new QProgressBar(this)),
      label_(new QLabel("0%", this)) {
  setWindowTitle("Export Progress");
  setModal(false);
  label_->setObjectName("percent_label");
  label_->setAlignment(Qt::AlignCenter);
  bar_->setObjectName("progress_bar");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);  // the label shows the percentage
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 18);
  layout->setSpacing(10);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  setFixedSize(300, 96);
}

void CProgressDlg::Create(QWidget* owner) {
  SetPercent(0);
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
  winId();  // the native window, so that it can be kept above the owner
  if (owner != nullptr && owner->window()->windowHandle() != nullptr)
    windowHandle()->setTransientParent(owner->window()->windowHandle());
  show();
  raise();
  PaintNow();
}

void CProgressDlg::SetRange(int lower, int upper) { bar_->setRange(lower, upper); }

void CProgressDlg::SetPercent(int percent) {
  QString text = QString::asprintf("%d%%", percent);
  if (text != label_->text()) {
    bar_->setValue(percent);
    label_->setText(text);
  }
  if (isVisible() && (!since_paint_.isValid() || since_paint_.elapsed() >= kPaintIntervalMs))
    PaintNow();
}

void CProgressDlg::DestroyWindow() {
  hide();
  since_paint_.invalidate();
}

QString CProgressDlg::PercentText() const { return label_->text(); }

int CProgressDlg::BarValue() const { return bar_->value(); }

void CProgressDlg::closeEvent(QCloseEvent* event) { event->ignore(); }

void CProgressDlg::reject() {}

void CProgressDlg::PaintNow() {
  // Paint and window-system events only: clicks and keys wait until the run
  // is over, as they would for a window that is busy.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  since_paint_.start();
}

}  // namespace rh
