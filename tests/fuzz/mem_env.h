// An Env that keeps its files in memory, so that the fuzz harnesses can read
// and write whatever paths their inputs name without touching the disk.
//
// Paths are compared after collapsing repeated "/" and dropping a final
// "/". A folder exists when it was made or holds a file; writing needs an
// existing folder, as on disk.
#ifndef RECORDHAUL_TESTS_FUZZ_MEM_ENV_H_
#define RECORDHAUL_TESTS_FUZZ_MEM_ENV_H_

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "base/env.h"

namespace rh::fuzz {

class MemEnv : public Env {
 public:
  // Stores a file, making its folders.
  void Put(const std::string& path, std::string bytes);
  void MakeFolder(const std::string& path);
  std::optional<std::string> Get(const std::string& path) const;
  // Every file with its content, by normalised path.
  std::map<std::string, std::string> Files() const;

  Result<std::unique_ptr<ReadableFile>> OpenReadable(const std::string& path) override;
  Result<std::unique_ptr<WritableFile>> OpenWritable(const std::string& path,
                                                     WriteMode mode) override;
  Status Rename(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status Truncate(const std::string& path, uint64_t size) override;
  Result<std::vector<std::string>> ListDirectory(const std::string& dir) override;
  Result<uint64_t> FileSize(const std::string& path) override;
  bool Exists(const std::string& path) override;
  FileKind GetFileKind(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  // Files here have no links, owners or permissions to keep.
  Result<FileAttributes> GetAttributes(const std::string& path) override;
  Result<std::string> ReadLink(const std::string& path) override;
  Status ChangeMode(const std::string& path, uint32_t mode) override;
  Status ChangeOwner(const std::string& path, uint32_t owner, uint32_t group) override;

  static std::string Normal(std::string_view path);

 private:
  bool IsFolder(const std::string& normal) const;
  static std::string Parent(const std::string& normal);

  std::map<std::string, std::shared_ptr<std::string>> files_;
  std::set<std::string> folders_;
};

}  // namespace rh::fuzz

#endif  // RECORDHAUL_TESTS_FUZZ_MEM_ENV_H_
