#pragma once
// Typed outcome of a logic operation. Logic never shows a message: it returns
// the message text (and, for file-system failures, the system's error number)
// and the window or the command-line program decides how to show it.

#include <optional>
#include <string>
#include <utility>

namespace skyrell {

class [[nodiscard]] Status {
  public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Fail(std::string message, int code = 0) {
        Status s;
        s.failed_ = true;
        s.message_ = std::move(message);
        s.code_ = code;
        return s;
    }
    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }
    // The system error number of a file-system failure, 0 for other failures.
    int code() const { return code_; }

  private:
    bool failed_ = false;
    std::string message_;
    int code_ = 0;
};

// A value or the Status that explains why there is none. A Result without a
// value always holds a failure: one built from a success status (a slip of
// the caller) holds a failure that says so, never an empty success.
template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status failure)
        : status_(failure.ok() ? Status::Fail("内部错误：操作没有给出结果。")
                               : std::move(failure)) {}
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Status& status() const { return status_; }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

  private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace skyrell
