#include "GameServerHost.h"

namespace quorin {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool isGameServerHost(std::string_view host, std::string_view domain)
{
    constexpr std::string_view label = "server";
    if (!host.starts_with(label))
        return false;
    host.remove_prefix(label.size());

    std::size_t digits = 0;
    while (digits < host.size() && isDigit(host[digits]))
        ++digits;
    if (digits < 1 || digits > 3 || host.front() == '0')
        return false;
    host.remove_prefix(digits);

    if (!host.starts_with('.'))
        return false;
    host.remove_prefix(1);
    return host == domain;
}

} // namespace quorin
