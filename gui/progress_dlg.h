// CProgressDlg: the "Export Progress" window of an export run — a bar from
// 0 to 100 and a label with the percentage. Modeless, centred, a caption
// but no close button and no way to cancel. The run is synchronous, so the
// window keeps itself painted: while the percentage is set it lets Qt
// handle paint and window-system events now and then, never user input.
#ifndef RECORDHAUL_GUI_PROGRESS_DLG_H_
#define RECORDHAUL_GUI_PROGRESS_DLG_H_

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

class QLabel;
class QProgressBar;

namespace rh {

class CProgressDlg : public QDialog {
  Q_OBJECT

 public:
  CProgressDlg();

  // Shows the window at 0%, centred on the screen of `owner` (if any), and
  // kept above it.
  void Create(QWidget* owner = nullptr);
  void SetRange(int lower, int upper);
  // Moves the bar and shows "<percent>%".
  void SetPercent(int percent);
  // Hides the window; the object may be created again.
  void DestroyWindow();

  QString PercentText() const;
  int BarValue() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape: the run cannot be cancelled

 private:
  void PaintNow();

  QProgressBar* bar_;
  QLabel* label_;
  QElapsedTimer since_paint_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_PROGRESS_DLG_H_
