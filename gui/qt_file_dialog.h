// Open and save file dialogs in Qt, built from FileDialogOptions.
#ifndef RECORDHAUL_GUI_QT_FILE_DIALOG_H_
#define RECORDHAUL_GUI_QT_FILE_DIALOG_H_

#include <QFileDialog>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rh {

// Turns a filter of description|patterns pairs ended by "||" into Qt name
// filters: "Text (*.txt)|*.txt|All Files|*.*||" gives "Text (*.txt)" and
// "All Files (*)". Patterns separated by ";" become a blank-separated list;
// "*.*" matches every file, as it does where the form comes from. An empty
// description ends the list; a pattern list already written in the
// description is not repeated.
QStringList NameFiltersFromFilter(std::string_view filter);

enum class FileDialogMode { kOpen, kSave };

// Applies the options: mode, name filters, default suffix, starting folder,
// initial file name and whether a save asks before replacing a file.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogOptions& options,
                         FileDialogMode mode);

// `path` with ".ext" appended when its file name has no extension.
std::string WithDefaultExtension(const std::string& path, std::string_view extension);

// Shows the dialog; the chosen path, or nothing when cancelled. Read-only
// files are refused (the dialog comes back), and the program's current
// directory is the same afterwards.
std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogOptions& options,
                                         FileDialogMode mode);

}  // namespace rh

#endif  // RECORDHAUL_GUI_QT_FILE_DIALOG_H_
