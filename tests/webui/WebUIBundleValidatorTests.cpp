#include "WebUITestFolder.h"

#include "webui/WebUIBundleValidator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin {
namespace {

using namespace quorin::testing;

std::string validManifestText(const fs::path& root)
{
    return manifestOfFolder(root).encode().value();
}

std::string manifestWithDigests(const std::string& digestsObject, const std::string& count = "1")
{
    return R"({"schemaVersion": 1, "runtimeFileCount": )" + count + R"(, "runtimeSHA256": )" + digestsObject + "}";
}

// Every case starts from a valid folder and breaks it in one way (or several, to show which
// check comes first).
struct FolderCase {
    const char* name;
    std::function<void(const fs::path& root)> breakFolder;
    const char* expected;
};

void relist(const fs::path& root, const std::function<void(RuntimeManifest&)>& edit)
{
    auto manifest = manifestOfFolder(root);
    edit(manifest);
    writeManifest(root, manifest);
}

const FolderCase folderCases[] = {
    { "valid folder", [](const fs::path&) {}, "ok" },
    { "stray node_modules folder", [](const fs::path& root) { fs::create_directories(root / "node_modules/left-pad"); }, "forbiddenPath(node_modules)" },
    { "main.js file", [](const fs::path& root) { writeFile(root / "main.js", "x"); }, "forbiddenPath(main.js)" },
    { "forbidden paths are checked in list order", [](const fs::path& root) { writeFile(root / "plugins", ""); writeFile(root / "launcher.env", ""); }, "forbiddenPath(launcher.env)" },
    { "forbidden path wins over a missing required file", [](const fs::path& root) { fs::remove(root / "renderer/index.html"); writeFile(root / "preload.js", ""); }, "forbiddenPath(preload.js)" },
    { "link at a forbidden path whose target exists", [](const fs::path& root) { fs::create_symlink("assets/logo.svg", root / "preload.js"); }, "forbiddenPath(preload.js)" },
    { "dangling link at a forbidden path is only a link", [](const fs::path& root) { fs::create_symlink("nowhere", root / "main.js"); }, "symbolicLinkNotAllowed(main.js)" },
    { "missing index page", [](const fs::path& root) { fs::remove(root / "renderer/index.html"); }, "missingRequiredPath(renderer/index.html)" },
    { "index page is a folder", [](const fs::path& root) { fs::remove(root / "renderer/index.html"); fs::create_directory(root / "renderer/index.html"); }, "missingRequiredPath(renderer/index.html)" },
    { "missing manifest", [](const fs::path& root) { fs::remove(root / "upstream.json"); }, "missingRequiredPath(upstream.json)" },
    { "required files before required folders", [](const fs::path& root) { fs::remove(root / "upstream.json"); fs::remove_all(root / "assets"); }, "missingRequiredPath(upstream.json)" },
    { "required folders in list order", [](const fs::path& root) { fs::remove_all(root / "renderer/dist/css"); fs::remove_all(root / "renderer/dist/js"); }, "missingRequiredPath(renderer/dist/js)" },
    { "assets is a file", [](const fs::path& root) { fs::remove_all(root / "assets"); writeFile(root / "assets", ""); }, "missingRequiredPath(assets)" },
    { "file link inside assets", [](const fs::path& root) { fs::create_symlink("logo.svg", root / "assets/x"); }, "symbolicLinkNotAllowed(assets/x)" },
    { "folder link", [](const fs::path& root) { fs::create_directory_symlink("..", root / "renderer/dist/up"); }, "symbolicLinkNotAllowed(renderer/dist/up)" },
    { "dangling link", [](const fs::path& root) { fs::create_symlink("/nonexistent/quorin", root / "assets/gone"); }, "symbolicLinkNotAllowed(assets/gone)" },
    { "link inside a hidden folder", [](const fs::path& root) { fs::create_directories(root / ".cache"); fs::create_symlink("/etc/passwd", root / ".cache/p"); }, "symbolicLinkNotAllowed(.cache/p)" },
    { "link deep in an unlisted folder", [](const fs::path& root) { fs::create_directories(root / "docs/a/b"); fs::create_symlink("/", root / "docs/a/b/root"); }, "symbolicLinkNotAllowed(docs/a/b/root)" },
    { "required file that is a link to a file", [](const fs::path& root) {
         fs::rename(root / "renderer/index.html", root / "renderer/real.html");
         fs::create_symlink("real.html", root / "renderer/index.html"); },
        "symbolicLinkNotAllowed(renderer/index.html)" },
    { "links are found before the manifest is read", [](const fs::path& root) { writeFile(root / "upstream.json", ""); fs::create_symlink("x", root / "assets/l"); }, "symbolicLinkNotAllowed(assets/l)" },
    { "empty manifest", [](const fs::path& root) { writeFile(root / "upstream.json", ""); }, "invalidManifest" },
    { "manifest is not JSON", [](const fs::path& root) { writeFile(root / "upstream.json", "{\"schemaVersion\": 1,"); }, "invalidManifest" },
    { "manifest is an array", [](const fs::path& root) { writeFile(root / "upstream.json", "[]"); }, "invalidManifest" },
    { "schema version 2", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.schemaVersion = 2; }); }, "invalidManifest" },
    { "schema version as a string", [](const fs::path& root) { writeFile(root / "upstream.json", R"({"schemaVersion": "1", "runtimeFileCount": 0, "runtimeSHA256": {}})"); }, "invalidManifest" },
    { "missing file count", [](const fs::path& root) { writeFile(root / "upstream.json", R"({"schemaVersion": 1, "runtimeSHA256": {"renderer/index.html": "00"}})"); }, "invalidManifest" },
    { "fractional file count", [](const fs::path& root) { writeFile(root / "upstream.json", manifestWithDigests("{}", "1.5")); }, "invalidManifest" },
    { "digests as an array", [](const fs::path& root) { writeFile(root / "upstream.json", manifestWithDigests("[]")); }, "invalidManifest" },
    { "a digest that is a number", [](const fs::path& root) { writeFile(root / "upstream.json", manifestWithDigests(R"({"renderer/index.html": 5})")); }, "invalidManifest" },
    { "empty digest list", [](const fs::path& root) { writeFile(root / "upstream.json", manifestWithDigests("{}", "0")); }, "invalidManifest" },
    { "schema version 1.0 and unknown keys are fine", [](const fs::path& root) {
         auto text = validManifestText(root);
         text.replace(text.find("\"schemaVersion\": 1"), 18, "\"schemaVersion\": 1.0, \"generator\": {\"x\": [1]}");
         writeFile(root / "upstream.json", text); },
        "ok" },
    { "listed path outside the runtime folders", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["upstream.json"] = std::string(64, 'a'); m.runtimeFileCount++; }); }, "unsafeManifestPath" },
    { "upper-case digest matches", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { for (auto& [path, digest] : m.runtimeSHA256) { for (char& c : digest) c = static_cast<char>(std::toupper(c)); } }); }, "ok" },
    { "digest of 63 characters", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets/logo.svg"].pop_back(); }); }, "invalidManifest" },
    { "digest of 65 characters", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets/logo.svg"] += "0"; }); }, "invalidManifest" },
    { "digest with a non-hex character", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets/logo.svg"][10] = 'g'; }); }, "invalidManifest" },
    { "listed file does not exist", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets/none.png"] = std::string(64, '0'); m.runtimeFileCount++; }); }, "missingManifestFile(assets/none.png)" },
    { "listed path is a folder", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["renderer/dist"] = std::string(64, '0'); m.runtimeFileCount++; }); }, "missingManifestFile(renderer/dist)" },
    { "listed path is a named pipe", [](const fs::path& root) {
         ASSERT_EQ(::mkfifo((root / "assets/pipe").c_str(), 0600), 0);
         relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets/pipe"] = std::string(64, '0'); m.runtimeFileCount++; }); },
        "missingManifestFile(assets/pipe)" },
    { "changed file", [](const fs::path& root) { writeFile(root / "renderer/dist/js/app.js", "console.log('changed');\n"); }, "checksumMismatch(renderer/dist/js/app.js)" },
    { "first fault in byte order of the paths", [](const fs::path& root) {
         writeFile(root / "renderer/dist/css/app.css", "changed");
         relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["renderer/dist/css/app.css"] = std::string(64, 'f'); m.runtimeSHA256["renderer/Zed.js"] = std::string(64, '0'); m.runtimeFileCount++; }); },
        "missingManifestFile(renderer/Zed.js)" },
    { "a doubled slash sorts before its siblings", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets//logo.svg"] = m.runtimeSHA256["assets/logo.svg"]; m.runtimeSHA256["assets/logo.svg"] = std::string(64, '0'); m.runtimeFileCount++; }); }, "unsafeManifestPath" },
    { "a checksum fault before an unsafe path later in order", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256["assets/logo.svg"] = std::string(64, '0'); m.runtimeSHA256["renderer/../main.js"] = std::string(64, '0'); m.runtimeFileCount++; }); }, "checksumMismatch(assets/logo.svg)" },
    { "wrong count", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeFileCount = 5; }); }, "invalidManifest" },
    { "checksum mismatch wins over a wrong count", [](const fs::path& root) { writeFile(root / "assets/logo.svg", "<svg/>"); relist(root, [](RuntimeManifest& m) { m.runtimeFileCount = 9; m.runtimeSHA256["assets/logo.svg"] = sha256Hex("other"); }); }, "checksumMismatch(assets/logo.svg)" },
    { "index page not listed", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256.erase("renderer/index.html"); m.runtimeFileCount--; }); }, "missingManifestFile(renderer/index.html)" },
    { "wrong count wins over an unlisted index page", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { m.runtimeSHA256.erase("renderer/index.html"); }); }, "invalidManifest" },
    { "only asset files listed", [](const fs::path& root) { relist(root, [](RuntimeManifest& m) { std::erase_if(m.runtimeSHA256, [](const auto& entry) { return !entry.first.starts_with("assets/"); }); m.runtimeFileCount = 1; }); }, "missingManifestFile(renderer/index.html)" },
    { "unlisted extra files are accepted", [](const fs::path& root) { writeFile(root / "renderer/dist/js/extra.js", "x"); writeFile(root / "README.md", "x"); writeFile(root / ".hidden", "x"); }, "ok" },
};

class WebUIBundleFolderTest : public ::testing::TestWithParam<FolderCase> { };

TEST_P(WebUIBundleFolderTest, ReportsTheFirstFailingCheck)
{
    TemporaryDirectory temporary;
    auto root = pathOf(temporary) / "WebUI";
    writeValidWebUI(root);
    GetParam().breakFolder(root);
    EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, WebUIBundleFolderTest, ::testing::ValuesIn(folderCases), [](const ::testing::TestParamInfo<FolderCase>& param) {
    std::string name;
    for (const char* c = param.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

TEST(WebUIBundleValidatorTest, ValidFolderGivesRootIndexAndCount)
{
    TemporaryDirectory temporary;
    auto root = pathOf(temporary) / "Quorin 4.2.app" / "WebUI";
    writeValidWebUI(root);

    auto result = WebUIBundleValidator::validate(root.string() + "/");
    ASSERT_EQ(outcomeOf(result), "ok");
    auto resolved = fs::canonical(root).string();
    EXPECT_EQ(result->rootURL, Url::fileURL(resolved));
    EXPECT_EQ(result->rootURL.filePath(), resolved);
    EXPECT_EQ(result->indexURL.filePath(), resolved + "/renderer/index.html");
    EXPECT_EQ(result->runtimeFileCount, 4);
}

TEST(WebUIBundleValidatorTest, RootReachedThroughLinksResolvesToTheTarget)
{
    TemporaryDirectory temporary;
    auto real = pathOf(temporary) / "real" / "WebUI";
    writeValidWebUI(real);
    fs::create_directory_symlink(real, pathOf(temporary) / "direct");
    fs::create_directory_symlink(pathOf(temporary) / "real", pathOf(temporary) / "parent");

    auto expected = Url::fileURL(fs::canonical(real).string());
    for (const auto& given : { pathOf(temporary) / "direct", pathOf(temporary) / "parent" / "WebUI", pathOf(temporary) / "parent" / "." / "WebUI" / ".." / "WebUI" }) {
        SCOPED_TRACE(given);
        auto result = WebUIBundleValidator::validate(given.string());
        ASSERT_EQ(outcomeOf(result), "ok");
        EXPECT_EQ(result->rootURL, expected);
    }
}

TEST(WebUIBundleValidatorTest, RootThatIsNotAFolderIsInvalid)
{
    TemporaryDirectory temporary;
    writeFile(pathOf(temporary) / "file", "x");
    fs::create_symlink(pathOf(temporary) / "missing", pathOf(temporary) / "dangling");
    fs::create_symlink(pathOf(temporary) / "file", pathOf(temporary) / "linkToFile");

    for (const auto& given : { std::string(), (pathOf(temporary) / "missing").string(), (pathOf(temporary) / "file").string(), (pathOf(temporary) / "dangling").string(), (pathOf(temporary) / "linkToFile").string() }) {
        SCOPED_TRACE(given);
        EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(given)), "invalidRoot");
    }
}

// Pads a valid manifest with trailing white space to an exact size.
std::string manifestOfSize(const fs::path& root, std::size_t size)
{
    auto text = validManifestText(root);
    text.resize(size, ' ');
    return text;
}

TEST(WebUIBundleValidatorTest, ManifestSizeLimitIsInclusive)
{
    TemporaryDirectory temporary;
    auto root = pathOf(temporary) / "WebUI";
    writeValidWebUI(root);

    writeFile(root / "upstream.json", manifestOfSize(root, WebUIBundleValidator::maximumManifestSize));
    EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), "ok");
    writeFile(root / "upstream.json", manifestOfSize(root, WebUIBundleValidator::maximumManifestSize + 1));
    EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), "invalidManifest");
}

TEST(WebUIBundleValidatorTest, ValidationChangesNothingOnDisk)
{
    TemporaryDirectory temporary;
    auto root = pathOf(temporary) / "WebUI";
    writeValidWebUI(root);
    writeFile(root / "renderer/dist/js/app.js", "changed");

    auto snapshot = [&] {
        std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> entries;
        for (const auto& entry : fs::recursive_directory_iterator(pathOf(temporary)))
            entries[entry.path().string()] = { entry.is_regular_file() ? entry.file_size() : 0, entry.last_write_time() };
        return entries;
    };
    auto before = snapshot();
    EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), "checksumMismatch(renderer/dist/js/app.js)");
    EXPECT_EQ(snapshot(), before);
}

// Permission faults cannot be produced for the superuser, who reads everything.
TEST(WebUIBundleValidatorTest, UnreadableFilesAndFolders)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root";
    TemporaryDirectory temporary;
    auto root = pathOf(temporary) / "WebUI";
    writeValidWebUI(root);

    fs::permissions(root / "renderer/dist/js/app.js", fs::perms::none);
    EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), "io(Permission denied)");
    fs::permissions(root / "renderer/dist/js/app.js", fs::perms::owner_read | fs::perms::owner_write);

    // A folder that cannot be listed could hide a link.
    fs::create_directories(root / "assets/sealed");
    fs::permissions(root / "assets/sealed", fs::perms::owner_exec);
    EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), "invalidRoot");
    fs::permissions(root / "assets/sealed", fs::perms::owner_all);
}

struct PathCase {
    const char* path;
    bool safe;
};

class RuntimePathTest : public ::testing::TestWithParam<PathCase> { };

TEST_P(RuntimePathTest, SafePathRule)
{
    EXPECT_EQ(WebUIBundleValidator::isSafeRuntimePath(GetParam().path), GetParam().safe) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Paths, RuntimePathTest, ::testing::Values(
    PathCase { "renderer/index.html", true },
    PathCase { "assets/a", true },
    PathCase { "assets/.hidden/x..y", true },
    PathCase { "", false },
    PathCase { "/renderer/index.html", false },
    PathCase { "renderer", false },
    PathCase { "renderer/", false },
    PathCase { "renderers/x", false },
    PathCase { "Renderer/x", false },
    PathCase { "upstream.json", false },
    PathCase { "renderer//x", false },
    PathCase { "renderer/x/", false },
    PathCase { "renderer/./x", false },
    PathCase { "renderer/../main.js", false },
    PathCase { "assets/..", false },
    PathCase { "assets\\x", false },
    PathCase { "./renderer/x", false }));

TEST(RuntimePathTest, NulCharacterIsUnsafe)
{
    EXPECT_FALSE(WebUIBundleValidator::isSafeRuntimePath(std::string_view("assets/a\0b", 10)));
}

} // namespace
} // namespace quorin
