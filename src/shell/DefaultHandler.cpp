#include "DefaultHandler.h"

#include "core/glib/GRef.h"

#include <gio/gio.h>

namespace quorin {

bool openWithDefaultHandler(const Url& url)
{
    GError* error = nullptr;
    bool launched = g_app_info_launch_default_for_uri(url.string().c_str(), nullptr, &error);
    glib::GErrorPtr ownedError(error);
    return launched;
}

} // namespace quorin
