#pragma once

// Downloads one file over HTTPS for the updater (the feed, then the release archive): no
// redirects, cookies, cache or content decoding, a hard size limit enforced while the bytes
// arrive, an optional exact size, status 200 only. The body streams into a temporary file
// beside the destination that is renamed into place once every check has passed; nothing is
// left behind otherwise. Main thread only.

#include "updater/LauncherUpdateError.h"

#include "core/Result.h"
#include "core/Url.h"
#include "core/glib/GRef.h"

#include <gio/gio.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quorin {

// libsoup has no per-request or whole-transfer time-out of its own: the client keeps those
// two with timers, and hands the idle bound to the session.
struct UpdateHTTPTimeouts {
    std::chrono::milliseconds idle { std::chrono::seconds(30) };      // connecting, or no byte moving
    std::chrono::milliseconds response { std::chrono::seconds(60) };  // request sent until the response head
    std::chrono::milliseconds transfer { std::chrono::seconds(600) }; // the whole download
};

struct UpdateHTTPSettings {
    glib::GRef<GTlsDatabase> tlsDatabase; // the authorities HTTPS trusts; null for the system's
    UpdateHTTPTimeouts timeouts {};
};

namespace UpdateHTTPClient {

// Whole percentages of the expected size (else of the announced length), each value once.
using Progress = std::function<void(double percent)>;
// The destination path, network for every transfer or HTTP failure (a cancellation included),
// or the file system's error when the file cannot be written or moved.
using Completion = std::function<void(Result<std::string, UpdateFailure>)>;

// `completion` runs exactly once, in a later turn of the main loop, also after `cancellable`
// (may be null) is cancelled: a caller that may die first guards it.
void fetch(const Url& url, const std::string& destination, std::optional<std::int64_t> expectedSize, std::int64_t limit,
    Progress progress, GCancellable* cancellable, Completion completion, UpdateHTTPSettings settings = {});

} // namespace UpdateHTTPClient

} // namespace quorin
