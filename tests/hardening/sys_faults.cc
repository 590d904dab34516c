// The system calls go out through syscall(2), so that the replacements
// depend on nothing that may not be set up yet; the state is plain data for
// the same reason.
#include "tests/hardening/sys_faults.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace rh::test {

namespace {

constexpr int kMaxTracked = 256;
constexpr size_t kPartSize = 256;

struct State {
  bool armed;
  SysCall call;
  int nth;
  int seen;
  int err;
  char part[kPartSize];
  bool tracked[kMaxTracked];  // descriptors opened on a matching path
};

State g_state;  // zero-initialised before any code runs

bool Matches(const char* path) {
  return path != nullptr && std::strstr(path, g_state.part) != nullptr;
}

// Whether this call is the one to fail; sets errno when it is.
bool Strike(SysCall call) {
  if (!g_state.armed || g_state.call != call) return false;
  if (++g_state.seen != g_state.nth) return false;
  errno = g_state.err;
  return true;
}

bool Tracked(int fd) { return fd >= 0 && fd < kMaxTracked && g_state.tracked[fd]; }

int OpenAt(const char* path, int flags, mode_t mode) {
  if (g_state.armed && Matches(path) && Strike(SysCall::kOpen)) return -1;
  int fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
  if (fd >= 0 && fd < kMaxTracked) g_state.tracked[fd] = g_state.armed && Matches(path);
  return fd;
}

}  // namespace

void ArmSysFault(SysCall call, int nth, const char* path_part, int err) {
  g_state.armed = false;
  g_state.call = call;
  g_state.nth = nth;
  g_state.seen = 0;
  g_state.err = err;
  std::strncpy(g_state.part, path_part, kPartSize - 1);
  g_state.part[kPartSize - 1] = '\0';
  std::memset(g_state.tracked, 0, sizeof g_state.tracked);
  g_state.armed = true;
}

void DisarmSysFault() { g_state.armed = false; }

bool SysFaultStruck() { return g_state.seen >= g_state.nth && g_state.nth > 0; }

}  // namespace rh::test

using rh::test::g_state;
using rh::test::SysCall;

extern "C" {

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list ap;
    va_start(ap, flags);
    mode = static_cast<mode_t>(va_arg(ap, int));
    va_end(ap);
  }
  return rh::test::OpenAt(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list ap;
    va_start(ap, flags);
    mode = static_cast<mode_t>(va_arg(ap, int));
    va_end(ap);
  }
  return rh::test::OpenAt(path, flags, mode);
}

ssize_t write(int fd, const void* buf, size_t n) {
  if (rh::test::Tracked(fd) && rh::test::Strike(SysCall::kWrite)) return -1;
  return ::syscall(SYS_write, fd, buf, n);
}

int close(int fd) {
  const bool tracked = rh::test::Tracked(fd);
  if (fd >= 0 && fd < rh::test::kMaxTracked) g_state.tracked[fd] = false;
  // Closed all the same, as a failing close(2) does.
  int r = static_cast<int>(::syscall(SYS_close, fd));
  if (tracked && rh::test::Strike(SysCall::kClose)) return -1;
  return r;
}

int rename(const char* from, const char* to) {
  if (g_state.armed && (rh::test::Matches(from) || rh::test::Matches(to)) &&
      rh::test::Strike(SysCall::kRename))
    return -1;
  return static_cast<int>(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

int unlink(const char* path) {
  if (g_state.armed && rh::test::Matches(path) && rh::test::Strike(SysCall::kUnlink)) return -1;
  return static_cast<int>(::syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

}  // extern "C"
