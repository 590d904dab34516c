#include "app/settings.h"

namespace rh {

namespace {

constexpr std::string_view kSection = "dirs";
constexpr std::string_view kDataKey = "AUSER";
constexpr std::string_view kSystemKey = "AFILES";
constexpr std::string_view kProgramsKey = "APROGS";
constexpr std::string_view kExportSection = "export";
constexpr std::string_view kTypedKey = "TypedColumns";

}  // namespace

Directories ReadDirectories(SettingsStore& settings) {
  Directories d;
  d.system = settings.Read(kSection, kSystemKey);
  d.data = settings.Read(kSection, kDataKey);
  d.programs = settings.Read(kSection, kProgramsKey);
  return d;
}

Status WriteDirectories(SettingsStore& settings, const Directories& dirs) {
  Status s = settings.Write(kSection, kSystemKey, dirs.system);
  if (s.ok()) s = settings.Write(kSection, kDataKey, dirs.data);
  if (s.ok()) s = settings.Write(kSection, kProgramsKey, dirs.programs);
  return s;
}

bool ReadTypedColumns(SettingsStore& settings) {
  return settings.Read(kExportSection, kTypedKey) == "1";
}

Status WriteTypedColumns(SettingsStore& settings, bool typed) {
  return settings.Write(kExportSection, kTypedKey, typed ? "1" : "0");
}

}  // namespace rh
