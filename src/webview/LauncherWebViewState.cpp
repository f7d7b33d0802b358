#include "LauncherWebViewState.h"

namespace quorin {

std::string LauncherWebViewFailure::code() const
{
    switch (errorCase) {
    case Case::NavigationFailed:
        return "WEB_UI_NAVIGATION_FAILED";
    case Case::WebContentProcessTerminated:
        return "WEB_UI_PROCESS_TERMINATED";
    }
    return "WEB_UI_NAVIGATION_FAILED"; // unreachable: the switch covers every case
}

} // namespace quorin
