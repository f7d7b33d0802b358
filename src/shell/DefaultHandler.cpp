#include "DefaultHandler.h"

#include "core/glib/GError.h"

#include <gio/gio.h>

namespace quorin {

bool openWithDefaultHandler(const Url& url)
{
    glib::GErrorOut error;
    return g_app_info_launch_default_for_uri(url.string().c_str(), nullptr, error.out());
}

} // namespace quorin
