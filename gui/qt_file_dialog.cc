#include "gui/qt_file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace rh {

namespace {

QString FromUtf8(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// "*.txt; *.csv" -> "*.txt *.csv"; "*.*" -> "*".
QString QtPatterns(const QString& patterns) {
  QStringList out;
  for (const QString& part : patterns.split(';')) {
    QString p = part.trimmed();
    if (p.isEmpty()) continue;
    out << (p == "*.*" ? QString("*") : p);
  }
  return out.join(' ');
}

// Restores the current directory when it goes out of scope.
class CurrentDirGuard {
 public:
  CurrentDirGuard() : saved_(QDir::currentPath()) {}
  ~CurrentDirGuard() {
    if (QDir::currentPath() != saved_) QDir::setCurrent(saved_);
  }

 private:
  QString saved_;
};

}  // namespace

QStringList NameFiltersFromFilter(std::string_view filter) {
  QStringList parts = FromUtf8(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;  // the closing "||"
    QString description = parts[i].trimmed();
    QString patterns = QtPatterns(parts[i + 1]);
    if (patterns.isEmpty()) patterns = "*";
    // Drop a trailing "(patterns)" the description already shows.
    qsizetype open = description.lastIndexOf('(');
    if (open >= 0 && description.endsWith(')')) {
      QString shown = description.mid(open + 1, description.size() - open - 2);
      if (shown.trimmed() == parts[i + 1].trimmed() || QtPatterns(shown) == patterns)
        description = description.left(open).trimmed();
    }
    filters << (description.isEmpty() ? patterns : description + " (" + patterns + ")");
  }
  return filters;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogOptions& options,
                         FileDialogMode mode) {
  const bool save = mode == FileDialogMode::kSave;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // The open dialog also takes a name that does not exist; opening it then
  // reports the missing file.
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList filters = NameFiltersFromFilter(options.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(FromUtf8(options.default_extension));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && options.confirm_overwrite));
  if (!options.initial_folder.empty()) dialog.setDirectory(FromUtf8(options.initial_folder));
  if (!options.initial_path.empty()) dialog.selectFile(FromUtf8(options.initial_path));
}

std::string WithDefaultExtension(const std::string& path, std::string_view extension) {
  if (extension.empty()) return path;
  size_t slash = path.find_last_of('/');
  std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.empty() || name.find('.') != std::string_view::npos) return path;
  return path + "." + std::string(extension);
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogOptions& options,
                                         FileDialogMode mode) {
  CurrentDirGuard keep_current_dir;
  QFileDialog dialog(parent);
  ConfigureFileDialog(dialog, options, mode);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
      return std::nullopt;
    std::string path = dialog.selectedFiles().first().toStdString();
    // Like the dialog's own default suffix, for dialogs that do not apply it;
    // an existing file without extension is opened as chosen.
    if (mode == FileDialogMode::kSave || !QFileInfo::exists(QString::fromStdString(path)))
      path = WithDefaultExtension(path, options.default_extension);
    QFileInfo info(QString::fromStdString(path));
    if (!info.exists() || info.isWritable()) return path;
    QMessageBox::warning(&dialog, dialog.windowTitle(),
                         QString::fromStdString(path) +
                             "\nThis file is set to read-only.\nTry again with a different file name.");
    dialog.setDirectory(info.absolutePath());
  }
}

}  // namespace rh
