// QtSettingsStore: the per-user settings kept by QSettings in an INI file,
// <XDG config folder>/Quillmont Software/recordhaul.ini, with one group per
// section ("[dirs]"). Needs only Qt Core, so the command line can use it
// without a display.
#ifndef RECORDHAUL_GUI_QT_SETTINGS_STORE_H_
#define RECORDHAUL_GUI_QT_SETTINGS_STORE_H_

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

class QSettings;

namespace rh {

inline constexpr char kSettingsOrganization[] = "Quillmont Software";
inline constexpr char kSettingsApplication[] = "recordhaul";

class QtSettingsStore : public SettingsStore {
 public:
  // The user's settings file (honours XDG_CONFIG_HOME).
  QtSettingsStore();
  // A settings file at `ini_path`, in the same format.
  explicit QtSettingsStore(const std::string& ini_path);
  ~QtSettingsStore() override;

  QtSettingsStore(const QtSettingsStore&) = delete;
  QtSettingsStore& operator=(const QtSettingsStore&) = delete;

  // Values are UTF-8 texts of any length. A missing value reads empty.
  std::string Read(std::string_view section, std::string_view key) override;
  // Writes the value and flushes the file; fails when it cannot be saved.
  Status Write(std::string_view section, std::string_view key,
               std::string_view value) override;

  // The INI file behind the store.
  std::string FilePath() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace rh

#endif  // RECORDHAUL_GUI_QT_SETTINGS_STORE_H_
