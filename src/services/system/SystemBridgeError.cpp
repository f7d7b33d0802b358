#include "SystemBridgeError.h"

namespace quorin {

std::string SystemBridgeError::code() const
{
    switch (errorCase) {
    case Case::UnsupportedMethod:
        return "SYSTEM_METHOD_UNSUPPORTED";
    case Case::ExternalURLDenied:
        return "SYSTEM_EXTERNAL_URL_DENIED";
    case Case::RevealPathDenied:
        return "SYSTEM_REVEAL_PATH_DENIED";
    case Case::CopyValueInvalid:
        return "SYSTEM_COPY_VALUE_INVALID";
    case Case::AudioValueInvalid:
        return "SYSTEM_AUDIO_VALUE_INVALID";
    }
    return "SYSTEM_METHOD_UNSUPPORTED"; // unreachable: the switch covers every case
}

} // namespace quorin
