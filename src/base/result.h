#pragma once
// What an operation that can fail gives back: its value, or the text that
// says why it failed. Result<void> for an operation without a value.
//
//     Result<std::string> bytes = files::readWholeFile(path);
//     if (!bytes) return bytes.error();
#include <optional>
#include <string>
#include <utility>

namespace tqm5 {

// The error side, so that a function can `return Failure{"why"};`.
struct Failure {
    std::string error;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : error_(std::move(failure.error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only on success.
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Empty on success.
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : ok_(false), error_(std::move(failure.error)) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    bool ok_ = true;
    std::string error_;
};

}  // namespace tqm5
