#include "DefaultHandler.h"

#include "core/glib/GError.h"
#include "core/glib/GRef.h"
#include "webview/PagePainting.h"

#include <gio/gio.h>

namespace quorin {

bool openWithDefaultHandler(const Url& url)
{
    auto context = glib::adoptGRef(g_app_launch_context_new());
    if (PagePainting::isChosenHere())
        g_app_launch_context_unsetenv(context.get(), PagePainting::processorPaintingVariable);
    glib::GErrorOut error;
    return g_app_info_launch_default_for_uri(url.string().c_str(), context.get(), error.out());
}

} // namespace quorin
