#pragma once

// The release side of the bundle seal (see BundleCodeResources.h): the signer writes
// CodeResources and CodeSignature, the notary countersigns the same bytes. The release tool
// and the tests use it, so a shipped bundle and a test bundle are sealed the same way.

#include "LauncherUpdateError.h"

#include "core/Result.h"

#include <string>
#include <string_view>

namespace quorin::UpdateBundleSigning {

// Seals the bundle as it is now with a 32-byte private seed and drops an earlier notarization,
// which no longer covers it. signature when the bundle holds a link or something that is
// neither a folder nor a regular file, or the key is not a seed; file-system errors as they are.
Status<UpdateFailure> sign(const std::string& bundle, std::string_view privateKey);

// Countersigns the bundle's CodeResources with the notary's 32-byte private seed.
Status<UpdateFailure> notarize(const std::string& bundle, std::string_view privateKey);

} // namespace quorin::UpdateBundleSigning
