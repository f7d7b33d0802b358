#include "LauncherBridgeHost.h"

#include <ranges>
#include <utility>

namespace quorin {

namespace {

constexpr std::string_view sourceDeniedCode = "BRIDGE_SOURCE_DENIED";
constexpr std::string_view requestInvalidCode = "BRIDGE_REQUEST_INVALID";

// A directory's path compares the same with or without its trailing slash.
std::string_view withoutTrailingSlashes(std::string_view path)
{
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

// Standardising works on the encoded path, so an escaped "/" can still hide a step out of
// the root once decoded ("a%2F..%2F.."). Such a path is never one of ours.
bool hasHiddenTraversal(std::string_view decodedPath)
{
    for (auto segment : decodedPath | std::views::split('/')) {
        std::string_view name(segment.begin(), segment.end());
        if (name == "..")
            return true;
    }
    return false;
}

// Only local files: "file:///p" and "file://localhost/p".
bool isLocalFileURL(const Url& url)
{
    return url.isFileURL() && (!url.host() || url.host()->empty() || *url.host() == "localhost");
}

} // namespace

LauncherBridgeHost::LauncherBridgeHost(std::shared_ptr<BridgeDispatcher> dispatcher, const Url& allowedDocumentRoot)
    : m_dispatcher(std::move(dispatcher))
    , m_allowedDocumentRoot(allowedDocumentRoot.standardized())
    , m_rootPath(withoutTrailingSlashes(m_allowedDocumentRoot.filePath()))
{
}

void LauncherBridgeHost::handleMessage(std::string_view bodyJSONText, bool isMainFrame, std::optional<std::string> documentURL, Reply reply) const
{
    if (!isAllowedSource(isMainFrame, documentURL)) {
        reply(BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), sourceDeniedCode).replyJSONText());
        return;
    }
    auto request = BridgeRequest::decode(bodyJSONText);
    if (request.isError()) {
        reply(BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), requestInvalidCode).replyJSONText());
        return;
    }
    m_dispatcher->dispatch(request.value(), [reply = std::move(reply)](BridgeResponse response) {
        reply(response.replyJSONText());
    });
}

bool LauncherBridgeHost::isAllowedSource(bool isMainFrame, const std::optional<std::string>& documentURL) const
{
    return isMainFrame && documentURL && isAllowedDocument(*documentURL);
}

bool LauncherBridgeHost::isAllowedDocument(std::string_view documentURL) const
{
    auto url = Url::parse(documentURL);
    if (!url || !isLocalFileURL(*url) || !isLocalFileURL(m_allowedDocumentRoot))
        return false;
    auto path = url->standardized().filePath();
    if (hasHiddenTraversal(path))
        return false;
    std::string_view documentPath = withoutTrailingSlashes(path);
    if (documentPath == m_rootPath)
        return true;
    return documentPath.size() > m_rootPath.size() && documentPath.starts_with(m_rootPath) && documentPath[m_rootPath.size()] == '/';
}

} // namespace quorin
