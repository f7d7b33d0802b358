#pragma once

// The bundle's seal, "Contents/_CodeSignature/": CodeResources is the JSON text
// {"files": {relative path: SHA-256 hex}, "identifier": bundle identifier} over every regular
// file of the bundle outside _CodeSignature/; CodeSignature is the Ed25519 signature of the
// signing key over those exact bytes, Notarization the notary's over the same bytes.

#include "LauncherUpdateError.h"

#include "core/Result.h"

#include <string>
#include <string_view>

namespace quorin::BundleCodeResources {

inline constexpr std::string_view folder = "Contents/_CodeSignature";
inline constexpr std::string_view resourcesName = "CodeResources";
inline constexpr std::string_view signatureName = "CodeSignature";
inline constexpr std::string_view notarizationName = "Notarization";

// The CodeResources text of the bundle as it is now; signature when it holds a symbolic link
// or anything but folders and regular files, file-system errors as they are.
Result<std::string, UpdateFailure> describe(const std::string& bundle);

// Deep and strict: `resources` names the product's identifier, every listed file exists with
// its digest, nothing else exists (the seal's own three files aside) and nothing is a link.
bool sealsBundle(const std::string& bundle, std::string_view resources);

} // namespace quorin::BundleCodeResources
