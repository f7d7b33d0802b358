#pragma once

// Every error that reaches the page or the user carries one stable upper-case code.
// An error type takes part by having `std::string code() const`.

#include <concepts>
#include <string>
#include <string_view>

namespace quorin {

template<typename E>
concept CodedError = requires(const E& error) {
    { error.code() } -> std::convertible_to<std::string>;
};

inline constexpr std::string_view fallbackErrorCode = "BRIDGE_FAILED";

// True for 1 to 64 bytes of A-Z, 0-9 and '_'.
bool isWellFormedCode(std::string_view code);

// The code itself when well formed, otherwise "BRIDGE_FAILED".
std::string sanitizedCode(std::string_view code);

} // namespace quorin
