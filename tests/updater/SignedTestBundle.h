#pragma once

// A real application bundle of the product at a version, sealed and notarized with keys the
// test made, for the tests of everything that verifies, swaps or starts a bundle.

#include "support/TemporaryDirectory.h"
#include "updater/Ed25519.h"
#include "updater/UpdateBundleSigning.h"
#include "updater/UpdateTrustedKeys.h"

namespace quorin::testing {

struct TestSigningKeys {
    std::string signer = ed25519::generatePrivateKey();
    std::string notary = ed25519::generatePrivateKey();

    UpdateTrustedKeys trusted() const { return { { *ed25519::publicKeyOf(signer) }, { *ed25519::publicKeyOf(notary) } }; }

    // Lays out the bundle at `path` with `executable` as Contents/MacOS/Quorin42Launcher.
    void makeBundle(const std::string& path, const std::string& version, const std::string& executable) const
    {
        TemporaryDirectory::writeFile(path + "/Contents/Info.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>com.quorin42.desktop</string>"
            "<key>CFBundleExecutable</key><string>Quorin42Launcher</string><key>CFBundleShortVersionString</key><string>" + version + "</string></dict></plist>");
        TemporaryDirectory::writeFile(path + "/Contents/MacOS/Quorin42Launcher", executable);
        std::filesystem::permissions(path + "/Contents/MacOS/Quorin42Launcher", std::filesystem::perms::owner_all);
        if (UpdateBundleSigning::sign(path, signer).isError() || UpdateBundleSigning::notarize(path, notary).isError())
            throw std::runtime_error("cannot seal " + path);
    }
};

} // namespace quorin::testing
