#pragma once

#include "core/Url.h"

#include <cstdint>

namespace quorin {

// A validated web UI folder. Produced only by WebUIBundleValidator; immutable afterwards.
struct WebUIBundle {
    // The folder with symbolic links in its own path resolved; the path has no trailing "/".
    Url rootURL;
    // rootURL plus "renderer/index.html": the page the web view loads.
    Url indexURL;
    // The manifest's declared count of runtime files (equal to the number of digests it lists).
    std::int64_t runtimeFileCount { 0 };

    bool operator==(const WebUIBundle&) const = default;
};

} // namespace quorin
