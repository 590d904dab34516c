#include "gui/preview_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rh {

CPreviewDlg::CPreviewDlg(const PreviewTable& table, const QString& title, QWidget* parent)
    : QDialog(parent) {
  setObjectName("preview_window");
  setWindowTitle(title.isEmpty() ? QString("Preview") : "Preview - " + title);
  setModal(true);

  const int columns = static_cast<int>(table.headers.size());
  table_ = new QTableWidget(static_cast<int>(table.rows.size()), columns, this);
  table_->setObjectName("preview_table");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  QStringList headers;
  for (const std::string& h : table.headers) headers << QString::fromStdString(h);
  table_->setHorizontalHeaderLabels(headers);
  QStringList numbers;
  for (int32_t n : table.record_numbers) numbers << QString::number(n);
  table_->setVerticalHeaderLabels(numbers);
  for (int r = 0; r < table_->rowCount(); ++r) {
    for (int c = 0; c < columns; ++c) {
      auto* item = new QTableWidgetItem(
          QString::fromStdString(table.rows[static_cast<size_t>(r)][static_cast<size_t>(c)]));
      if (table.numeric[static_cast<size_t>(c)])
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c, item);
    }
  }
  table_->resizeColumnsToContents();
  for (int c = 0; c < columns; ++c)
    table_->setColumnWidth(c, std::min(table_->columnWidth(c), 320));

  auto* count = new QLabel(QString("%1 of %2 records shown; deleted records are left out, as the "
                                   "export leaves them out.")
                               .arg(table.rows.size())
                               .arg(table.record_count),
                           this);
  count->setObjectName("preview_count");
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("close_button");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(count, 1);
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addLayout(bottom);
  resize(760, 420);
}

}  // namespace rh
