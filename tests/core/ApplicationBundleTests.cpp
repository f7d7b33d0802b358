#include "core/ApplicationBundle.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quorin {
namespace {

namespace fs = std::filesystem;

std::string xmlPlist(const std::string& dictionaryBody)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + dictionaryBody + "</dict>\n</plist>\n";
}

TEST(ApplicationBundle, ShortVersionStringFallsBackTo010)
{
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        { xmlPlist("<key>CFBundleShortVersionString</key><string>4.2.7</string>\n"), "4.2.7" },
        { xmlPlist("<key>CFBundleName</key><string>Quorin 4.2</string>\n"), "0.1.0" },
        { xmlPlist("<key>CFBundleShortVersionString</key><integer>4</integer>\n"), "0.1.0" },
        { "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>CFBundleShortVersionString</string></array></plist>", "0.1.0" },
        { "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleShortVersionString</key><string>4.2.0", "0.1.0" },
        { "", "0.1.0" },
        { std::nullopt, "0.1.0" },
    };
    for (const auto& [infoPlist, expected] : cases) {
        SCOPED_TRACE(infoPlist.value_or("(no file)"));
        testing::TemporaryDirectory directory;
        directory.makeDirectory("Q.app/Contents");
        if (infoPlist)
            directory.write("Q.app/Contents/Info.plist", *infoPlist);
        EXPECT_EQ(ApplicationBundle(directory.pathOf("Q.app")).shortVersionString(), expected);
    }
}

TEST(ApplicationBundle, ResourcesDirectoryOnlyWhenItIsAFolder)
{
    testing::TemporaryDirectory directory;
    ApplicationBundle bundle(directory.pathOf("Q.app/"));
    EXPECT_EQ(bundle.plugInsDirectory(), directory.pathOf("Q.app/Contents/PlugIns"));
    EXPECT_EQ(bundle.resourcesDirectory(), std::nullopt);
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
        { "/opt/Q.app/Contents/MacOS/", std::nullopt },
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
