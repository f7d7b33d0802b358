#include "ExternalURL.h"

#include "core/JsonReaders.h"

namespace quorin {

std::optional<Url> acceptedExternalURL(std::string_view text)
{
    if (text.size() > maximumExternalURLBytes || !json::isTrimmedNonEmpty(text))
        return std::nullopt;
    auto url = Url::parse(text);
    if (!url || url->scheme() != "https" || !url->hasHost() || url->user() || url->password())
        return std::nullopt;
    return url;
}

} // namespace quorin
