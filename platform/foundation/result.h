#pragma once
// The one way to report a failure that a caller handles: a Result holds either
// the value asked for or the Failure that kept it from being had, with a
// reason written for a log line or a person. A programming error (a value
// taken from a failed result, say) is not a failure: it stops with a message.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace platform {

struct Failure {
  std::string reason;
  // The system's own code when the operating system said no; empty otherwise.
  // Callers look at it only to tell expected cases apart (a missing file).
  std::error_code code{};
};

namespace detail {
[[noreturn]] inline void noValue(const Failure& failure) {
  std::fprintf(stderr, "fatal: a failed result's value was taken: %s\n", failure.reason.c_str());
  std::fflush(stderr);
  std::abort();
}
}  // namespace detail

template <class T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : storage_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : storage_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return storage_.index() == 0; }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return check(), std::get<0>(storage_); }
  T& value() & { return check(), std::get<0>(storage_); }
  T&& value() && { return check(), std::get<0>(std::move(storage_)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }

  // Only for a failed result.
  const Failure& failure() const { return std::get<1>(storage_); }
  const std::string& reason() const { return failure().reason; }

 private:
  void check() const {
    if (!ok()) detail::noValue(failure());
  }
  std::variant<T, Failure> storage_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_; }
  explicit operator bool() const { return ok(); }

  // Only for a failed result.
  const Failure& failure() const { return *failure_; }
  const std::string& reason() const { return failure_->reason; }

 private:
  std::optional<Failure> failure_;
};

// A failure from the operating system's code, with its text as the reason
// unless a better one is given.
inline Failure systemFailure(std::error_code code, std::string reason = {}) {
  return {reason.empty() ? code.message() : std::move(reason), code};
}

}  // namespace platform

// Hands a failed result's failure on to the caller, as it is; goes on otherwise. The result is
// evaluated once: a call, or a result already held (whose value is then used after).
//   PLATFORM_TRY(moveAside(file));
//   const auto file = hostPath(devicePath);
//   PLATFORM_TRY(file);
#define PLATFORM_TRY(result)                                             \
  do {                                                                   \
    if (auto&& platform_try_result_ = (result); !platform_try_result_) { \
      return platform_try_result_.failure();                             \
    }                                                                    \
  } while (false)
