// An Env that makes a chosen call of the file layer fail, for tests that
// check nothing is lost when opening, reading, writing, closing or renaming
// goes wrong.
#ifndef RECORDHAUL_TESTS_FAULT_ENV_H_
#define RECORDHAUL_TESTS_FAULT_ENV_H_

#include <cerrno>
#include <csignal>
#include <map>
#include <memory>
#include <string>

#include "base/env.h"

namespace rh::test {

enum class Op {
  kOpenRead, kRead, kOpenWrite, kWrite, kClose, kRename, kRemove, kTruncate,
  kSync, kGetAttributes, kReadLink, kChangeMode, kChangeOwner,
};

class FaultEnv : public EnvWrapper {
 public:
  FaultEnv() : EnvWrapper(Env::Default()) {}

  // The nth call (from 1) of `op` on a path containing `path_part` fails
  // with `err`.
  void FailAt(Op op, int nth, std::string path_part = "", int err = EIO) {
    faults_[op] = Fault{nth, std::move(path_part), err, 0, 0};
  }
  // The nth call raises `signal` and then goes ahead: an interrupt arriving
  // at that step.
  void RaiseAt(Op op, int nth, std::string path_part, int signal) {
    faults_[op] = Fault{nth, std::move(path_part), 0, 0, signal};
  }
  void Clear() { faults_.clear(); }

  // Whether the fault for `op` has struck.
  bool Struck(Op op) const {
    auto it = faults_.find(op);
    return it != faults_.end() && it->second.seen >= it->second.nth;
  }

  Result<std::unique_ptr<ReadableFile>> OpenReadable(const std::string& path) override {
    if (int err = Hit(Op::kOpenRead, path)) return IoError(err);
    auto file = target()->OpenReadable(path);
    if (!file.ok()) return file;
    return std::unique_ptr<ReadableFile>(new Readable(this, path, std::move(file).value()));
  }
  Result<std::unique_ptr<WritableFile>> OpenWritable(const std::string& path,
                                                     WriteMode mode) override {
    if (int err = Hit(Op::kOpenWrite, path)) return IoError(err);
    auto file = target()->OpenWritable(path, mode);
    if (!file.ok()) return file;
    return std::unique_ptr<WritableFile>(new Writable(this, path, std::move(file).value()));
  }
  Status Rename(const std::string& from, const std::string& to) override {
    if (int err = Hit(Op::kRename, to)) return IoError(err);
    return target()->Rename(from, to);
  }
  Status Remove(const std::string& path) override {
    if (int err = Hit(Op::kRemove, path)) return IoError(err);
    return target()->Remove(path);
  }
  Status Truncate(const std::string& path, uint64_t size) override {
    if (int err = Hit(Op::kTruncate, path)) return IoError(err);
    return target()->Truncate(path, size);
  }
  Result<FileAttributes> GetAttributes(const std::string& path) override {
    if (int err = Hit(Op::kGetAttributes, path)) return IoError(err);
    return target()->GetAttributes(path);
  }
  Result<std::string> ReadLink(const std::string& path) override {
    if (int err = Hit(Op::kReadLink, path)) return IoError(err);
    return target()->ReadLink(path);
  }
  Status ChangeMode(const std::string& path, uint32_t mode) override {
    if (int err = Hit(Op::kChangeMode, path)) return IoError(err);
    return target()->ChangeMode(path, mode);
  }
  Status ChangeOwner(const std::string& path, uint32_t owner, uint32_t group) override {
    if (int err = Hit(Op::kChangeOwner, path)) return IoError(err);
    return target()->ChangeOwner(path, owner, group);
  }

 private:
  struct Fault {
    int nth;
    std::string path_part;
    int err;
    int seen;
    int signal;
  };

  int Hit(Op op, const std::string& path) {
    auto it = faults_.find(op);
    if (it == faults_.end() || path.find(it->second.path_part) == std::string::npos) return 0;
    if (++it->second.seen != it->second.nth) return 0;
    if (it->second.signal != 0) std::raise(it->second.signal);
    return it->second.err;
  }

  class Readable : public ReadableFile {
   public:
    Readable(FaultEnv* env, std::string path, std::unique_ptr<ReadableFile> f)
        : env_(env), path_(std::move(path)), f_(std::move(f)) {}
    Result<size_t> ReadAt(uint64_t offset, void* buf, size_t n) override {
      if (int err = env_->Hit(Op::kRead, path_)) return IoError(err);
      return f_->ReadAt(offset, buf, n);
    }
    Result<uint64_t> Size() override { return f_->Size(); }

   private:
    FaultEnv* env_;
    std::string path_;
    std::unique_ptr<ReadableFile> f_;
  };

  class Writable : public WritableFile {
   public:
    Writable(FaultEnv* env, std::string path, std::unique_ptr<WritableFile> f)
        : env_(env), path_(std::move(path)), f_(std::move(f)) {}
    Status Append(std::string_view data) override {
      if (int err = env_->Hit(Op::kWrite, path_)) return IoError(err);
      return f_->Append(data);
    }
    Status Sync() override {
      if (int err = env_->Hit(Op::kSync, path_)) return IoError(err);
      return f_->Sync();
    }
    Status Close() override {
      Status s = f_->Close();
      if (int err = env_->Hit(Op::kClose, path_)) return IoError(err);
      return s;
    }

   private:
    FaultEnv* env_;
    std::string path_;
    std::unique_ptr<WritableFile> f_;
  };

  std::map<Op, Fault> faults_;
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_FAULT_ENV_H_
