#include "gui/migrate_dlg.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "data/catalog.h"

namespace rh {

namespace {

// How often a run lets Qt paint and take the Stop button's click.
constexpr qint64 kEventsEveryMs = 50;

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QLabel* BuddyLabel(const char* text, QWidget* buddy) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

CMigrateDlg::CMigrateDlg(Env* env, Directories dirs, Platform* platform, QWidget* parent)
    : QDialog(parent), env_(env), dirs_(std::move(dirs)), platform_(platform) {
  setWindowTitle("Migrate Installation");
  target_box_ = Named(new QLineEdit, "target_box");
  target_box_->setPlaceholderText(
      "a SQLite file (.sqlite, .sqlite3, .db) or odbc:connection string");
  browse_button_ = Named(new QPushButton("&Browse..."), "browse_button");
  browse_button_->setAutoDefault(false);
  module_list_ = Named(new QListWidget, "module_list");
  for (const ModuleInfo& m : Modules()) {
    auto* item = new QListWidgetItem(QString::fromStdString(std::string(m.code) + " - " +
                                                            std::string(m.name)),
                                     module_list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setData(Qt::UserRole, QString::fromStdString(std::string(m.code)));
  }
  company_box_ = Named(new QLineEdit, "company_box");
  company_box_->setPlaceholderText("every company; or numbers such as 01 02");
  files_bar_ = Named(new QProgressBar, "files_bar");
  files_bar_->setFormat("%v of %m data files");
  records_bar_ = Named(new QProgressBar, "records_bar");
  records_bar_->setFormat("%v of %m records");
  progress_label_ = Named(new QLabel, "progress_label");
  summary_box_ = Named(new QPlainTextEdit, "summary_box");
  summary_box_->setReadOnly(true);
  summary_box_->setLineWrapMode(QPlainTextEdit::NoWrap);
  migrate_button_ = Named(new QPushButton("&Migrate"), "migrate_button");
  migrate_button_->setDefault(true);
  stop_button_ = Named(new QPushButton("&Stop"), "stop_button");
  stop_button_->setEnabled(false);
  stop_button_->setAutoDefault(false);
  close_button_ = Named(new QPushButton("&Close"), "close_button");
  close_button_->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->addWidget(BuddyLabel("&Database:", target_box_), 0, 0);
  grid->addWidget(target_box_, 0, 1);
  grid->addWidget(browse_button_, 0, 2);
  grid->addWidget(BuddyLabel("M&odules:", module_list_), 1, 0, Qt::AlignTop);
  grid->addWidget(module_list_, 1, 1, 1, 2);
  grid->addWidget(BuddyLabel("Com&panies:", company_box_), 2, 0);
  grid->addWidget(company_box_, 2, 1, 1, 2);
  grid->addWidget(new QLabel("Data files:"), 3, 0);
  grid->addWidget(files_bar_, 3, 1, 1, 2);
  grid->addWidget(new QLabel("Records:"), 4, 0);
  grid->addWidget(records_bar_, 4, 1, 1, 2);
  grid->addWidget(progress_label_, 5, 1, 1, 2);
  grid->addWidget(BuddyLabel("S&ummary:", summary_box_), 6, 0, Qt::AlignTop);
  grid->addWidget(summary_box_, 6, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(6, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {migrate_button_, stop_button_, close_button_}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  resize(640, 560);

  connect(browse_button_, &QPushButton::clicked, this, &CMigrateDlg::Browse);
  connect(migrate_button_, &QPushButton::clicked, this, &CMigrateDlg::Migrate);
  connect(stop_button_, &QPushButton::clicked, this, [this] { stop_requested_ = true; });
  connect(close_button_, &QPushButton::clicked, this, &CMigrateDlg::reject);
}

void CMigrateDlg::Browse() {
  FileDialogOptions options;
  options.default_extension = "sqlite";
  options.filter = "SQLite database (*.sqlite;*.sqlite3;*.db)|*.sqlite;*.sqlite3;*.db||";
  options.initial_path = target_box_->text().toStdString();
  // An existing database is what a second run is for: no question.
  options.confirm_overwrite = false;
  if (auto path = platform_->SaveFileDialog(options))
    target_box_->setText(QString::fromStdString(*path));
}

MigrateRequest CMigrateDlg::Request() const {
  MigrateRequest request;
  request.dirs = dirs_;
  request.destination = target_box_->text().trimmed().toStdString();
  request.relative_to = platform_->DocumentsFolder();
  for (int i = 0; i < module_list_->count(); ++i) {
    const QListWidgetItem* item = module_list_->item(i);
    if (item->checkState() == Qt::Checked)
      request.modules.push_back(item->data(Qt::UserRole).toString().toStdString());
  }
  static const QRegularExpression kSeparators("[\\s,;]+");
  for (const QString& number : company_box_->text().split(kSeparators, Qt::SkipEmptyParts))
    request.companies.push_back(number.toStdString());
  return request;
}

void CMigrateDlg::SetRunning(bool running) {
  running_ = running;
  for (QWidget* w : std::initializer_list<QWidget*>{target_box_, browse_button_, module_list_,
                                                    company_box_, migrate_button_, close_button_})
    w->setEnabled(!running);
  stop_button_->setEnabled(running);
}

void CMigrateDlg::Migrate() {
  outcome_ = MigrationOutcome();
  stop_requested_ = false;
  summary_box_->clear();
  progress_label_->clear();
  files_bar_->setValue(0);
  records_bar_->setValue(0);
  SetRunning(true);
  since_events_.invalidate();
  outcome_ = MigrateInstallation(env_, Request(), *this);
  SetRunning(false);
  ShowOutcome();
}

void CMigrateDlg::Progress(const MigrationProgress& p) {
  files_bar_->setRange(0, std::max(p.files, 1));
  files_bar_->setValue(p.file);
  records_bar_->setRange(0, std::max(p.records, 1));
  records_bar_->setValue(p.records > 0 ? p.record : 1);
  progress_label_->setText(QString::fromStdString(MessageText(
      MessageId::kMigrateProgressFile,
      {p.table, p.company, std::to_string(p.file), std::to_string(p.files)})));
  if (!since_events_.isValid() || since_events_.elapsed() >= kEventsEveryMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    since_events_.start();
  }
}

void CMigrateDlg::ShowOutcome() {
  QStringList lines;
  if (outcome_.error.ok()) {
    for (const std::string& line : SummaryLines(outcome_)) lines << QString::fromStdString(line);
    const std::string_view done = Spec(MessageId::kMigrateComplete).caption;
    progress_label_->setText(QString::fromUtf8(done.data(), static_cast<qsizetype>(done.size())));
  } else {
    lines << QString::fromStdString(outcome_.error.ToString());
  }
  for (const Status& w : outcome_.summary.warnings) lines << QString::fromStdString(w.ToString());
  summary_box_->setPlainText(lines.join('\n'));
  if (!outcome_.error.ok()) platform_->Show(outcome_.error);
}

void CMigrateDlg::reject() {
  if (running_) return;
  QDialog::reject();
}

}  // namespace rh
