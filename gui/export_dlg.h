// CExportDlg: the main export window. It shows the view elements of the
// export state in its controls and turns every user action into one
// operation of the core (app/), then shows the state again. It holds no
// rule of its own: what a choice or a button does is decided by the core.
//
// Run modally; it closes when an operation ends the program (Exit, the close
// box, Escape, a fatal error), and its closing ends the program.
#ifndef RECORDHAUL_GUI_EXPORT_DLG_H_
#define RECORDHAUL_GUI_EXPORT_DLG_H_

#include <QDialog>
#include <functional>

#include "app/export_state.h"
#include "gui/help_viewer.h"
#include "gui/qt_platform.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace rh {

class CExportDlg : public QDialog {
  Q_OBJECT

 public:
  // `state` and `platform` must outlive the window; message boxes and
  // dialogs of the platform are shown over it.
  CExportDlg(ExportState* state, QtPlatform* platform, QWidget* parent = nullptr);
  ~CExportDlg() override;

  // The window's initialisation: the three directories (asking for them
  // until all are set) and an untitled template. False when the directories
  // dialog was cancelled: the window is closed and the program ends.
  bool Initialise();

  // Sets every control from the export state. Raises no events.
  void Refresh();

  HelpWindow& help() { return help_; }

  // Controls by object name: module_list, company_list, file_list,
  // export_type_list, destination_box, browse_button, typed_box, available_list,
  // add_button, add_all_button, remove_button, remove_all_button,
  // selection_list, new_name_label, new_name_box, apply_button,
  // export_button. Menu actions: new_template, open_template,
  // save_template, save_template_as, directories, exit, help_contents,
  // about.

 protected:
  // Escape and the close box: the save question, then the end.
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void LayOutControls();
  void BuildMenus();
  void Connect();

  // Runs one operation on the state, then closes the window with `result`
  // if the operation ended the program, else shows the state.
  void Perform(const std::function<void()>& operation, int result = QDialog::Rejected);
  void Export();
  bool ExportRunning() const;

  bool SelectionListEvent(QEvent* event);

  ExportState* state_;
  QtPlatform* platform_;
  HelpWindow help_;
  bool refreshing_ = false;

  QComboBox* module_list_;
  QComboBox* company_list_;
  QComboBox* file_list_;
  QComboBox* export_type_list_;
  QLineEdit* destination_box_;
  QPushButton* browse_button_;
  QCheckBox* typed_box_;
  QListWidget* available_list_;
  QPushButton* add_button_;
  QPushButton* add_all_button_;
  QPushButton* remove_button_;
  QPushButton* remove_all_button_;
  QTreeWidget* selection_list_;
  QLabel* new_name_label_;
  QLineEdit* new_name_box_;
  QPushButton* apply_button_;
  QPushButton* export_button_;

  QAction* new_template_;
  QAction* open_template_;
  QAction* save_template_;
  QAction* save_template_as_;
  QAction* directories_;
  QAction* exit_;
  QAction* help_contents_;
  QAction* about_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_EXPORT_DLG_H_
