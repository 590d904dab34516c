#include "data/companies.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "base/bytes.h"
#include "base/paths.h"

namespace rh {

namespace {

constexpr uint64_t kNameOffset = 150;
constexpr size_t kNameSize = 30;
constexpr uint64_t kFirstEntry = 296;
constexpr size_t kEntrySize = 148;
constexpr size_t kPathEntrySize = 52;

// A register's file name: the code, two characters, "FR.dat".
bool IsRegisterName(std::string_view name, std::string_view code) {
  return name.size() == code.size() + 8 &&
         EqualsIgnoreAsciiCase(name.substr(0, code.size()), code) &&
         EqualsIgnoreAsciiCase(name.substr(code.size() + 2), "FR.dat");
}

std::string RegisterPath(Env* env, const DataFileLocation& where) {
  return ResolveIgnoringCase(env, where.data_dir,
                             where.module_code + where.company + "FR.dat");
}

// The bytes of a path-table entry up to its NUL; empty when the table or the
// entry is missing.
std::string PathPrefix(Env* env, const DataFileLocation& where, uint8_t index) {
  auto table = env->OpenReadable(
      ResolveIgnoringCase(env, where.system_dir, kPathTableFileName));
  if (!table.ok()) return {};
  uint8_t entry[kPathEntrySize] = {};
  auto got = (*table)->ReadAt(uint64_t{index} * kPathEntrySize, entry, sizeof entry);
  if (!got.ok()) return {};
  return FixedText(entry, *got, kPathEntrySize - 1);
}

}  // namespace

std::string CompanyListEntry(const CompanyInfo& company) {
  return company.number + " - " + company.name;
}

std::string CompanyNumberOf(std::string_view entry) { return std::string(entry.substr(0, 2)); }

int FindCompanyEntry(const std::vector<std::string>& entries, std::string_view number) {
  for (size_t i = 0; i < entries.size(); ++i)
    if (CompanyNumberOf(entries[i]) == number) return static_cast<int>(i);
  return -1;
}

std::vector<CompanyInfo> EnumerateCompanies(Env* env, std::string_view data_dir,
                                            std::string_view module_code) {
  std::vector<CompanyInfo> companies;
  auto names = env->ListDirectory(std::string(data_dir));
  if (!names.ok()) return companies;
  for (const std::string& name : *names) {
    if (!IsRegisterName(name, module_code)) continue;
    CompanyInfo company;
    for (size_t i = module_code.size(); i < module_code.size() + 2; ++i)
      company.number.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(name[i]))));
    if (auto file = env->OpenReadable(JoinPath(data_dir, name)); file.ok()) {
      uint8_t buf[kNameSize];
      auto got = (*file)->ReadAt(kNameOffset, buf, sizeof buf);
      if (got.ok()) company.name = FixedText(buf, *got, kNameSize);
    }
    companies.push_back(std::move(company));
  }
  return companies;
}

Result<RegisterEntry> FindRegisterEntry(Env* env, const DataFileLocation& where) {
  std::string path = RegisterPath(env, where);
  auto file = env->OpenReadable(path);
  if (!file.ok()) {
    return Status::Of(MessageId::kRegisterOpenFail, {path, file.status().message()});
  }
  uint8_t entry[kEntrySize];
  for (uint64_t pos = kFirstEntry;; pos += kEntrySize) {
    auto got = (*file)->ReadAt(pos, entry, sizeof entry);
    if (!got.ok()) {
      return Status::Of(MessageId::kRegisterReadFail, {path, got.status().message()});
    }
    if (*got < kEntrySize) break;  // end of the register
    if (entry[0] == where.file_number) {
      return RegisterEntry{LoadBigI16(entry + 2), entry[28]};
    }
  }
  return Status::Of(MessageId::kRegisterNoEntry, {path, std::to_string(where.file_number)});
}

bool CheckRecordLayout(Env* env, const DataFileLocation& where,
                       int32_t record_length) {
  auto entry = FindRegisterEntry(env, where);
  return entry.ok() && entry->record_length == record_length;
}

std::vector<std::string> AccountingFiles(Env* env, const DataFileLocation& where) {
  return {RegisterPath(env, where),
          ResolveIgnoringCase(env, where.system_dir, kPathTableFileName)};
}

std::string DataFileName(const DataFileLocation& where) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d", where.file_number);
  return where.module_code + where.company + number + ".dat";
}

Result<LocatedFile> LocateDataFile(Env* env, const DataFileLocation& where,
                                   MessageId open_failure) {
  auto entry = FindRegisterEntry(env, where);
  if (!entry.ok()) {
    // The register's own message says which register and what is wrong.
    return Status::Of(open_failure).WithDetail(entry.status());
  }
  // The failure worth naming: the first that is not a missing file, else the
  // last place looked.
  std::string failed_path;
  Status failed_why;
  auto note = [&](const std::string& path, const Status& why) {
    if (failed_path.empty() || failed_why.sys_error() == ENOENT) {
      failed_path = path;
      failed_why = why;
    }
  };
  std::string name = DataFileName(where);
  // An empty prefix (no table, or an index past its end) would name a file in
  // whatever the working directory is; go to the data files directory.
  std::string prefix = WithForwardSlashes(PathPrefix(env, where, entry->path_index));
  if (!prefix.empty()) {
    std::string joined = prefix + name;
    std::string_view dir = DirName(joined);
    std::string path = dir.empty() ? joined
                                   : ResolveIgnoringCase(env, dir.substr(0, dir.size() - 1),
                                                         BaseName(joined));
    auto file = env->OpenReadable(path);
    if (file.ok()) return LocatedFile{path, std::move(file).value()};
    note(path, file.status());
  }
  std::string fallback = ResolveIgnoringCase(env, where.data_dir, name);
  auto file = env->OpenReadable(fallback);
  if (file.ok()) return LocatedFile{fallback, std::move(file).value()};
  note(fallback, file.status());
  return Status::Of(open_failure)
      .WithDetail(MessageId::kDetailPathReason, {failed_path, failed_why.message()});
}

}  // namespace rh
