#include "gui/help_viewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/program_icon.h"

namespace rh {

namespace {

bool HasHelp(const QString& folder) {
  return !folder.isEmpty() && QFileInfo::exists(folder + "/index.html");
}

}  // namespace

QString HelpFolder() {
  QStringList candidates;
  candidates << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                "/../share/recordhaul/help");
  candidates << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "recordhaul/help",
                                          QStandardPaths::LocateDirectory);
#ifdef RECORDHAUL_HELP_SOURCE_DIR
  candidates << QStringLiteral(RECORDHAUL_HELP_SOURCE_DIR);
#endif
  for (const QString& folder : candidates)
    if (HasHelp(folder)) return folder;
  return {};
}

HelpViewer::HelpViewer(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder), browser_(new QTextBrowser(this)) {
  setWindowTitle("recordhaul Help");
  setWindowIcon(ProgramIcon());
  setAttribute(Qt::WA_DeleteOnClose, false);
  browser_->setObjectName("help_browser");
  browser_->setOpenExternalLinks(true);
  if (!folder_.isEmpty()) browser_->setSearchPaths({folder_});

  auto* tools = new QToolBar(this);
  QAction* contents = tools->addAction("&Contents", this, &HelpViewer::ShowContents);
  contents->setObjectName("help_contents");
  QAction* back = tools->addAction("&Back", browser_, &QTextBrowser::backward);
  QAction* forward = tools->addAction("&Forward", browser_, &QTextBrowser::forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QString("recordhaul Help") : "recordhaul Help - " + title);
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tools);
  layout->addWidget(browser_);
  resize(760, 620);
}

void HelpViewer::ShowContents() {
  if (HasHelp(folder_)) {
    browser_->setSource(QUrl::fromLocalFile(folder_ + "/index.html"));
  } else {
    browser_->setHtml(
        "<h1>Help not found</h1><p>The help files of recordhaul are installed in "
        "<i>share/recordhaul/help</i> beside the program's <i>bin</i> folder, and were not "
        "found there.</p>");
  }
  show();
  raise();
  activateWindow();
}

HelpWindow::HelpWindow(QWidget* owner, QString folder)
    : owner_(owner), folder_(std::move(folder)) {}

HelpWindow::~HelpWindow() { Close(); }

void HelpWindow::ShowContents() {
  if (viewer_.isNull()) viewer_ = new HelpViewer(folder_, owner_.data());
  viewer_->ShowContents();
}

void HelpWindow::Close() {
  if (viewer_.isNull()) return;
  viewer_->close();
  delete viewer_.data();
}

}  // namespace rh
