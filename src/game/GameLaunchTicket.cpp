#include "GameLaunchTicket.h"

#include "core/Result.h"

namespace quorin {

Url GameLaunchTicket::hostURL() const
{
    auto url = Url::parse("quorin-game://app/" + id.lowerString() + "/host/index.html");
    MUST(url.has_value());
    return *url;
}

} // namespace quorin
