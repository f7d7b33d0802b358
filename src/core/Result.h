#pragma once

// A fallible result: either a value or an error, never both. Checks that run in a
// fixed order read as a list of TRY lines; the first failure is the one returned.

#include <cassert>
#include <type_traits>
#include <utility>
#include <variant>

namespace quorin {

template<typename E>
struct Failure {
    E error;
};

template<typename E>
Failure<std::decay_t<E>> fail(E&& error)
{
    return { std::forward<E>(error) };
}

template<typename T, typename E>
class [[nodiscard]] Result {
public:
    using ValueType = T;
    using ErrorType = E;

    Result(T value)
        : m_storage(std::in_place_index<0>, std::move(value))
    {
    }
    template<typename F>
        requires std::is_constructible_v<E, F&&>
    Result(Failure<F> failure)
        : m_storage(std::in_place_index<1>, E(std::move(failure.error)))
    {
    }

    bool hasValue() const { return m_storage.index() == 0; }
    bool isError() const { return !hasValue(); }
    explicit operator bool() const { return hasValue(); }

    T& value() &
    {
        assert(hasValue());
        return std::get<0>(m_storage);
    }
    const T& value() const&
    {
        assert(hasValue());
        return std::get<0>(m_storage);
    }
    T&& value() &&
    {
        assert(hasValue());
        return std::get<0>(std::move(m_storage));
    }
    T releaseValue() { return std::move(value()); }

    const E& error() const
    {
        assert(isError());
        return std::get<1>(m_storage);
    }
    E releaseError() { return std::get<1>(std::move(m_storage)); }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, E> m_storage;
};

// Result of an operation that yields nothing on success.
struct Ok {
    bool operator==(const Ok&) const = default;
};

template<typename E>
using Status = Result<Ok, E>;

} // namespace quorin

// Evaluates a Result; on failure returns its error from the enclosing function,
// otherwise yields the value. GNU statement expression, as GCC and Clang support.
#define TRY(expression)                                                       \
    __extension__({                                                           \
        auto _quorin_try_result = (expression);                               \
        if (_quorin_try_result.isError())                                     \
            return ::quorin::fail(_quorin_try_result.releaseError());         \
        _quorin_try_result.releaseValue();                                    \
    })
