#include "SystemBridgeService.h"

#include "ExternalURL.h"

namespace quorin {

namespace {

const BridgeValue* firstArgument(const BridgeRequest& request)
{
    return request.arguments().empty() ? nullptr : &request.arguments().front();
}

const std::string* firstString(const BridgeRequest& request)
{
    auto* first = firstArgument(request);
    return first && first->isString() ? &first->asString() : nullptr;
}

} // namespace

SystemBridgeService::SystemBridgeService(std::shared_ptr<SystemCommandHandling> commands, std::vector<Url> allowedRevealRoots)
    : m_commands(std::move(commands))
    , m_revealRoots(std::move(allowedRevealRoots))
{
}

void SystemBridgeService::handle(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    auto result = perform(request);
    if (result.isError())
        return completion(fail(BridgeServiceError::coded(result.error())));
    completion(result.releaseValue());
}

Result<BridgeValue, SystemBridgeError> SystemBridgeService::perform(const BridgeRequest& request)
{
    auto& commands = *m_commands;
    auto boolean = BridgeValue::boolean;
    auto number = BridgeValue::number;
    switch (request.method()) {
    case BridgeMethod::OpenExternal: {
        auto* text = firstString(request);
        auto url = text ? acceptedExternalURL(*text) : std::nullopt;
        if (!url)
            return fail(SystemBridgeError::externalURLDenied());
        return boolean(commands.openExternal(*url));
    }
    case BridgeMethod::CopyText: {
        auto* text = firstString(request);
        if (!text || text->size() > maximumCopyTextBytes)
            return fail(SystemBridgeError::copyValueInvalid());
        return boolean(commands.copyText(*text));
    }
    case BridgeMethod::ShowItemInFolder: {
        auto* path = firstString(request);
        auto url = path ? m_revealRoots.accept(*path) : std::nullopt;
        if (!url)
            return fail(SystemBridgeError::revealPathDenied());
        return boolean(commands.reveal(*url));
    }
    case BridgeMethod::WindowMinimize:
        return boolean(commands.minimizeWindow());
    case BridgeMethod::WindowMaximize:
        return boolean(commands.toggleMaximizeWindow());
    case BridgeMethod::WindowClose:
        return boolean(commands.closeWindow());
    case BridgeMethod::WindowIsMaximized:
        return boolean(commands.isWindowMaximized());
    case BridgeMethod::ZoomIn:
        return number(commands.zoomIn());
    case BridgeMethod::ZoomOut:
        return number(commands.zoomOut());
    case BridgeMethod::ZoomReset:
        return number(commands.resetZoom());
    case BridgeMethod::GetZoomFactor:
        return number(commands.zoomFactor());
    case BridgeMethod::SetAudioMuted: {
        auto* first = firstArgument(request);
        if (!first || !first->isBool())
            return fail(SystemBridgeError::audioValueInvalid());
        return boolean(commands.setAudioMuted(first->asBool()));
    }
    case BridgeMethod::GetAudioMuted:
        return boolean(commands.isAudioMuted());
    default:
        return fail(SystemBridgeError::unsupportedMethod());
    }
}

} // namespace quorin
