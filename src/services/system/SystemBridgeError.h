#pragma once

#include <string>

namespace quorin {

// Why a system command was refused before it reached the desktop.
struct SystemBridgeError {
    enum class Case {
        UnsupportedMethod,
        ExternalURLDenied,
        RevealPathDenied,
        CopyValueInvalid,
        AudioValueInvalid,
    };
    Case errorCase;

    static SystemBridgeError unsupportedMethod() { return { Case::UnsupportedMethod }; }
    static SystemBridgeError externalURLDenied() { return { Case::ExternalURLDenied }; }
    static SystemBridgeError revealPathDenied() { return { Case::RevealPathDenied }; }
    static SystemBridgeError copyValueInvalid() { return { Case::CopyValueInvalid }; }
    static SystemBridgeError audioValueInvalid() { return { Case::AudioValueInvalid }; }

    // "SYSTEM_METHOD_UNSUPPORTED", "SYSTEM_EXTERNAL_URL_DENIED", "SYSTEM_REVEAL_PATH_DENIED",
    // "SYSTEM_COPY_VALUE_INVALID" or "SYSTEM_AUDIO_VALUE_INVALID".
    std::string code() const;

    bool operator==(const SystemBridgeError&) const = default;
};

} // namespace quorin
