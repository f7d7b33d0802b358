#pragma once

// A real application bundle of the product at a version, sealed and notarized with keys the
// test made, for the tests of everything that verifies, swaps or starts a bundle.

#include "core/ReadableFile.h"
#include "support/TemporaryDirectory.h"
#include "updater/Ed25519.h"
#include "updater/LauncherUpdateError.h"
#include "updater/UpdateBundleSigning.h"
#include "updater/UpdateTrustedKeys.h"

namespace quorin::testing {

inline std::string infoPlist(const std::string& version, const std::string& extra = {}, const std::string& identifier = "com.quorin42.desktop")
{
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>" + identifier + "</string>"
        "<key>CFBundleExecutable</key><string>Quorin42Launcher</string><key>CFBundleShortVersionString</key><string>" + version + "</string>"
        + extra + "</dict></plist>";
}

// The first page of this test program: an ELF executable for this machine.
inline std::string ownHeader() { return MUST(ReadableFile::readContents("/proc/self/exe")).substr(0, 4096); }

// The error code of a failed step, "errno N" for a file system error, "" on success.
inline std::string described(const Status<UpdateFailure>& outcome)
{
    if (outcome.hasValue())
        return "";
    auto* error = std::get_if<LauncherUpdateError>(&outcome.error());
    return error ? error->code() : "errno " + std::to_string(std::get<FileSystemError>(outcome.error()).code.value());
}

struct TestSigningKeys {
    std::string signer = ed25519::generatePrivateKey();
    std::string notary = ed25519::generatePrivateKey();

    UpdateTrustedKeys trusted() const { return { { *ed25519::publicKeyOf(signer) }, { *ed25519::publicKeyOf(notary) } }; }

    // Lays out the bundle at `path` with `executable` as Contents/MacOS/Quorin42Launcher.
    void makeBundle(const std::string& path, const std::string& version, const std::string& executable = ownHeader()) const
    {
        TemporaryDirectory::writeFile(path + "/Contents/Info.plist", infoPlist(version));
        TemporaryDirectory::writeFile(path + "/Contents/MacOS/Quorin42Launcher", executable);
        std::filesystem::permissions(path + "/Contents/MacOS/Quorin42Launcher", std::filesystem::perms::owner_all);
        if (UpdateBundleSigning::sign(path, signer).isError() || UpdateBundleSigning::notarize(path, notary).isError())
            throw std::runtime_error("cannot seal " + path);
    }
};

} // namespace quorin::testing
