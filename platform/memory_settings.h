#ifndef RECORDHAUL_PLATFORM_MEMORY_SETTINGS_H_
#define RECORDHAUL_PLATFORM_MEMORY_SETTINGS_H_

#include <functional>
#include <map>
#include <string>

#include "platform/platform.h"

namespace rh {

// Settings kept in memory: for tests, and for runs that must not touch the
// user's saved settings.
class MemorySettings : public SettingsStore {
 public:
  std::string Read(std::string_view section, std::string_view key) override;
  Status Write(std::string_view section, std::string_view key,
               std::string_view value) override;

 private:
  std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace rh

#endif  // RECORDHAUL_PLATFORM_MEMORY_SETTINGS_H_
