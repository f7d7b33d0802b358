#pragma once

// Every value that names the platform, in one place.

#include <string_view>

namespace quorin::PlatformValues {

inline constexpr std::string_view nativeHostKind = "linux";       // native host "kind" and runtime-host marker
inline constexpr std::string_view requestIdPrefix = "linux_";
inline constexpr std::string_view pageZoomProperty = "--linux-page-zoom";
inline constexpr std::string_view appInfoPlatform = "linux";
inline constexpr std::string_view savedAccountsKeyStoreService = "com.quorin42.launcher.linux.saved-accounts";

#if defined(__x86_64__)
inline constexpr std::string_view releaseArchiveSuffix = "-linux-x86_64.zip";
#elif defined(__aarch64__)
inline constexpr std::string_view releaseArchiveSuffix = "-linux-arm64.zip";
#else
#error "Unsupported architecture"
#endif

} // namespace quorin::PlatformValues
