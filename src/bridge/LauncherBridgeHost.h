#pragma once

// The named message handler behind the page's bridge. Checks that a message comes from the
// main frame of a document inside the web UI folder, parses it and hands it to the
// dispatcher. Platform-free: the web-view glue passes the body as JSON text together with
// the sending frame's main-frame flag and document URL. Main thread only.

#include "BridgeDispatcher.h"
#include "core/LocalFolder.h"
#include "core/Url.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

class LauncherBridgeHost {
public:
    static constexpr std::string_view handlerName = "quorinBridge";

    using Reply = std::function<void(std::string replyJSONText)>;

    // `allowedDocumentRoot` is the web UI folder as a file URL.
    LauncherBridgeHost(std::shared_ptr<BridgeDispatcher> dispatcher, const Url& allowedDocumentRoot);

    // Calls `reply` exactly once with the reply object's JSON text, possibly after returning.
    void handleMessage(std::string_view bodyJSONText, bool isMainFrame, std::optional<std::string> documentURL, Reply reply) const;

private:
    bool isAllowedSource(bool isMainFrame, const std::optional<std::string>& documentURL) const;
    bool isAllowedDocument(std::string_view documentURL) const;

    std::shared_ptr<BridgeDispatcher> m_dispatcher;
    // nullopt when the root is not a local file URL, which then admits no document.
    std::optional<LocalFolder> m_allowedFolder;
};

} // namespace quorin
