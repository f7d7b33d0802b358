#include "core/Sha256.h"
#include "support/TemporaryDirectory.h"
#include "support/UnprivilegedProcess.h"
#include "webui/RuntimeManifest.h"
#include "webui/WebUIBundleLocator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <variant>

namespace quorin {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryDirectory;

const auto writeFile = TemporaryDirectory::writeFile;

// A manifest listing every regular file under renderer/ and assets/ with its real digest.
RuntimeManifest manifestOfFolder(const fs::path& root)
{
    RuntimeManifest manifest;
    for (const char* folder : { "renderer", "assets" })
        for (const auto& entry : fs::recursive_directory_iterator(root / folder))
            if (entry.is_regular_file() && !entry.is_symlink())
                manifest.runtimeSHA256[entry.path().lexically_relative(root).string()] = sha256HexOfFile(entry.path()).value();
    manifest.runtimeFileCount = static_cast<std::int64_t>(manifest.runtimeSHA256.size());
    return manifest;
}

// A folder that passes every check: the entry page, a script, a style sheet, an asset.
void writeValidWebUI(const fs::path& root)
{
    writeFile(root / "renderer/index.html", "<!doctype html><script src=\"dist/js/app.js\"></script>\n");
    writeFile(root / "renderer/dist/js/app.js", "console.log('ready');\n");
    writeFile(root / "renderer/dist/css/app.css", "body { margin: 0; }\n");
    writeFile(root / "assets/logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    writeFile(root / "upstream.json", manifestOfFolder(root).encode().value());
}

// "ok", the refusal's description, or "io(<errno text>)" for a file-system error.
std::string outcomeOf(const Result<WebUIBundle, WebUIBundleLoadError>& result)
{
    const auto* refusal = result ? nullptr : std::get_if<WebUIBundleValidationError>(&result.error());
    return result ? "ok" : refusal ? refusal->description() : "io(" + std::get<FileSystemError>(result.error()).code.message() + ")";
}

// Rewrites the manifest of the folder as it now is, changed by `edit`; `listing` lists one more path.
void relist(const fs::path& root, const std::function<void(RuntimeManifest&)>& edit) { auto manifest = manifestOfFolder(root); edit(manifest); writeFile(root / "upstream.json", manifest.encode().value()); }

auto listing(std::string path) { return [=](RuntimeManifest& m) { m.runtimeSHA256[path] = std::string(64, '0'); m.runtimeFileCount++; }; }

void writePadded(const fs::path& root, std::size_t size) { writeFile(root / "upstream.json", manifestOfFolder(root).encode().value().append(size, ' ').substr(0, size)); }

// Each case breaks a valid folder in one way, or in two to show which check comes first.
TEST(WebUIBundleValidator, ReportsTheFirstFailingCheck)
{
    using Break = std::function<void(const fs::path&)>;
    const std::tuple<const char*, Break, const char*> cases[] = {
        { "valid folder", [](auto&) {}, "ok" },
        { "forbidden paths in list order", [](auto& r) { writeFile(r / "plugins", ""); writeFile(r / "launcher.env", ""); }, "forbiddenPath(launcher.env)" },
        { "link to a file at a forbidden path", [](auto& r) { fs::create_symlink("assets/logo.svg", r / "preload.js"); }, "forbiddenPath(preload.js)" },
        { "dangling link at a forbidden path", [](auto& r) { fs::create_symlink("nowhere", r / "main.js"); }, "symbolicLinkNotAllowed(main.js)" },
        { "index page is a folder", [](auto& r) { fs::remove(r / "renderer/index.html"); fs::create_directory(r / "renderer/index.html"); }, "missingRequiredPath(renderer/index.html)" },
        { "required folders in list order", [](auto& r) { fs::remove_all(r / "renderer/dist/css"); fs::remove_all(r / "renderer/dist/js"); }, "missingRequiredPath(renderer/dist/js)" },
        { "link deep in a hidden folder", [](auto& r) { fs::create_directories(r / ".cache/a"); fs::create_symlink("/", r / ".cache/a/p"); }, "symbolicLinkNotAllowed(.cache/a/p)" },
        { "required file that is a link", [](auto& r) { fs::rename(r / "renderer/index.html", r / "renderer/i.html"); fs::create_symlink("i.html", r / "renderer/index.html"); }, "symbolicLinkNotAllowed(renderer/index.html)" },
        { "links before the manifest", [](auto& r) { writeFile(r / "upstream.json", ""); fs::create_symlink("x", r / "assets/l"); }, "symbolicLinkNotAllowed(assets/l)" },
        { "manifest is not JSON", [](auto& r) { writeFile(r / "upstream.json", "{\"schemaVersion\": 1,"); }, "invalidManifest" },
        { "manifest at the size limit", [](auto& r) { writePadded(r, WebUIBundleValidator::maximumManifestSize); }, "ok" },
        { "manifest one byte past it", [](auto& r) { writePadded(r, WebUIBundleValidator::maximumManifestSize + 1); }, "invalidManifest" },
        { "schema version 2", [](auto& r) { relist(r, [](auto& m) { m.schemaVersion = 2; }); }, "invalidManifest" },
        { "no digests", [](auto& r) { relist(r, [](auto& m) { m.runtimeSHA256.clear(); m.runtimeFileCount = 0; }); }, "invalidManifest" },
        { "schema version 1.0 and unknown keys", [](auto& r) { auto text = manifestOfFolder(r).encode().value();
             writeFile(r / "upstream.json", text.replace(text.find("\"schemaVersion\": 1"), 18, "\"schemaVersion\": 1.0, \"x\": [1]")); }, "ok" },
        { "listed path outside the runtime folders", [](auto& r) { relist(r, listing("upstream.json")); }, "unsafeManifestPath" },
        { "upper-case digest", [](auto& r) { relist(r, [](auto& m) { for (char& c : m.runtimeSHA256["assets/logo.svg"]) c = static_cast<char>(std::toupper(c)); }); }, "ok" },
        { "digest of 63 digits", [](auto& r) { relist(r, [](auto& m) { m.runtimeSHA256["assets/logo.svg"].pop_back(); }); }, "invalidManifest" },
        { "digest with a non-hex digit", [](auto& r) { relist(r, [](auto& m) { m.runtimeSHA256["assets/logo.svg"][10] = 'g'; }); }, "invalidManifest" },
        { "listed path is a named pipe", [](auto& r) { ::mkfifo((r / "assets/pipe").c_str(), 0600); relist(r, listing("assets/pipe")); }, "missingManifestFile(assets/pipe)" },
        { "a checksum fault before a later unsafe path", [](auto& r) { relist(r, listing("renderer/../main.js")); writeFile(r / "assets/logo.svg", "changed"); }, "checksumMismatch(assets/logo.svg)" },
        { "checksums before the count", [](auto& r) { relist(r, [](auto& m) { m.runtimeFileCount = 9; }); writeFile(r / "assets/logo.svg", "<svg/>"); }, "checksumMismatch(assets/logo.svg)" },
        { "index page not listed", [](auto& r) { relist(r, [](auto& m) { m.runtimeSHA256.erase("renderer/index.html"); m.runtimeFileCount--; }); }, "missingManifestFile(renderer/index.html)" },
        { "the count before the index page", [](auto& r) { relist(r, [](auto& m) { m.runtimeSHA256.erase("renderer/index.html"); }); }, "invalidManifest" },
        { "unlisted extra files", [](auto& r) { writeFile(r / "renderer/dist/js/extra.js", "x"); writeFile(r / ".hidden", "x"); }, "ok" },
    };
    for (const auto& [name, breakFolder, expected] : cases) {
        TemporaryDirectory directory;
        auto root = fs::path(directory.pathOf("WebUI"));
        writeValidWebUI(root);
        breakFolder(root);
        EXPECT_EQ(outcomeOf(WebUIBundleValidator::validate(root.string())), expected) << name;
    }
}

// The root is resolved through links in its own path and must end at a folder; the packaged
// folder is "WebUI" in the application's resources.
TEST(WebUIBundleValidator, ResolvesTheRoot)
{
    TemporaryDirectory directory;
    writeValidWebUI(directory.pathOf("Q.app/Contents/Resources/WebUI"));
    auto real = fs::canonical(directory.pathOf("Q.app/Contents/Resources/WebUI")).string();
    fs::create_directory_symlink(directory.pathOf("Q.app/Contents/Resources"), directory.pathOf("parent"));
    fs::create_symlink(real + "/assets/logo.svg", directory.pathOf("file"));
    auto summary = [](const Result<WebUIBundle, WebUIBundleLoadError>& bundle) {
        return bundle ? bundle->rootURL.filePath() + " " + bundle->indexURL.filePath() + " " + std::to_string(bundle->runtimeFileCount) : outcomeOf(bundle);
    };
    const auto valid = real + " " + real + "/renderer/index.html 4";
    const std::pair<std::string, std::string> cases[] = {
        { directory.pathOf("parent/./WebUI/../WebUI"), valid },
        { directory.pathOf("missing"), "invalidRoot" },
        { directory.pathOf("file"), "invalidRoot" },
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(summary(WebUIBundleValidator::validate(given)), expected) << given;
    EXPECT_EQ(summary(WebUIBundleLocator::packaged(ApplicationBundle(directory.pathOf("Q.app")))), valid);
    EXPECT_EQ(summary(WebUIBundleLocator::packaged(ApplicationBundle(directory.path()))), "invalidRoot");
}

// As an unprivileged user, so that modes bind.
TEST(WebUIBundleValidator, UnreadableFilesAndFolders)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        { "a listed file that cannot be read", "renderer/dist/js/app.js", "io(Permission denied)" },
        { "a folder that cannot be listed could hide a link", "assets", "invalidRoot" },
    };
    for (const auto& [name, sealed, expected] : cases) {
        TemporaryDirectory directory;
        ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
        writeValidWebUI(directory.pathOf("WebUI"));
        auto path = directory.pathOf("WebUI/" + std::string(sealed));
        chmod(path.c_str(), fs::is_directory(path) ? 0311 : 0);
        int result = testing::runUnprivileged([&] { return outcomeOf(WebUIBundleValidator::validate(directory.pathOf("WebUI"))) == expected ? 1 : 0; });
        chmod(path.c_str(), 0755);
        EXPECT_EQ(result, 1) << name;
    }
}

TEST(WebUIBundleValidator, SafeRuntimePaths)
{
    EXPECT_TRUE(WebUIBundleValidator::isSafeRuntimePath("assets/.hidden/x..y"));
    for (std::string path : { "", "/renderer/x", "renderer/", "renderers/x", "upstream.json", "renderer//x", "renderer/./x", "renderer/../main.js", "assets\\x" })
        EXPECT_FALSE(WebUIBundleValidator::isSafeRuntimePath(path)) << path;
    EXPECT_FALSE(WebUIBundleValidator::isSafeRuntimePath(std::string_view("assets/a\0b", 10)));
}

} // namespace
} // namespace quorin
