#include "gui/qt_settings_store.h"

#include <QSettings>
#include <QStringList>

namespace rh {

namespace {

QString KeyPath(std::string_view section, std::string_view key) {
  return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
         QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            kSettingsOrganization, kSettingsApplication)) {}

QtSettingsStore::QtSettingsStore(const std::string& ini_path)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(ini_path),
                                            QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::Read(std::string_view section, std::string_view key) {
  settings_->sync();  // pick up what another process (the command line) saved
  QVariant value = settings_->value(KeyPath(section, key));
  if (!value.isValid()) return {};
  // An unquoted value with commas, edited by hand, reads back as a list.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ").toStdString();
  return value.toString().toStdString();
}

Status QtSettingsStore::Write(std::string_view section, std::string_view key,
                              std::string_view value) {
  settings_->setValue(KeyPath(section, key),
                      QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
  settings_->sync();
  switch (settings_->status()) {
    case QSettings::NoError:
      return Status();
    case QSettings::AccessError:
      return Status::Of(MessageId::kSettingsAccessDenied, {FilePath()});
    case QSettings::FormatError:
      break;
  }
  return Status::Of(MessageId::kSettingsUnknownError, {FilePath()});
}

std::string QtSettingsStore::FilePath() const { return settings_->fileName().toStdString(); }

}  // namespace rh
