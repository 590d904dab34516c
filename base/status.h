// Status and Result: how the core reports failures without exceptions.
//
// A failed Status carries what the user is shown: a message-box caption and
// its text. The edges (window, command line) turn it into a message box or an
// exit code; nothing below them shows anything. `sys_error` keeps the errno
// of a failed system call so that callers can pick their own wording.
#ifndef RECORDHAUL_BASE_STATUS_H_
#define RECORDHAUL_BASE_STATUS_H_

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace rh {

class Status {
 public:
  Status() = default;  // success

  static Status Error(std::string caption, std::string message,
                      int sys_error = 0) {
    Status s;
    s.ok_ = false;
    s.caption_ = std::move(caption);
    s.message_ = std::move(message);
    s.sys_error_ = sys_error;
    return s;
  }

  // A failure after whose message the program ends (the window closes; the
  // command line exits 1).
  static Status Fatal(std::string caption, std::string message) {
    Status s = Error(std::move(caption), std::move(message));
    s.fatal_ = true;
    return s;
  }

  bool ok() const { return ok_; }
  bool fatal() const { return fatal_; }
  const std::string& caption() const { return caption_; }
  const std::string& message() const { return message_; }
  int sys_error() const { return sys_error_; }

  // "Caption: message", the form the command line prints.
  std::string ToString() const {
    return ok_ ? "OK" : caption_ + ": " + message_;
  }

 private:
  bool ok_ = true;
  bool fatal_ = false;
  std::string caption_;
  std::string message_;
  int sys_error_ = 0;
};

// A value or the Status that explains why there is none.
template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status status) : status_(std::move(status)) {  // NOLINT
    assert(!status_.ok());
  }

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }
  T& value() & { assert(ok()); return *value_; }
  const T& value() const& { assert(ok()); return *value_; }
  T&& value() && { assert(ok()); return std::move(*value_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace rh

#endif  // RECORDHAUL_BASE_STATUS_H_
