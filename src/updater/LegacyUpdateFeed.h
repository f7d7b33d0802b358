#pragma once

// The update feed: a strict subset of YAML with a fixed shape, served next to the archives.
//
//     version: <version>
//     files:
//       - url: Quorin42-<version>-linux-x86_64.zip
//         sha512: <88 Base64 characters>
//         size: <archive size in bytes>
//     path: Quorin42-<version>-linux-x86_64.zip
//     sha512: <the same 88 characters>
//     releaseDate: <any text, ignored>
//
// Lines are told apart by their indent (0, 2 or 4 spaces); there are no comments, tabs,
// escapes or other keys. Free of state; any thread.

#include "LauncherUpdateError.h"
#include "UpdateRelease.h"

#include "core/Result.h"
#include "core/Url.h"

#include <cstddef>
#include <string_view>

namespace quorin::LegacyUpdateFeed {

inline constexpr std::size_t maximumSize = 65536;

// This platform's release from the feed text fetched from `feedURL`; every refusal is
// invalidFeed. The archive URL is the entry's name beside the feed.
Result<UpdateRelease, LauncherUpdateError> parse(std::string_view bytes, const Url& feedURL);

} // namespace quorin::LegacyUpdateFeed
