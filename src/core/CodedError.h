#pragma once

// Every error type has one shape:
//
//     struct SomethingError {
//         enum class Case { FirstCase, SecondCase };
//         Case errorCase;
//         std::string path; // payload, only when some case carries one (a key or a path)
//
//         static SomethingError firstCase(std::string path);
//         static SomethingError secondCase();
//         std::string code() const; // only for errors that reach the page or the user
//         bool operator==(const SomethingError&) const = default;
//     };
//
// A code is one stable upper-case string, spelled once, in the error type that produces it;
// an error type takes part in the bridge by having `code()`.

#include <concepts>
#include <string>
#include <string_view>

namespace quorin {

template<typename E>
concept CodedError = requires(const E& error) {
    { error.code() } -> std::convertible_to<std::string>;
};

// The code of a failure that has no well-formed code of its own.
inline constexpr std::string_view fallbackErrorCode = "BRIDGE_FAILED";

// The code itself when it is 1 to 64 bytes of A-Z, 0-9 and '_', otherwise fallbackErrorCode.
std::string sanitizedCode(std::string_view code);

} // namespace quorin
