#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kestrel::platform {

// What a parser reports for bad input: where (file, 1-based line and column) and why.
struct ParseError {
    std::string file;
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;

    // "file:line:column: message", leaving out what is unknown.
    std::string describe() const;
};

template <typename E>
struct Unexpected {
    E error;
};

template <typename E>
Unexpected<std::decay_t<E>> unexpected(E&& error) {
    return {std::forward<E>(error)};
}

// A value or the reason there is none; errors cross module boundaries as values, and a
// result nobody looks at is a compile-time warning.
template <typename T, typename E>
class [[nodiscard]] Expected {
  public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    template <typename F>
    Expected(Unexpected<F> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const E& error() const { return std::get<1>(state_); }

  private:
    std::variant<T, E> state_;
};

// Success without a value, or the reason for the failure.
template <typename E>
class [[nodiscard]] Expected<void, E> {
  public:
    Expected() = default;
    template <typename F>
    Expected(Unexpected<F> failure) : error_(std::move(failure.error)), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }

    const E& error() const { return error_; }

  private:
    E error_{};
    bool failed_ = false;
};

}  // namespace kestrel::platform
