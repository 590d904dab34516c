// The help viewer: a window over the tool's HTML help, opened at its table
// of contents, with Contents, Back and Forward buttons.
#ifndef RECORDHAUL_GUI_HELP_VIEWER_H_
#define RECORDHAUL_GUI_HELP_VIEWER_H_

#include <QPointer>
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace rh {

// The folder holding the help files (index.html first): installed beside
// the program (<prefix>/share/recordhaul/help), in the system's data
// folders, else the copy in the source tree the program was built from.
// Empty when none is found.
QString HelpFolder();

class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  // A top-level window. With a parent it closes with it and stays usable
  // while the parent runs modally.
  explicit HelpViewer(const QString& folder, QWidget* parent = nullptr);

  // Shows the table of contents and brings the window to the front.
  void ShowContents();

  QTextBrowser* browser() const { return browser_; }

 private:
  QString folder_;
  QTextBrowser* browser_;
};

// The main window's handle on the viewer: opens it on demand and closes it
// when told to (when the main window goes).
class HelpWindow {
 public:
  explicit HelpWindow(QWidget* owner, QString folder = HelpFolder());
  ~HelpWindow();

  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  void ShowContents();
  void Close();
  bool IsOpen() const { return !viewer_.isNull() && viewer_->isVisible(); }
  HelpViewer* viewer() const { return viewer_.data(); }

 private:
  QPointer<QWidget> owner_;
  QString folder_;
  QPointer<HelpViewer> viewer_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_HELP_VIEWER_H_
