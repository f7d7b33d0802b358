#include "LauncherStartupFailure.h"

namespace quorin {

std::string LauncherStartupFailure::code() const
{
    switch (errorCase) {
    case Case::ConfigurationInvalid:
        return "LAUNCHER_CONFIGURATION_INVALID";
    case Case::WebUIInvalid:
        return "LAUNCHER_WEB_UI_INVALID";
    case Case::StorageUnavailable:
        return "LAUNCHER_STORAGE_UNAVAILABLE";
    }
    return "LAUNCHER_WEB_UI_INVALID"; // unreachable: the switch covers every case
}

} // namespace quorin
