#include "gui/help_viewer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <memory>

#include "base/messages.h"
#include "gui/program_icon.h"

namespace rh {
namespace {

const QString kHelp = RECORDHAUL_HELP_SOURCE_DIR;

QString ReadText(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

// The page as a reader sees it, line breaks as "\n".
QString PlainText(const QString& page) {
  QTextDocument doc;
  doc.setHtml(ReadText(kHelp + "/" + page));
  QString text = doc.toPlainText();
  text.replace(QChar::LineSeparator, '\n').replace(QChar::Nbsp, ' ');
  return text;
}

TEST(Help, FolderIsFoundFromTheBuildTree) {
  QString folder = HelpFolder();
  ASSERT_FALSE(folder.isEmpty());
  EXPECT_TRUE(QFile::exists(folder + "/index.html"));
}

TEST(Help, EveryLinkLeadsToAPageAndAnchorThatExist) {
  const QStringList pages = QDir(kHelp).entryList({"*.html"}, QDir::Files);
  ASSERT_GE(pages.size(), 8);
  const QRegularExpression href("href=\"([^\"]+)\"");
  for (const QString& page : pages) {
    const QString html = ReadText(kHelp + "/" + page);
    for (auto it = href.globalMatch(html); it.hasNext();) {
      const QString link = it.next().captured(1);
      if (link.startsWith("http:") || link.startsWith("https:")) continue;
      SCOPED_TRACE((page + " -> " + link).toStdString());
      const QString file = link.section('#', 0, 0);
      const QString anchor = link.section('#', 1);
      const QString target = file.isEmpty() ? page : file;
      ASSERT_TRUE(QFile::exists(kHelp + "/" + target));
      if (!anchor.isEmpty()) {
        EXPECT_TRUE(ReadText(kHelp + "/" + target).contains("id=\"" + anchor + "\""));
      }
    }
  }
}

TEST(Help, ContentsLinksEveryPage) {
  const QString index = ReadText(kHelp + "/index.html");
  for (const QString& page : QDir(kHelp).entryList({"*.html"}, QDir::Files)) {
    if (page != "index.html") {
      EXPECT_TRUE(index.contains("href=\"" + page + "\"")) << page.toStdString();
    }
  }
}

// The command line's own refusals (its help page explains them) and the
// details, which the help shows under their messages.
bool ExplainedElsewhere(MessageId id) {
  switch (id) {
    case MessageId::kNone:
    case MessageId::kWarnings:
    case MessageId::kUsage:
    case MessageId::kUnknownField:
    case MessageId::kDestinationExistsGiveOption:
    case MessageId::kCompanyHasNoRegister:
    case MessageId::kDictionaryUnusable:
    case MessageId::kTemplateExists:
    case MessageId::kTemplateDestinationTooLong:
    case MessageId::kCannotCreateFolder:
    case MessageId::kCannotMakeTempFolder:
    case MessageId::kCannotWriteFile:
    case MessageId::kWindowCouldNotStart:
      return true;
    default:
      return Spec(id).caption.empty();  // a detail
  }
}

// Every message of the catalog is on the help page, with its caption and
// its text (the placeholders aside).
TEST(Help, ExplainsEveryMessage) {
  const QString page = PlainText("messages.html");
  const QRegularExpression placeholder("%[1-9]");
  for (const MessageSpec& m : AllMessages()) {
    if (ExplainedElsewhere(m.id)) continue;
    SCOPED_TRACE(std::string(m.caption) + ": " + std::string(m.text));
    EXPECT_TRUE(page.contains(QString::fromUtf8(m.caption.data(), m.caption.size())));
    for (const QString& line : QString::fromUtf8(m.text.data(), m.text.size()).split('\n')) {
      for (QString part : line.split(placeholder)) {
        part = part.trimmed();
        if (!part.isEmpty()) {
          EXPECT_TRUE(page.contains(part)) << part.toStdString();
        }
      }
    }
  }
}

TEST(Help, ExplainsEveryExportTypeAndControl) {
  const QString types = PlainText("export-types.html");
  for (const char* label :
       {"Comma Delimited with titles", "Comma Delimited without titles",
        "CSV - comma delimited with titles", "CSV - comma delimited w/out titles",
        "Text - Tab delimited with titles", "Text - Tab delimited w/out titles",
        "Fixed Field Length with titles", "Fixed Field Length w/out titles", "Excel worksheet",
        "dBase", "Access", "Excel workbook", "Typed table columns"})
    EXPECT_TRUE(types.contains(label)) << label;
  EXPECT_TRUE(types.contains("\"1\",\"QZGL\",\"ACME\",\"4521\",\"12.3456\",\"03/15/07\""));
  EXPECT_TRUE(types.contains("       1QZGL  ACME        4521   12.345603/15/07"));

  const QString window = PlainText("window.html");
  for (const char* control :
       {"Module name", "Current company", "File name", "Export to", "Export destination",
        "Browse", "Fields available for export", "Add >", "Add All >>", "< Remove",
        "<< Remove All", "Fields to be exported", "Your name for fields to be exported",
        "New name", "Apply", "Export", "New Template", "Open Template", "Save Template",
        "Save Template As", "Tallyvane Directories", "Exit", "Help...", "About",
        "Typed table columns"})
    EXPECT_TRUE(window.contains(control)) << control;
}

TEST(HelpViewer, OpensAtTheTableOfContents) {
  HelpViewer viewer(kHelp);
  viewer.ShowContents();
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.browser()->source().fileName(), "index.html");
  EXPECT_EQ(viewer.browser()->documentTitle(), "Contents");
  viewer.browser()->setSource(QUrl("messages.html"));
  EXPECT_EQ(viewer.browser()->source().fileName(), "messages.html");
  viewer.ShowContents();
  EXPECT_EQ(viewer.browser()->source().fileName(), "index.html");
}

TEST(HelpViewer, WithoutHelpFilesSaysSo) {
  HelpViewer viewer(QString{});
  viewer.ShowContents();
  EXPECT_TRUE(viewer.browser()->toPlainText().contains("Help not found"));
}

TEST(HelpWindow, ClosesOnRequestAndWithItsOwner) {
  auto owner = std::make_unique<QWidget>();
  HelpWindow help(owner.get(), kHelp);
  EXPECT_FALSE(help.IsOpen());
  help.ShowContents();
  EXPECT_TRUE(help.IsOpen());
  EXPECT_TRUE(help.viewer()->isWindow());
  help.Close();
  EXPECT_FALSE(help.IsOpen());
  EXPECT_EQ(help.viewer(), nullptr);

  help.ShowContents();
  ASSERT_NE(help.viewer(), nullptr);
  owner.reset();  // the main window goes
  EXPECT_EQ(help.viewer(), nullptr);
  help.Close();  // nothing left to close
}

TEST(ProgramIcon, DrawnAtEverySize) {
  for (int size : {16, 48, 256}) {
    QImage image = ProgramIconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(image.pixel(0, size - 1)), 0) << size;     // transparent corner
    EXPECT_GT(qAlpha(image.pixel(size / 2, size / 2)), 200) << size;  // the sheet
  }
}

}  // namespace
}  // namespace rh
