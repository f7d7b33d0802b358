#include "webview/WebProcessExtensions.h"

namespace quorin {

void useWebProcessExtensions(WebKitWebContext* context, const std::string& directory, const std::optional<std::string>& fileFolder, bool forwardsConsole)
{
    if (fileFolder)
        webkit_web_context_set_web_process_extensions_initialization_user_data(context, g_variant_new("(sb)", fileFolder->c_str(), forwardsConsole));
    webkit_web_context_set_web_process_extensions_directory(context, directory.c_str());
    // WebKit's documentation asks for this when the folder is in an unusual place; the
    // web process only ever needs to read it.
    webkit_web_context_add_path_to_sandbox(context, directory.c_str(), TRUE);
}

} // namespace quorin
