#include "core/ReadableFile.h"
#include "SignedTestBundle.h"
#include "updater/ExecutableArchitecture.h"
#include "updater/UpdateBundleVerifier.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <elf.h>
#include <filesystem>
#include <functional>

namespace quorin {
namespace {

using testing::described;
using testing::infoPlist;
using testing::ownHeader;
using testing::TemporaryDirectory;

TEST(ExecutableArchitecture, OnlySixtyFourBitLittleEndianELFForThisMachine)
{
    auto own = ownHeader();
    EXPECT_TRUE(isExecutableForThisMachine(own.substr(0, 20)));
    auto changed = [&](std::size_t at, char byte) { return std::string(own).replace(at, 1, 1, byte); };
    auto otherMachine = changed(18, static_cast<char>(own[18] ^ 1)); // e_machine's low byte
    for (const auto& header : { own.substr(0, 19), otherMachine, changed(EI_CLASS, ELFCLASS32), changed(EI_DATA, ELFDATA2MSB), changed(0, 'X') })
        EXPECT_FALSE(isExecutableForThisMachine(header));
}

// Sealed and notarized at 1.4.0.
struct Bundle : testing::TestSigningKeys {
    TemporaryDirectory directory;
    std::string path = directory.makeDirectory("Quorin 4.2.app");

    Bundle() { write("Contents/Resources/launcher-config.json", "{}"); makeBundle(path, "1.4.0"); }
    void write(const std::string& relative, const std::string& bytes) const { TemporaryDirectory::writeFile(path + "/" + relative, bytes); }
    void seal(const std::string& key) const { ASSERT_TRUE(UpdateBundleSigning::sign(path, key).hasValue()); }
    void notarize(const std::string& key) const { ASSERT_TRUE(UpdateBundleSigning::notarize(path, key).hasValue()); }
};

TEST(UpdateBundleVerifier, ChecksIdentitySealArchitectureAndNotarizationOfRealBundles)
{
    const auto signature = LauncherUpdateError::signature().code(), notarization = LauncherUpdateError::notarization().code();
    const auto missing = "errno " + std::to_string(ENOENT);
    using Change = std::function<void(Bundle&)>;
    auto resealed = [](Change change) { return [=](Bundle& b) { change(b); b.seal(b.signer); b.notarize(b.notary); }; };
    auto plist = [&](std::string text) { return resealed([=](Bundle& b) { b.write("Contents/Info.plist", text); }); };
    auto optOut = [&](std::string value) { return [=](Bundle& b) { b.write("Contents/Info.plist", infoPlist("1.4.0", "<key>QuorinNotarized</key>" + value)); b.seal(b.signer); }; };
    struct Case { std::string name; Change change; std::string expected; std::string version = "1.4.0"; };
    const Case cases[] = {
        { "sealed and notarized", [](Bundle&) {}, "" },
        { "not notarized, opted out", optOut("<false/>"), "" },
        { "extra file", [](Bundle& b) { b.write("Contents/Resources/extra", "x"); }, signature },
        { "changed byte", [](Bundle& b) { b.write("Contents/Resources/launcher-config.json", "[]"); }, signature },
        { "symbolic link", [](Bundle& b) { std::filesystem::create_symlink("launcher-config.json", b.path + "/Contents/Resources/link"); }, signature },
        { "extra file in the seal's folder", [](Bundle& b) { b.write("Contents/_CodeSignature/Extra", "x"); }, signature },
        { "seal names another identifier", [](Bundle& b) { auto r = b.path + "/Contents/_CodeSignature/CodeResources"; auto text = ReadableFile::readContents(r).value();
             b.write("Contents/_CodeSignature/CodeResources", text.replace(text.find("com.quorin42"), 3, "org"));
             b.write("Contents/_CodeSignature/CodeSignature", *ed25519::sign(b.signer, text)); }, signature },
        { "other signing key", [](Bundle& b) { b.seal(ed25519::generatePrivateKey()); b.notarize(b.notary); }, signature },
        { "other identifier", plist(infoPlist("1.4.0", {}, "com.quorin42.other")), signature },
        { "other version", plist(infoPlist("1.4.0")), signature, "1.4.1" },
        { "invalid version", plist(infoPlist("1.4")), LauncherUpdateError::invalidFeed().code(), "1.4" },
        { "executable a script", resealed([](Bundle& b) { b.write("Contents/MacOS/Quorin42Launcher", "#!/bin/sh\n"); }), signature },
        { "no executable", resealed([](Bundle& b) { std::filesystem::remove(b.path + "/Contents/MacOS/Quorin42Launcher"); }), missing },
        { "no Info.plist", [](Bundle& b) { std::filesystem::remove(b.path + "/Contents/Info.plist"); }, missing },
        { "Info.plist not a property list", plist("not a plist"), "errno " + std::to_string(EINVAL) },
        { "not notarized", [](Bundle& b) { b.seal(b.signer); }, notarization },
        { "notarized by the signer", [](Bundle& b) { b.seal(b.signer); b.notarize(b.signer); }, notarization },
        { "opted in", optOut("<true/>"), notarization },
        { "opt-out as a string", optOut("<string>false</string>"), notarization },
    };
    for (const auto& [name, change, expected, version] : cases) {
        Bundle bundle;
        change(bundle);
        EXPECT_EQ(described(UpdateBundleVerifier(bundle.trusted()).verify(bundle.path, version)), expected) << name;
    }
}

TEST(UpdateBundleVerifier, IdentityAndSignatureAloneNeedNoNotaryAndNoKeysTrustNothing)
{
    Bundle bundle;
    bundle.seal(bundle.signer); // a new seal drops the notarization
    EXPECT_TRUE(UpdateBundleVerifier(bundle.trusted()).verifyIdentityAndSignature(bundle.path, "1.4.0").hasValue());
    for (const auto& keys : { UpdateTrustedKeys {}, UpdateTrustedKeys::production() })
        EXPECT_EQ(UpdateBundleVerifier(keys).verifyIdentityAndSignature(bundle.path, "1.4.0").error(), UpdateFailure(LauncherUpdateError::signature()));
    auto translocated = bundle.directory.makeDirectory("AppTranslocation/Quorin 4.2.app");
    EXPECT_EQ(UpdateBundleVerifier(bundle.trusted()).verify(translocated, "1.4.0").error(), UpdateFailure(LauncherUpdateError::location()));
}

} // namespace
} // namespace quorin
