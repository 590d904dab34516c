#include "gui/screenshot.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>

#include "app/choice_cascade.h"
#include "app/selection_commands.h"
#include "app/settings.h"
#include "app/window_commands.h"
#include "data/catalog.h"
#include "gui/export_dlg.h"
#include "gui/program_icon.h"
#include "gui/scripted_responder.h"
#include "platform/console_platform.h"

namespace rh {

namespace {

constexpr int kTitleBarHeight = 30;

// The choices a user makes on the way to an export of the chart of
// accounts, stopped while a field is being renamed.
void MakeChoices(ExportState& s, Platform& ui) {
  ChooseModule(s, ui, ModuleIndexByCode("QZGL").value_or(0));
  CompanyEntryChanged(s, 0);
  ConfirmCompany(s, ui);
  ChooseExportType(s, ui, kCsvWithTitles);
  s.available.ClearSelection();
  for (size_t i : {0, 1, 2, 4, 6})
    if (i < s.available.selected.size()) s.available.selected[i] = true;
  AddFieldsCommand(s, ui);
  ClickSelectionRow(s, 1);
  s.selection.set_new_name("Account Name");
  ApplyRenameCommand(s);
  ClickSelectionRow(s, 3);
  s.selection.set_new_name("Balance");
  s.destination_box = "chart-of-accounts.csv";
}

// The window's content under a plain title bar with its icon and title, as
// a desktop would frame it.
QImage Framed(const QPixmap& content, const QString& title) {
  QImage picture(content.width(), content.height() + kTitleBarHeight,
                 QImage::Format_ARGB32_Premultiplied);
  picture.fill(QColor(0x2f, 0x4f, 0x6f));
  QPainter p(&picture);
  p.drawImage(QRect(8, (kTitleBarHeight - 20) / 2, 20, 20), ProgramIconImage(20));
  QFont font = QApplication::font();
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(36, 0, content.width() - 44, kTitleBarHeight), Qt::AlignVCenter, title);
  p.drawPixmap(0, kTitleBarHeight, content);
  return picture;
}

}  // namespace

Result<QImage> RenderWindowPicture(const Directories& dirs) {
  MemorySettings settings;
  if (Status s = WriteDirectories(settings, dirs); !s.ok()) return s;
  QtPlatform platform(&settings);
  ScriptedResponder responder;  // no dialog may appear on the way
  platform.SetResponder(&responder);
  ExportState state;
  CExportDlg window(&state, &platform);
  if (!window.Initialise())
    return Status::Of(MessageId::kWindowCouldNotStart);
  MakeChoices(state, platform);
  window.Refresh();
  window.resize(860, 560);
  window.show();
  QApplication::processEvents();
  QImage picture = Framed(window.grab(), window.windowTitle());
  window.hide();
  return picture;
}

Status DrawWindowPicture(const Directories& dirs, const std::string& png_path) {
  // Draw in memory unless a platform was asked for.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qt_argc = 1;
  char qt_name[] = "recordhaul";
  char* qt_argv[] = {qt_name, nullptr};
  std::unique_ptr<QApplication> application;
  if (QApplication::instance() == nullptr)
    application = std::make_unique<QApplication>(qt_argc, qt_argv);

  auto picture = RenderWindowPicture(dirs);
  if (!picture.ok()) return picture.status();
  if (!picture->save(QString::fromStdString(png_path), "PNG"))
    return Status::Of(MessageId::kCannotWriteFile, {png_path});
  return Status();
}

}  // namespace rh
