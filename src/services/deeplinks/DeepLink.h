#pragma once

// A "quorin42:" link that passed the URL and route rules; the login state is not checked here.

#include "DeepLinkRouterError.h"
#include "core/Result.h"
#include "core/Url.h"

#include <optional>
#include <string>

namespace quorin {

struct DeepLink {
    inline static constexpr std::size_t maximumTextBytes = 4096;
    inline static constexpr std::size_t maximumQueryItems = 32;
    inline static constexpr std::size_t maximumQueryNameBytes = 128;
    inline static constexpr std::size_t maximumQueryValueBytes = 4096;

    // "auth", "launch", "play" or "recharge".
    std::string route;
    // The decoded value of the first query item named exactly "state".
    std::optional<std::string> state;
    // The absolute URL text, as the page receives it.
    std::string text;

    // The route comes from the host ("quorin42://play") or, without one, from the first path
    // component ("quorin42:play"); an "auth" link must be a login callback.
    static Result<DeepLink, DeepLinkRouterError> parse(const Url& url);
};

} // namespace quorin
