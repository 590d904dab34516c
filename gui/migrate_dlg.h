// CMigrateDlg: "Migrate Installation" — the database to migrate into (typed,
// or a SQLite file chosen with Browse), the modules and companies, then the
// run with its progress over the data files and over the records of the one
// being read, a Stop button, and the summary. The run is the application's
// (MigrateInstallation); the dialog only shows it, as the run's observer.
//
// The run is synchronous: while it lasts the dialog lets Qt handle events
// now and then, so that it stays painted and Stop can be pressed; every
// other control is disabled meanwhile, and the dialog cannot be closed.
#ifndef RECORDHAUL_GUI_MIGRATE_DLG_H_
#define RECORDHAUL_GUI_MIGRATE_DLG_H_

#include <QDialog>
#include <QElapsedTimer>

#include "app/migrate_installation.h"
#include "platform/platform.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace rh {

class CMigrateDlg : public QDialog, public MigrationObserver {
  Q_OBJECT

 public:
  // `env` and `platform` (file dialog, messages, Documents folder) must
  // outlive the dialog.
  CMigrateDlg(Env* env, Directories dirs, Platform* platform, QWidget* parent = nullptr);

  // The widgets, by object name: target_box, browse_button, module_list
  // (one checkable item per module, all checked), company_box,
  // migrate_button, stop_button, close_button, files_bar, records_bar,
  // progress_label, summary_box.

  // The outcome of the last run.
  const MigrationOutcome& outcome() const { return outcome_; }

  void Progress(const MigrationProgress& progress) override;
  bool StopRequested() override { return stop_requested_; }

 protected:
  void reject() override;  // Escape and the close box: not during a run

 private:
  void Browse();
  void Migrate();
  MigrateRequest Request() const;
  void SetRunning(bool running);
  void ShowOutcome();

  Env* env_;
  Directories dirs_;
  Platform* platform_;
  MigrationOutcome outcome_;
  bool running_ = false;
  bool stop_requested_ = false;
  QElapsedTimer since_events_;

  QLineEdit* target_box_;
  QPushButton* browse_button_;
  QListWidget* module_list_;
  QLineEdit* company_box_;
  QProgressBar* files_bar_;
  QProgressBar* records_bar_;
  QLabel* progress_label_;
  QPlainTextEdit* summary_box_;
  QPushButton* migrate_button_;
  QPushButton* stop_button_;
  QPushButton* close_button_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_MIGRATE_DLG_H_
