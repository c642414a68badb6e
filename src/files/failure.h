#pragma once

#include <string>
#include <utility>
#include <variant>

namespace veltrin {

// Why something could not be done. The file layer's reasons end a sentence that the caller's message begins with
// the file's name ("Could not write ... to "NAME": "): "it is read-only."
struct Failure {
    std::string reason;
};

// What an operation that can fail gives back: its value, or why there is none. An operation that gives back no
// value gives back std::optional<Failure>: nothing when it was done.
template <typename Value>
class [[nodiscard]] Expected {
  public:
    Expected(Value value) : state_(std::move(value)) {}        // NOLINT(google-explicit-constructor)
    Expected(Failure failure) : state_(std::move(failure)) {}  // NOLINT(google-explicit-constructor)

    explicit operator bool() const { return std::holds_alternative<Value>(state_); }
    Value& operator*() { return std::get<Value>(state_); }
    const Value& operator*() const { return std::get<Value>(state_); }
    Value* operator->() { return &std::get<Value>(state_); }
    const Value* operator->() const { return &std::get<Value>(state_); }
    [[nodiscard]] const std::string& Reason() const { return std::get<Failure>(state_).reason; }

  private:
    std::variant<Value, Failure> state_;
};

}  // namespace veltrin
