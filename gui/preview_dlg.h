// CPreviewDlg: the first records of the current selection in a table, the
// export names as column headers and each value as the text exports write
// it. Modal; nothing is written.
#ifndef RECORDHAUL_GUI_PREVIEW_DLG_H_
#define RECORDHAUL_GUI_PREVIEW_DLG_H_

#include <QDialog>

#include "app/preview.h"

class QTableWidget;

namespace rh {

class CPreviewDlg : public QDialog {
  Q_OBJECT

 public:
  // `title` names the data file, as the window title does.
  CPreviewDlg(const PreviewTable& table, const QString& title, QWidget* parent = nullptr);

  // Object names: preview_table, preview_count, close_button.
  QTableWidget* table() const { return table_; }

 private:
  QTableWidget* table_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_PREVIEW_DLG_H_
