#include "platform/memory_settings.h"

namespace rh {

std::string MemorySettings::Read(std::string_view section, std::string_view key) {
  auto it = values_.find(std::string(section) + "/" + std::string(key));
  return it == values_.end() ? std::string() : it->second;
}

Status MemorySettings::Write(std::string_view section, std::string_view key,
                             std::string_view value) {
  values_[std::string(section) + "/" + std::string(key)] = std::string(value);
  return Status();
}

}  // namespace rh
