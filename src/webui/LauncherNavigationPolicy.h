#pragma once

// Judges every navigation and new-window request of the main web view. Pure: the answer
// depends only on the request and on the three facts fixed when the policy is built.

#include "NavigationOrigin.h"
#include "core/LocalFolder.h"
#include "core/Url.h"

#include <string>
#include <vector>

namespace quorin {

struct LauncherNavigationRequest {
    Url url;
    bool isMainFrame { true };     // also true when the request has no target frame
    bool isUserInitiated { false }; // the user activated a link
    bool isNewWindow { false };    // no target frame: asks for a new window

    bool operator==(const LauncherNavigationRequest&) const = default;
};

enum class LauncherNavigationDecision {
    Allow,
    OpenExternal,
    Cancel,
};

class LauncherNavigationPolicy {
public:
    // `webUIRoot` is the web UI folder as a file URL. The trusted set is `authOrigin` then
    // every game origin; URLs without scheme or host, or with a user or password, are
    // left out, and duplicates collapse.
    LauncherNavigationPolicy(const Url& webUIRoot, const Url& authOrigin, const std::vector<Url>& gameOrigins);

    LauncherNavigationDecision decision(const LauncherNavigationRequest& request) const;

private:
    void trust(const Url& origin);
    bool isInsideWebUIRoot(const Url& fileURL) const;
    bool isTrusted(const Url& url) const;

    // nullopt when the root is not a local file URL, which then admits no file at all.
    std::optional<LocalFolder> m_webUIFolder;
    std::vector<NavigationOrigin> m_trustedWebOrigins;
};

} // namespace quorin
