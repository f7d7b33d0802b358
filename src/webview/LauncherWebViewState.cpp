#include "LauncherWebViewState.h"

namespace quorin {

std::string_view rawValue(LauncherWebViewFailure failure)
{
    switch (failure) {
    case LauncherWebViewFailure::NavigationFailed:
        return "WEB_UI_NAVIGATION_FAILED";
    case LauncherWebViewFailure::WebContentProcessTerminated:
        return "WEB_UI_PROCESS_TERMINATED";
    }
    return {};
}

std::optional<LauncherWebViewFailure> webViewFailureFromRawValue(std::string_view value)
{
    for (auto failure : { LauncherWebViewFailure::NavigationFailed, LauncherWebViewFailure::WebContentProcessTerminated }) {
        if (rawValue(failure) == value)
            return failure;
    }
    return std::nullopt;
}

} // namespace quorin
