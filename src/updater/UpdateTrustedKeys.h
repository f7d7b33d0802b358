#pragma once

// The Ed25519 public keys (32 raw bytes each) a bundle verifier trusts: signing keys for
// CodeSignature, notary keys for Notarization. Empty lists trust nothing.

#include <string>
#include <vector>

namespace quorin {

struct UpdateTrustedKeys {
    std::vector<std::string> signing;
    std::vector<std::string> notary;

    // The keys this build was configured with (QUORIN_UPDATE_SIGNING_KEYS and
    // QUORIN_UPDATE_NOTARY_KEYS); none unless a release build named them.
    static UpdateTrustedKeys production();
};

} // namespace quorin
