#include "core/ApplicationBundle.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quorin {
namespace {

namespace fs = std::filesystem;

TEST(ApplicationBundle, ShortVersionStringFallsBackTo010)
{
    const std::string head = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        { head + "<dict><key>CFBundleShortVersionString</key><string>4.2.7</string></dict></plist>", "4.2.7" },
        { head + "<dict><key>CFBundleShortVersionString</key><integer>4</integer></dict></plist>", "0.1.0" },
        { head + "<array><string>CFBundleShortVersionString</string></array></plist>", "0.1.0" },
        { head + "<dict><key>CFBundleShortVersionString</key><string>4.2.0", "0.1.0" },
        { std::nullopt, "0.1.0" },
    };
    for (const auto& [infoPlist, expected] : cases) {
        testing::TemporaryDirectory directory;
        directory.makeDirectory("Q.app/Contents");
        if (infoPlist)
            directory.write("Q.app/Contents/Info.plist", *infoPlist);
        EXPECT_EQ(ApplicationBundle(directory.pathOf("Q.app")).shortVersionString(), expected) << infoPlist.value_or("(no file)");
    }
}

TEST(ApplicationBundle, ResourcesDirectoryOnlyWhenItIsAFolder)
{
    testing::TemporaryDirectory directory;
    ApplicationBundle bundle(directory.pathOf("Q.app/"));
    directory.write("Q.app/Contents/Resources", "not a folder");
    EXPECT_EQ(bundle.resourcesDirectory(), std::nullopt);
    fs::remove(directory.pathOf("Q.app/Contents/Resources"));
    EXPECT_EQ(bundle.resourcesDirectory(), directory.makeDirectory("Q.app/Contents/Resources"));
}

TEST(ApplicationBundle, ContainingExecutableNeedsContentsMacOS)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        { "/opt/Quorin 4.2.app/Contents/MacOS/Quorin42Launcher", "/opt/Quorin 4.2.app" },
        { "/opt/Q.app/Contents/MacOS/../MacOS/./Quorin42Launcher", "/opt/Q.app" },
        { "/opt/Q.app/Contents/Helpers/Quorin42UpdateHelper", std::nullopt },
        { "/Contents/MacOS/Quorin42Launcher", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& [executable, expectedRoot] : cases) {
        auto bundle = ApplicationBundle::containingExecutable(executable);
        EXPECT_EQ(bundle ? std::optional(bundle->rootPath()) : std::nullopt, expectedRoot) << executable;
    }
}

} // namespace
} // namespace quorin
