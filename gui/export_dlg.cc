#include "gui/export_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QValidator>
#include <QVBoxLayout>

#include "app/choice_cascade.h"
#include "app/export_command.h"
#include "app/selection_commands.h"
#include "app/template_commands.h"
#include "app/window_commands.h"
#include "base/cp1252.h"
#include "gui/about_dlg.h"
#include "gui/program_icon.h"

namespace rh {

namespace {

constexpr int kFieldColumnWidth = 140;
constexpr int kNameColumnWidth = 200;

// Accounting texts are Windows-1252; paths and titles are UTF-8.
QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

// The destination box takes as many bytes as a template can store, so a
// destination is never cut after it was typed.
class DestinationValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return static_cast<size_t>(input.toUtf8().size()) <= kDestinationBoxLength ? Acceptable
                                                                               : Invalid;
  }
};

QLabel* BuddyLabel(const char* text, QWidget* buddy, const char* name = nullptr) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  if (name != nullptr) label->setObjectName(name);
  return label;
}

QPushButton* Button(const char* text, const char* name) {
  auto* button = new QPushButton(text);
  button->setObjectName(name);
  return button;
}

QComboBox* DropDownList(const char* name) {
  auto* box = new QComboBox;
  box->setObjectName(name);
  box->setEditable(false);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(24);
  return box;
}

QStringList Texts(const std::vector<std::string>& entries) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(entries.size()));
  for (const std::string& e : entries) texts << FromCp1252(e);
  return texts;
}

void ShowList(QComboBox* box, const ListView& list) {
  QSignalBlocker block(box);
  const QStringList texts = Texts(list.entries);
  bool same = box->count() == texts.size();
  for (int i = 0; same && i < box->count(); ++i) same = box->itemText(i) == texts[i];
  if (!same) {
    box->clear();
    box->addItems(texts);
  }
  box->setCurrentIndex(list.HasCurrent() ? list.current : -1);
}

void ShowAvailable(QListWidget* widget, const AvailableList& list) {
  QSignalBlocker block(widget);
  const QStringList texts = Texts(list.entries);
  bool same = widget->count() == texts.size();
  for (int i = 0; same && i < widget->count(); ++i) same = widget->item(i)->text() == texts[i];
  if (!same) {
    widget->clear();
    widget->addItems(texts);
  }
  for (int i = 0; i < widget->count(); ++i) {
    const size_t at = static_cast<size_t>(i);
    const bool selected = at < list.selected.size() && list.selected[at];
    if (widget->item(i)->isSelected() != selected) widget->item(i)->setSelected(selected);
  }
}

void ShowSelection(QTreeWidget* widget, const FieldSelection& selection) {
  QSignalBlocker block(widget);
  const auto& rows = selection.rows();
  while (widget->topLevelItemCount() > static_cast<int>(rows.size()))
    delete widget->takeTopLevelItem(widget->topLevelItemCount() - 1);
  while (widget->topLevelItemCount() < static_cast<int>(rows.size()))
    widget->addTopLevelItem(new QTreeWidgetItem);
  for (size_t i = 0; i < rows.size(); ++i) {
    QTreeWidgetItem* item = widget->topLevelItem(static_cast<int>(i));
    const QString field = FromCp1252(rows[i].field_name);
    const QString name = FromCp1252(rows[i].export_name);
    if (item->text(0) != field) item->setText(0, field);
    if (item->text(1) != name) item->setText(1, name);
  }
  QItemSelectionModel* marks = widget->selectionModel();
  auto index = [widget](int row) { return widget->model()->index(row, 0); };
  const int selected = selection.selected_row();
  const int renamed = selection.rename_row();
  if (selected >= 0 && selected < static_cast<int>(rows.size())) {
    marks->setCurrentIndex(index(selected),
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    widget->scrollTo(index(selected));
  } else {
    marks->clearSelection();
    if (renamed >= 0 && renamed < static_cast<int>(rows.size())) {
      marks->setCurrentIndex(index(renamed), QItemSelectionModel::NoUpdate);
      widget->scrollTo(index(renamed));
    }
  }
}

// Sets a line edit's text, keeping the cursor where it was when the text
// only changed around it.
void ShowText(QLineEdit* box, const QString& text) {
  if (box->text() == text) return;
  QSignalBlocker block(box);
  const int cursor = box->cursorPosition();
  box->setText(text);
  box->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

}  // namespace

CExportDlg::CExportDlg(ExportState* state, QtPlatform* platform, QWidget* parent)
    : QDialog(parent), state_(state), platform_(platform), help_(this) {
  setObjectName("export_window");
  // A main window rather than a dialog for the desktop: it has a taskbar
  // entry and can be minimised and maximised.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setWindowIcon(ProgramIcon());
  BuildControls();
  LayOutControls();
  BuildMenus();
  Connect();
  platform_->SetParentWindow(this);
  Refresh();
}

CExportDlg::~CExportDlg() {
  help_.Close();
  if (platform_->ParentWindow() == this) platform_->SetParentWindow(nullptr);
}

void CExportDlg::BuildControls() {
  module_list_ = DropDownList("module_list");
  company_list_ = DropDownList("company_list");
  file_list_ = DropDownList("file_list");
  export_type_list_ = DropDownList("export_type_list");
  export_type_list_->setMinimumContentsLength(40);

  destination_box_ = new QLineEdit;
  destination_box_->setObjectName("destination_box");
  destination_box_->setMaxLength(static_cast<int>(kDestinationBoxLength));
  destination_box_->setValidator(new DestinationValidator(destination_box_));
  browse_button_ = Button("&Browse", "browse_button");
  typed_box_ = new QCheckBox("&Typed table columns: dates as dates, texts without trailing blanks");
  typed_box_->setObjectName("typed_box");

  available_list_ = new QListWidget;
  available_list_->setObjectName("available_list");
  available_list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  available_list_->setSortingEnabled(false);
  available_list_->setMinimumWidth(200);

  add_button_ = Button("&Add  >", "add_button");
  add_all_button_ = Button("Add All &>>", "add_all_button");
  remove_button_ = Button("< &Remove", "remove_button");
  remove_all_button_ = Button("<< Remove A&ll", "remove_all_button");

  selection_list_ = new QTreeWidget;
  selection_list_->setObjectName("selection_list");
  selection_list_->setColumnCount(2);
  selection_list_->setHeaderLabels({"Fields to be exported", "Your name for fields to be exported"});
  selection_list_->setColumnWidth(0, kFieldColumnWidth);
  selection_list_->setColumnWidth(1, kNameColumnWidth);
  selection_list_->header()->setSectionsClickable(false);
  selection_list_->header()->setStretchLastSection(true);
  selection_list_->setSortingEnabled(false);
  selection_list_->setRootIsDecorated(false);
  selection_list_->setItemsExpandable(false);
  selection_list_->setUniformRowHeights(true);
  selection_list_->setAllColumnsShowFocus(true);
  selection_list_->setSelectionMode(QAbstractItemView::SingleSelection);
  selection_list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  selection_list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  selection_list_->setMinimumWidth(kFieldColumnWidth + kNameColumnWidth + 24);
  // The selected row stays highlighted while another control has the focus.
  QPalette palette = selection_list_->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  selection_list_->setPalette(palette);

  new_name_box_ = new QLineEdit;
  new_name_box_->setObjectName("new_name_box");
  new_name_box_->setMaxLength(static_cast<int>(kMaxNameLength));
  new_name_label_ = BuddyLabel("Ne&w name", new_name_box_, "new_name_label");
  apply_button_ = Button("Apply", "apply_button");
  apply_button_->setDefault(true);
  export_button_ = Button("E&xport", "export_button");

  for (QComboBox* list : {module_list_, company_list_, file_list_, export_type_list_}) {
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(this);
  }
  selection_list_->viewport()->installEventFilter(this);
  selection_list_->installEventFilter(this);
  available_list_->installEventFilter(this);
}

void CExportDlg::LayOutControls() {
  // Choices of module, company and file.
  auto* choices = new QGridLayout;
  choices->addWidget(BuddyLabel("&Module name", module_list_), 0, 0);
  choices->addWidget(module_list_, 0, 1);
  choices->addWidget(BuddyLabel("Current &company", company_list_), 0, 2);
  choices->addWidget(company_list_, 0, 3);
  choices->addWidget(BuddyLabel("F&ile name", file_list_), 1, 0);
  choices->addWidget(file_list_, 1, 1, 1, 3);
  choices->setColumnStretch(1, 1);
  choices->setColumnStretch(3, 1);

  // The available fields, the buttons between the lists, the selection.
  auto* left = new QVBoxLayout;
  left->addWidget(BuddyLabel("Fields a&vailable for export", available_list_));
  left->addWidget(available_list_, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {add_button_, add_all_button_, remove_button_, remove_all_button_})
    buttons->addWidget(b);
  buttons->addStretch(1);
  auto* rename = new QHBoxLayout;
  rename->addWidget(new_name_label_);
  rename->addWidget(new_name_box_, 1);
  rename->addWidget(apply_button_);
  auto* right = new QVBoxLayout;
  right->addWidget(selection_list_, 1);
  right->addLayout(rename);
  auto* fields = new QHBoxLayout;
  fields->addLayout(left, 2);
  fields->addLayout(buttons);
  fields->addLayout(right, 3);

  // Where the export goes.
  auto* output = new QGridLayout;
  output->addWidget(BuddyLabel("Export to:", export_type_list_), 0, 0);
  output->addWidget(export_type_list_, 0, 1, 1, 2);
  output->addWidget(BuddyLabel("Export &destination", destination_box_), 1, 0);
  output->addWidget(destination_box_, 1, 1);
  output->addWidget(browse_button_, 1, 2);
  output->addWidget(typed_box_, 2, 1, 1, 2);
  output->setColumnStretch(1, 1);
  auto* run = new QHBoxLayout;
  run->addStretch(1);
  run->addWidget(export_button_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addSpacing(6);
  layout->addLayout(fields, 1);
  layout->addSpacing(6);
  layout->addLayout(output);
  layout->addLayout(run);

  // The road of one export: what to read, which fields, where to write.
  QWidget* order[] = {module_list_,       company_list_,  file_list_,     available_list_,
                      add_button_,        add_all_button_, remove_button_, remove_all_button_,
                      selection_list_,    new_name_box_,  apply_button_,  export_type_list_,
                      destination_box_,   browse_button_, typed_box_,     export_button_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  resize(760, 520);
}

void CExportDlg::BuildMenus() {
  auto* bar = new QMenuBar(this);
  auto add = [this](QMenu* menu, const char* text, const char* name) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
  };
  QMenu* file = bar->addMenu("&File");
  new_template_ = add(file, "&New Template", "new_template");
  open_template_ = add(file, "&Open Template", "open_template");
  save_template_ = add(file, "Save Template", "save_template");
  save_template_as_ = add(file, "&Save Template As", "save_template_as");
  file->addSeparator();
  directories_ = add(file, "T&allyvane Directories", "directories");
  file->addSeparator();
  exit_ = add(file, "E&xit", "exit");
  QMenu* help = bar->addMenu("&Help");
  help_contents_ = add(help, "Help...", "help_contents");
  about_ = add(help, "&About", "about");
  layout()->setMenuBar(bar);
}

void CExportDlg::Connect() {
  // Each handler runs one operation on the state; see Perform.
  connect(module_list_, &QComboBox::activated, this,
          [this](int i) { Perform([&] { ChooseModule(*state_, *platform_, i); }); });
  // Moving through the companies changes the entry; ending the choice
  // confirms it.
  connect(company_list_, &QComboBox::currentIndexChanged, this,
          [this](int i) { Perform([&] { CompanyEntryChanged(*state_, i); }); });
  connect(company_list_, &QComboBox::activated, this,
          [this] { Perform([&] { ConfirmCompany(*state_, *platform_); }); });
  connect(file_list_, &QComboBox::activated, this,
          [this](int i) { Perform([&] { ChooseDataFile(*state_, *platform_, i); }); });
  connect(export_type_list_, &QComboBox::activated, this,
          [this](int i) { Perform([&] { ChooseExportType(*state_, *platform_, i); }); });

  // Typing in the destination box changes the destination, not the template.
  connect(destination_box_, &QLineEdit::textEdited, this, [this](const QString& text) {
    Perform([&] { state_->destination_box = text.toStdString(); });
  });
  connect(browse_button_, &QPushButton::clicked, this, [this] {
    destination_box_->selectAll();
    Perform([&] { BrowseDestination(*state_, *platform_); });
  });
  connect(typed_box_, &QCheckBox::toggled, this, [this](bool on) {
    Perform([&] { SetTypedColumns(*state_, *platform_, on); });
  });

  connect(available_list_, &QListWidget::itemSelectionChanged, this, [this] {
    Perform([&] {
      std::vector<bool>& selected = state_->available.selected;
      for (int i = 0; i < available_list_->count() && i < static_cast<int>(selected.size()); ++i)
        selected[static_cast<size_t>(i)] = available_list_->item(i)->isSelected();
    });
  });
  connect(add_button_, &QPushButton::clicked, this,
          [this] { Perform([&] { AddFieldsCommand(*state_, *platform_); }); });
  connect(add_all_button_, &QPushButton::clicked, this,
          [this] { Perform([&] { AddAllFieldsCommand(*state_, *platform_); }); });
  connect(remove_button_, &QPushButton::clicked, this,
          [this] { Perform([&] { RemoveFieldCommand(*state_); }); });
  connect(remove_all_button_, &QPushButton::clicked, this,
          [this] { Perform([&] { RemoveAllFieldsCommand(*state_); }); });

  // What the user types is kept in the accounting texts' code page.
  connect(new_name_box_, &QLineEdit::textEdited, this, [this](const QString& text) {
    Perform([&] { state_->selection.set_new_name(Utf8ToCp1252(text.toStdString())); });
  });
  connect(apply_button_, &QPushButton::clicked, this,
          [this] { Perform([&] { ApplyRenameCommand(*state_); }); });
  connect(export_button_, &QPushButton::clicked, this, &CExportDlg::Export);

  connect(new_template_, &QAction::triggered, this,
          [this] { Perform([&] { NewTemplate(*state_, *platform_); }); });
  connect(open_template_, &QAction::triggered, this,
          [this] { Perform([&] { OpenTemplate(*state_, *platform_); }); });
  connect(save_template_, &QAction::triggered, this,
          [this] { Perform([&] { SaveTemplate(*state_, *platform_); }); });
  connect(save_template_as_, &QAction::triggered, this,
          [this] { Perform([&] { SaveTemplateAs(*state_, *platform_); }); });
  connect(directories_, &QAction::triggered, this,
          [this] { Perform([&] { EditDirectories(*state_, *platform_); }); });
  connect(exit_, &QAction::triggered, this, [this] {
    Perform([&] { CloseWindowCommand(*state_, *platform_); }, QDialog::Accepted);
  });
  connect(help_contents_, &QAction::triggered, this, [this] { help_.ShowContents(); });
  connect(about_, &QAction::triggered, this, [this] {
    CAboutDlg about(this);
    platform_->RunModal(about);
  });
}

bool CExportDlg::Initialise() {
  Perform([this] { InitialiseWindow(*state_, *platform_); });
  return !state_->window_closed;
}

void CExportDlg::Perform(const std::function<void()>& operation, int result) {
  operation();
  if (state_->window_closed) {
    help_.Close();
    done(result);
    return;
  }
  Refresh();
}

void CExportDlg::Export() {
  ExportOutcome outcome;
  Perform([&] { outcome = ExportCommand(*state_, *platform_); });
  if (outcome.focus_destination && !state_->window_closed) {
    destination_box_->setFocus(Qt::OtherFocusReason);
    destination_box_->selectAll();
  }
}

bool CExportDlg::ExportRunning() const { return platform_->ProgressWindow() != nullptr; }

void CExportDlg::reject() {
  // The run cannot be stopped, so neither can the window while it runs.
  if (ExportRunning()) return;
  Perform([this] { CloseWindowCommand(*state_, *platform_); });
}

void CExportDlg::Refresh() {
  const ExportState& s = *state_;
  refreshing_ = true;
  setWindowTitle(QString::fromStdString(s.window_title));
  ShowList(module_list_, s.module_list);
  ShowList(company_list_, s.company_list);
  ShowList(file_list_, s.file_list);
  ShowList(export_type_list_, s.export_type_list);
  ShowText(destination_box_, QString::fromStdString(s.destination_box));
  {
    QSignalBlocker block(typed_box_);
    typed_box_->setChecked(s.options.typed);
    typed_box_->setEnabled(s.TypedOptionApplies());
  }
  ShowAvailable(available_list_, s.available);
  ShowSelection(selection_list_, s.selection);

  const bool renaming = s.selection.renaming();
  // Disabling the focused box would pass the focus on to the next control;
  // the list the rows are picked in is where the user goes on from.
  if (!renaming && (new_name_box_->hasFocus() || apply_button_->hasFocus()))
    selection_list_->setFocus(Qt::OtherFocusReason);
  new_name_label_->setEnabled(renaming);
  new_name_box_->setEnabled(renaming);
  apply_button_->setEnabled(renaming);
  ShowText(new_name_box_, FromCp1252(s.selection.new_name()));
  refreshing_ = false;
}

bool CExportDlg::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over a list the user is not in would choose another module
  // or file on the way past, and empty the selection.
  if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(watched) != nullptr &&
      !static_cast<QWidget*>(watched)->hasFocus()) {
    return true;
  }
  if (watched == available_list_ && event->type() == QEvent::FocusIn && !refreshing_) {
    Perform([this] { AvailableListFocused(*state_); });
  } else if (watched == selection_list_ || watched == selection_list_->viewport()) {
    if (SelectionListEvent(event)) return true;
  }
  return QDialog::eventFilter(watched, event);
}

// The selection list's own mouse and key handling is replaced: a click or
// Up/Down starts a rename in the core, which decides the selected row.
bool CExportDlg::SelectionListEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return true;
      selection_list_->setFocus(Qt::MouseFocusReason);
      const int row = selection_list_->indexAt(mouse->position().toPoint()).row();
      Perform([&] { ClickSelectionRow(*state_, row); });
      return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return true;
    case QEvent::MouseMove:
      return static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton;
    case QEvent::KeyPress: {
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
          Perform([this] { StepSelectionRow(*state_, -1); });
          return true;
        case Qt::Key_Down:
          Perform([this] { StepSelectionRow(*state_, +1); });
          return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
          return false;
        default:
          return true;  // no other key moves the selection
      }
    }
    default:
      return false;
  }
}

}  // namespace rh
