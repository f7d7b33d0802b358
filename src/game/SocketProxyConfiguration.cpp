#include "SocketProxyConfiguration.h"

#include "core/GameServerHost.h"
#include "core/glib/GRef.h"
#include "core/glib/GUniquePtr.h"
#include "game/PublicIPv4Address.h"

#include <gio/gio.h>

#include <memory>
#include <vector>

namespace quorin {

namespace {

std::vector<std::string> dottedAddresses(GList* addresses)
{
    std::vector<std::string> dotted;
    for (GList* item = addresses; item; item = item->next)
        dotted.push_back(glib::takeString(g_inet_address_to_string(G_INET_ADDRESS(item->data))));
    return dotted;
}

void lookedUp(GObject* resolver, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<ResolveCompletion> completion(static_cast<ResolveCompletion*>(data));
    GList* addresses = g_resolver_lookup_by_name_with_flags_finish(G_RESOLVER(resolver), result, nullptr);
    std::vector<std::string> dotted = dottedAddresses(addresses);
    g_resolver_free_addresses(addresses);
    (*completion)(firstPublicAddress(dotted));
}

} // namespace

Result<SocketProxyConfiguration, LauncherGameError> SocketProxyConfiguration::create(std::string host, std::int64_t port)
{
    if (!isGameServerHost(host) || port != gameServerPort)
        return fail(LauncherGameError::socketConfigurationInvalid());
    return SocketProxyConfiguration(std::move(host));
}

void SocketProxyConfiguration::resolve(ResolveCompletion completion) const
{
    auto resolver = glib::adoptGRef(g_resolver_get_default());
    g_resolver_lookup_by_name_with_flags_async(resolver.get(), m_host.c_str(), G_RESOLVER_NAME_LOOKUP_FLAGS_IPV4_ONLY,
        nullptr, lookedUp, new ResolveCompletion(std::move(completion)));
}

} // namespace quorin
