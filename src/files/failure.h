#pragma once

#include <string>
#include <utility>
#include <variant>

namespace veltrin {

// Why something could not be done. The file layer's reasons end a sentence that the caller's message begins with
// the file's name ("Could not write ... to "NAME": "): "it is read-only." Why a listing file could not be read is a
// kind of its own, which a caller may answer in words of its own (a check reports a missing file as "missing"); the
// texts of those kinds are made in one place, message_text.cpp.
struct Failure {
    enum class Kind {
        kOther,       // the reason alone says what
        kMissing,     // the file does not exist
        kNotAFile,    // a folder, a device or another special file
        kTooLarge,    // more bytes or lines than a listing may have
        kUnreadable,  // the system could not read it, for `error`
    };

    std::string reason;
    Kind kind = Kind::kOther;
    // Of a listing file that could not be read, what a check's report line says of it: "missing", "is too large:
    // 268435457 bytes".
    std::string reportWords{};
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
    [[nodiscard]] const Failure& Why() const { return std::get<Failure>(state_); }
    [[nodiscard]] const std::string& Reason() const { return Why().reason; }

  private:
    std::variant<Value, Failure> state_;
};

}  // namespace veltrin
