// Status and Result: how the core reports failures without exceptions.
//
// A failed Status carries a code and what the user is shown. The code is the
// id of a message of the catalog (messages.h), whose caption, text and
// message-box style it takes, or the SQLSTATE of a driver's or database
// engine's diagnostic, or the errno of a failed system call. Code decides by
// the code, never by the text. The edges (window, command line) show the
// message or turn it into an exit code; below them, questions go through
// the Platform interface and nothing is shown directly.
#ifndef RECORDHAUL_BASE_STATUS_H_
#define RECORDHAUL_BASE_STATUS_H_

#include <cassert>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/messages.h"

namespace rh {

// A success is a null pointer: the hot paths of an export make and drop
// many of them, and that costs nothing then.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  Status(const Status& other)
      : state_(other.state_ ? std::make_unique<State>(*other.state_) : nullptr) {}
  Status& operator=(const Status& other) {
    if (this != &other) state_ = other.state_ ? std::make_unique<State>(*other.state_) : nullptr;
    return *this;
  }
  Status(Status&&) noexcept = default;
  Status& operator=(Status&&) noexcept = default;

  // The catalog's message `id`, its %1, %2, ... filled with `args`.
  static Status Of(MessageId id, std::initializer_list<std::string_view> args = {}) {
    Status s = Failure();
    s.state_->id = id;
    s.state_->message = MessageText(id, args);
    return s;
  }

  // A failure a driver or the database engine reported: its SQLSTATE and
  // diagnostic text.
  static Status Sql(std::string_view sqlstate, std::string text) {
    Status s = Failure();
    s.state_->sqlstate = sqlstate;
    s.state_->message = std::move(text);
    return s;
  }

  // A failed system call: its errno and the system's wording.
  static Status Io(int sys_error, std::string text) {
    Status s = Failure();
    s.state_->sys_error = sys_error;
    s.state_->message = std::move(text);
    return s;
  }

  // The same failure with a second line that says what failed and why: a
  // detail message of the catalog (a path, a record and field, a limit).
  // A success stays as it is.
  Status WithDetail(MessageId detail, std::initializer_list<std::string_view> args = {}) && {
    if (state_) state_->detail = MessageText(detail, args);
    return std::move(*this);
  }

  // The same failure with another failure's message as its detail: one that
  // was made of a detail message of the catalog (one without a caption).
  Status WithDetail(const Status& why) && {
    assert(why.caption().empty());
    if (state_) state_->detail = why.message();
    return std::move(*this);
  }

  // The same failure, remembering the errno that caused it.
  Status WithSysError(int sys_error) && {
    if (state_) state_->sys_error = sys_error;
    return std::move(*this);
  }

  bool ok() const { return state_ == nullptr; }
  // Says that a failure is not reported, on purpose: cleanup after another
  // failure, or a step whose failure changes nothing.
  void IgnoreError() const {}
  MessageId id() const { return state_ ? state_->id : MessageId::kNone; }
  bool Is(MessageId id) const { return state_ && state_->id == id; }
  // Empty unless a driver or the engine failed.
  const std::string& sqlstate() const { return state_ ? state_->sqlstate : Empty(); }
  int sys_error() const { return state_ ? state_->sys_error : 0; }

  // What the message box shows; a failure without a message id has an empty
  // caption and the driver's or system's text.
  std::string caption() const { return std::string(Spec(id()).caption); }
  const std::string& message() const { return state_ ? state_->message : Empty(); }
  // Empty, or what failed and why (see WithDetail).
  const std::string& detail() const { return state_ ? state_->detail : Empty(); }
  MessageStyle style() const { return Spec(id()).style; }
  // The program ends after this failure's message.
  bool fatal() const { return state_ && Spec(state_->id).ends_program; }

  // "Caption: message", the form the command line prints (a driver's
  // failure as "SQLSTATE: message"), and the detail on a line of its own.
  std::string ToString() const {
    if (ok()) return "OK";
    const State& s = *state_;
    std::string head = s.id != MessageId::kNone ? caption() : s.sqlstate;
    std::string text = head.empty() ? s.message : head + ": " + s.message;
    return s.detail.empty() ? text : text + "\n" + s.detail;
  }

 private:
  struct State {
    MessageId id = MessageId::kNone;
    std::string sqlstate;
    std::string message;
    std::string detail;
    int sys_error = 0;
  };

  static Status Failure() {
    Status s;
    s.state_ = std::make_unique<State>();
    return s;
  }
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }

  std::unique_ptr<State> state_;  // null: success
};

// A value or the Status that explains why there is none.
template <class T>
class [[nodiscard]] Result {
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
