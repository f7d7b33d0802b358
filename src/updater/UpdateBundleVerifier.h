#pragma once

// Whether an application bundle on disk is a genuine build of this product at an expected
// version, before anything trusts it: the candidate after unpacking, the candidate and the
// installed application when an install job is prepared, and the helper's checks before and
// after the swap. Holds only its trusted keys; each call is independent and blocks the
// calling thread while it hashes the bundle.

#include "LauncherUpdateError.h"
#include "UpdateTrustedKeys.h"

#include "core/Result.h"

#include <string>
#include <string_view>

namespace quorin {

class UpdateBundleVerifier {
public:
    explicit UpdateBundleVerifier(UpdateTrustedKeys keys);

    // In order: the location rule (location); Info.plist's identifier, executable and short
    // version (signature); the version itself (invalidFeed); the seal, deep and strict, signed
    // by a trusted signing key (signature); the executable built for this machine (signature).
    // Errors reading Info.plist or opening the executable are passed on as they are.
    Status<UpdateFailure> verifyIdentityAndSignature(const std::string& bundle, std::string_view version) const;

    // The above, then the notary's countersignature (notarization) unless Info.plist sets
    // "QuorinNotarized" to the boolean false.
    Status<UpdateFailure> verify(const std::string& bundle, std::string_view version) const;

private:
    UpdateTrustedKeys m_keys;
};

} // namespace quorin
