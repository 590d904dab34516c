// CAboutDlg: "About Data Export Tool" — the icon, the tool's name line and
// an OK button. Modal.
#ifndef RECORDHAUL_GUI_ABOUT_DLG_H_
#define RECORDHAUL_GUI_ABOUT_DLG_H_

#include <QDialog>

namespace rh {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_ABOUT_DLG_H_
