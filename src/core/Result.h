#pragma once

// A fallible result: either a value or an error, never both. Checks that run in a
// fixed order read as a list of TRY lines; the first failure is the one returned.

#include <cassert>
#include <cstdio>
#include <cstdlib>
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

namespace quorin::detail {

[[noreturn]] inline void mustHaveSucceeded(const char* expression, const char* file, int line)
{
    std::fprintf(stderr, "MUST(%s) failed at %s:%d\n", expression, file, line);
    std::abort();
}

template<typename T, typename E>
T mustValue(Result<T, E>&& result, const char* expression, const char* file, int line)
{
    if (result.isError())
        mustHaveSucceeded(expression, file, line);
    return result.releaseValue();
}

inline void mustValue(bool holds, const char* expression, const char* file, int line)
{
    if (!holds)
        mustHaveSucceeded(expression, file, line);
}

} // namespace quorin::detail

// Evaluates a Result; on failure returns its error from the enclosing function,
// otherwise yields the value. GNU statement expression, as GCC and Clang support.
// Each use names its local uniquely, so TRY(f(TRY(g()))) nests (g's error comes first).
#define TRY(expression) QUORIN_TRY_WITH_NAME(expression, QUORIN_TRY_NAME(__COUNTER__))
#define QUORIN_TRY_NAME(counter) QUORIN_TRY_JOIN(_quorin_try_result_, counter)
#define QUORIN_TRY_JOIN(prefix, counter) prefix##counter
#define QUORIN_TRY_WITH_NAME(expression, name)                                \
    __extension__({                                                           \
        auto name = (expression);                                             \
        if (name.isError())                                                   \
            return ::quorin::fail(name.releaseError());                       \
        name.releaseValue();                                                  \
    })

// For a call that cannot fail short of a broken process (memory or the kernel's random
// source gone): yields a Result's value, or checks a condition, and aborts with the
// expression and its place when that does not hold.
#define MUST(expression) ::quorin::detail::mustValue((expression), #expression, __FILE__, __LINE__)
