#include "core/ApplicationBundle.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace quorin {
namespace {

namespace fs = std::filesystem;

// An empty "Quorin 4.2.app/Contents" in a fresh temporary directory.
class TemporaryBundle {
public:
    TemporaryBundle() { fs::create_directories(root() / "Contents"); }

    fs::path root() const { return fs::path(m_directory.path()) / "Quorin 4.2.app"; }
    ApplicationBundle bundle() const { return ApplicationBundle(root().string()); }

    void writeInfoPlist(const std::string& bytes) const { m_directory.write("Quorin 4.2.app/Contents/Info.plist", bytes); }

private:
    testing::TemporaryDirectory m_directory;
};

std::string xmlPlist(const std::string& dictionaryBody)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n"
        + dictionaryBody + "</dict>\n</plist>\n";
}

// A binary property list ("bplist00") holding one dictionary whose values are ASCII strings
// (shorter than 256 bytes) or small integers, written byte by byte.
std::string binaryPlist(const std::vector<std::pair<std::string, std::string>>& strings, const std::vector<std::pair<std::string, int>>& integers = {})
{
    std::vector<std::string> objects;
    auto asciiString = [](const std::string& text) {
        std::string object;
        if (text.size() < 15) {
            object += static_cast<char>(0x50 | text.size());
        } else {
            object += '\x5F';
            object += '\x10';
            object += static_cast<char>(text.size());
        }
        return object + text;
    };
    auto entryCount = strings.size() + integers.size();
    std::string dictionary(1, static_cast<char>(0xD0 | entryCount));
    std::vector<std::string> keys, values;
    for (const auto& [key, value] : strings) {
        keys.push_back(asciiString(key));
        values.push_back(asciiString(value));
    }
    for (const auto& [key, value] : integers) {
        keys.push_back(asciiString(key));
        values.push_back(std::string { '\x10', static_cast<char>(value) });
    }
    // Object 0 is the dictionary, then the keys, then the values.
    for (std::size_t i = 0; i < entryCount; ++i)
        dictionary += static_cast<char>(1 + i);
    for (std::size_t i = 0; i < entryCount; ++i)
        dictionary += static_cast<char>(1 + entryCount + i);
    objects.push_back(dictionary);
    objects.insert(objects.end(), keys.begin(), keys.end());
    objects.insert(objects.end(), values.begin(), values.end());

    std::string data = "bplist00";
    std::vector<std::uint16_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(static_cast<std::uint16_t>(data.size()));
        data += object;
    }
    auto offsetTableOffset = data.size();
    for (auto offset : offsets) {
        data += static_cast<char>(offset >> 8);
        data += static_cast<char>(offset & 0xFF);
    }
    auto bigEndian64 = [](std::uint64_t value) {
        std::string bytes(8, '\0');
        for (int i = 7; i >= 0; --i, value >>= 8)
            bytes[i] = static_cast<char>(value & 0xFF);
        return bytes;
    };
    data += std::string(6, '\0');
    data += '\x02'; // offset size
    data += '\x01'; // object reference size
    data += bigEndian64(objects.size());
    data += bigEndian64(0);
    data += bigEndian64(offsetTableOffset);
    return data;
}

struct VersionCase {
    const char* name;
    std::optional<std::string> infoPlist; // nullopt: no file
    std::string expected;
};

TEST(ApplicationBundleTest, ShortVersionStringFallsBackTo010)
{
    const VersionCase cases[] = {
        { "xml with version", xmlPlist("<key>CFBundleShortVersionString</key><string>4.2.7</string>\n"), "4.2.7" },
        { "xml without version", xmlPlist("<key>CFBundleName</key><string>Quorin 4.2</string>\n"), "0.1.0" },
        { "xml version as integer", xmlPlist("<key>CFBundleShortVersionString</key><integer>4</integer>\n"), "0.1.0" },
        { "xml top level is an array", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>CFBundleShortVersionString</string></array></plist>", "0.1.0" },
        { "malformed xml", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleShortVersionString</key><string>4.2.0", "0.1.0" },
        { "empty file", "", "0.1.0" },
        { "no file", std::nullopt, "0.1.0" },
        { "binary with version", binaryPlist({ { "CFBundleIdentifier", "com.quorin42.desktop" }, { "CFBundleShortVersionString", "5.0.1" } }), "5.0.1" },
        { "binary version as integer", binaryPlist({ { "CFBundleIdentifier", "x" } }, { { "CFBundleShortVersionString", 5 } }), "0.1.0" },
        { "truncated binary", binaryPlist({ { "CFBundleShortVersionString", "5.0.1" } }).substr(0, 30), "0.1.0" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        TemporaryBundle temporary;
        if (testCase.infoPlist)
            temporary.writeInfoPlist(*testCase.infoPlist);
        EXPECT_EQ(temporary.bundle().shortVersionString(), testCase.expected);
    }
}

TEST(ApplicationBundleTest, InfoStringReadsAnyStringKey)
{
    TemporaryBundle temporary;
    temporary.writeInfoPlist(xmlPlist("<key>CFBundleIdentifier</key><string>com.quorin42.desktop</string>\n"
                                      "<key>CFBundleDisplayName</key><string>Quorin 4.2 &amp; more</string>\n"
                                      "<key>LSMinimumSystemVersion</key><real>1.5</real>\n"));
    auto bundle = temporary.bundle();
    EXPECT_EQ(bundle.infoString("CFBundleIdentifier"), "com.quorin42.desktop");
    EXPECT_EQ(bundle.infoString("CFBundleDisplayName"), "Quorin 4.2 & more");
    EXPECT_EQ(bundle.infoString("LSMinimumSystemVersion"), std::nullopt);
    EXPECT_EQ(bundle.infoString("CFBundleExecutable"), std::nullopt);
}

TEST(ApplicationBundleTest, FolderLayoutUnderContents)
{
    ApplicationBundle bundle("/opt/Quorin 4.2.app");
    EXPECT_EQ(bundle.contentsPath(), "/opt/Quorin 4.2.app/Contents");
    EXPECT_EQ(bundle.infoPlistPath(), "/opt/Quorin 4.2.app/Contents/Info.plist");
    EXPECT_EQ(bundle.executableDirectory(), "/opt/Quorin 4.2.app/Contents/MacOS");
    EXPECT_EQ(bundle.helpersDirectory(), "/opt/Quorin 4.2.app/Contents/Helpers");
    EXPECT_EQ(bundle.plugInsDirectory(), "/opt/Quorin 4.2.app/Contents/PlugIns");
    EXPECT_EQ(ApplicationBundle("/opt/Q.app/").contentsPath(), "/opt/Q.app/Contents");
}

TEST(ApplicationBundleTest, ResourcesDirectoryOnlyWhenItIsAFolder)
{
    TemporaryBundle temporary;
    auto resources = temporary.root() / "Contents/Resources";
    EXPECT_EQ(temporary.bundle().resourcesDirectory(), std::nullopt);
    std::ofstream(resources) << "not a folder";
    EXPECT_EQ(temporary.bundle().resourcesDirectory(), std::nullopt);
    fs::remove(resources);
    fs::create_directory(resources);
    EXPECT_EQ(temporary.bundle().resourcesDirectory(), resources.string());
}

TEST(ApplicationBundleTest, ContainingExecutableNeedsContentsMacOS)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        { "/opt/Quorin 4.2.app/Contents/MacOS/Quorin42Launcher", "/opt/Quorin 4.2.app" },
        { "/opt/Q.app/Contents/MacOS/../MacOS/./Quorin42Launcher", "/opt/Q.app" },
        { "/opt/Q.app/Contents/Helpers/Quorin42UpdateHelper", std::nullopt },
        { "/opt/Q.app/Contents/MacOS/", std::nullopt },
        { "/opt/Q.app/MacOS/Quorin42Launcher", std::nullopt },
        { "/Contents/MacOS/Quorin42Launcher", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& [executable, expectedRoot] : cases) {
        auto bundle = ApplicationBundle::containingExecutable(executable);
        EXPECT_EQ(bundle ? std::optional(bundle->rootPath()) : std::nullopt, expectedRoot) << executable;
    }
}

TEST(ApplicationBundleTest, RunningTestProgramIsNotInABundle)
{
    // The test binary sits in the build tree, not in "<root>/Contents/MacOS".
    auto executable = fs::read_symlink("/proc/self/exe");
    ASSERT_NE(executable.parent_path().filename(), "MacOS");
    EXPECT_EQ(ApplicationBundle::running(), std::nullopt);
}

constexpr const char* runningReportVariable = "QUORIN_TEST_RUNNING_BUNDLE_REPORT";

// Helper for the test below: runs only inside the copied program and writes what it found.
TEST(ApplicationBundleTest, ReportRunningBundle)
{
    const char* reportPath = std::getenv(runningReportVariable);
    if (!reportPath)
        GTEST_SKIP() << "only run from RunningProgramCopiedIntoABundle";
    auto running = ApplicationBundle::running();
    std::ofstream(reportPath) << (running ? running->rootPath() : "none");
}

TEST(ApplicationBundleTest, RunningProgramCopiedIntoABundle)
{
    TemporaryBundle temporary;
    auto executable = temporary.root() / "Contents/MacOS/Quorin42Launcher";
    fs::create_directories(executable.parent_path());
    fs::copy_file(fs::read_symlink("/proc/self/exe"), executable);
    auto report = temporary.root().parent_path() / "report.txt";

    auto command = std::string(runningReportVariable) + "='" + report.string() + "' '" + executable.string()
        + "' --gtest_filter=ApplicationBundleTest.ReportRunningBundle > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream stream(report);
    std::string reported((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    EXPECT_EQ(reported, fs::canonical(temporary.root()).string());
}

} // namespace
} // namespace quorin
