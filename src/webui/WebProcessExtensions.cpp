#include "webui/WebProcessExtensions.h"

namespace quorin {

void useWebProcessExtensions(WebKitWebContext* context, const std::string& directory)
{
    webkit_web_context_set_web_process_extensions_directory(context, directory.c_str());
    // An extension outside the system's library folders is invisible to a sandboxed web
    // process unless its folder is mounted in.
    webkit_web_context_add_path_to_sandbox(context, directory.c_str(), TRUE);
}

} // namespace quorin
