// CDirectoriesDlg: "Enter Your Tallyvane Directories" — the data, system
// and program files directories, each typed or picked with Browse. The
// folder picker goes through the Platform, so tests can answer it.
#ifndef RECORDHAUL_GUI_DIRECTORIES_DLG_H_
#define RECORDHAUL_GUI_DIRECTORIES_DLG_H_

#include <QDialog>
#include <string>
#include <string_view>

#include "platform/platform.h"

class QGridLayout;
class QLineEdit;

namespace rh {

// The folder picker behind a Browse button: the picked folder's path, or
// empty text when the picker is cancelled. A picked item without a
// file-system path is reported ("Error - Could not open Directory.") and
// gives empty text too.
std::string BrowseForFolder(Platform& platform, std::string_view prompt);

class CDirectoriesDlg : public QDialog {
  Q_OBJECT

 public:
  // `platform` runs the folder picker and its message; it must outlive the
  // dialog.
  explicit CDirectoriesDlg(Platform* platform, QWidget* parent = nullptr);

  // Fills the boxes.
  void Load(const Directories& dirs);
  // The boxes' whole texts, exactly as typed; what OK stands for.
  Directories Entered() const;

  // The widgets, by object name: data_box, system_box, programs_box,
  // data_browse, system_browse, programs_browse, ok_button, cancel_button.

 private:
  // One row: label, box and Browse button; the box.
  QLineEdit* AddRow(QGridLayout* grid, int row, const QString& label, const char* name,
                    const char* prompt);

  Platform* platform_;
  QLineEdit* data_box_;
  QLineEdit* system_box_;
  QLineEdit* programs_box_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_DIRECTORIES_DLG_H_
