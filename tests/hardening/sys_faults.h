// Fault injection below the Env, for code that writes through the real file
// system without taking an Env: our ODBC drivers (loaded by the driver
// manager) and the Access engine behind the default connection opener.
//
// A binary linked with sys_faults.cc replaces open, write, close, rename
// and unlink of the C library for the whole process (the drivers' calls
// resolve to the executable's, which must export them: ENABLE_EXPORTS).
// Unarmed, every call goes straight to the system. Armed, the nth call on a
// path that contains `path_part` fails with `err`; for write and close the
// path is the one the descriptor was opened with. One fault at a time, and
// only from one thread.
#ifndef RECORDHAUL_TESTS_HARDENING_SYS_FAULTS_H_
#define RECORDHAUL_TESTS_HARDENING_SYS_FAULTS_H_

namespace rh::test {

enum class SysCall { kOpen, kWrite, kClose, kRename, kUnlink };

// Arms one fault; the previous one is dropped.
void ArmSysFault(SysCall call, int nth, const char* path_part, int err);
void DisarmSysFault();
// Whether the armed fault has struck.
bool SysFaultStruck();

// Disarms when it goes out of scope.
class ScopedSysFault {
 public:
  ScopedSysFault(SysCall call, int nth, const char* path_part, int err) {
    ArmSysFault(call, nth, path_part, err);
  }
  ~ScopedSysFault() { DisarmSysFault(); }
  ScopedSysFault(const ScopedSysFault&) = delete;
  ScopedSysFault& operator=(const ScopedSysFault&) = delete;
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_HARDENING_SYS_FAULTS_H_
