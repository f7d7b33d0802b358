#pragma once

#include <string_view>

namespace quorin::ProductIdentity {

inline constexpr std::string_view displayName = "Quorin 4.2";
inline constexpr std::string_view bundleIdentifier = "com.quorin42.desktop";
inline constexpr std::string_view executableName = "Quorin42Launcher";

} // namespace quorin::ProductIdentity
