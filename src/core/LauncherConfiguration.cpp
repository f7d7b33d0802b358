#include "LauncherConfiguration.h"

#include "FilePath.h"
#include "GameServerHost.h"
#include "JsonReaders.h"
#include "LauncherConfigurationFields.h"
#include "ReadableFile.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <set>
#include <sys/stat.h>

namespace quorin {

namespace {

using namespace LauncherConfigurationFields;
using Error = LauncherConfigurationError;
using JsonValue = nlohmann::json;

constexpr std::int64_t smallestWindowSide = 320;
constexpr std::int64_t largestWindowSide = 8192;
constexpr std::size_t maximumGameOrigins = 16;
constexpr std::size_t maximumGameSockets = 8;

Status<Error> checkSchemaVersion(const JsonValue& root)
{
    auto version = TRY(integer("schemaVersion", root));
    if (version != 1)
        return fail(Error::unsupportedSchemaVersion());
    return Ok {};
}

Read<LauncherConfiguration::Product> decodeProduct(const JsonValue& root)
{
    const auto* product = TRY(object("product", root));
    TRY(rejectUnknownKeys(*product, { "displayName", "bundleIdentifier" }, "product"));
    auto displayName = TRY(nonemptyString("displayName", *product));
    // It names the per-user storage folder: one plain folder name, nothing that climbs out.
    if (!filePath::isPlainComponent(displayName))
        return fail(LauncherConfigurationError::invalidValue("displayName"));
    auto bundleIdentifier = TRY(nonemptyString("bundleIdentifier", *product));
    return LauncherConfiguration::Product { std::move(displayName), std::move(bundleIdentifier) };
}

bool isWindowSide(std::int64_t side)
{
    return side >= smallestWindowSide && side <= largestWindowSide;
}

Status<Error> validate(const LauncherConfiguration::Window& window)
{
    bool sidesInRange = isWindowSide(window.initialWidth) && isWindowSide(window.initialHeight)
        && isWindowSide(window.minimumWidth) && isWindowSide(window.minimumHeight);
    if (!sidesInRange || window.initialWidth < window.minimumWidth || window.initialHeight < window.minimumHeight)
        return fail(Error::invalidWindowBounds());
    return Ok {};
}

Read<LauncherConfiguration::Window> decodeWindow(const JsonValue& root)
{
    const auto* section = TRY(object("window", root));
    TRY(rejectUnknownKeys(*section, { "initialWidth", "initialHeight", "minimumWidth", "minimumHeight" }, "window"));
    LauncherConfiguration::Window window;
    window.initialWidth = TRY(integer("initialWidth", *section));
    window.initialHeight = TRY(integer("initialHeight", *section));
    window.minimumWidth = TRY(integer("minimumWidth", *section));
    window.minimumHeight = TRY(integer("minimumHeight", *section));
    TRY(validate(window));
    return window;
}

Read<Url> decodeOrigin(std::string_view key, const JsonValue& root)
{
    auto text = TRY(nonemptyString(key, root));
    return secureOrigin(text, key);
}

Read<std::vector<Url>> decodeGameOrigins(const JsonValue& root)
{
    auto texts = TRY(stringArray("gameOrigins", root));
    if (texts.empty() || texts.size() > maximumGameOrigins)
        return fail(Error::invalidValue("gameOrigins"));
    std::vector<Url> origins;
    origins.reserve(texts.size());
    for (const auto& text : texts)
        origins.push_back(TRY(secureOrigin(text, "gameOrigins")));
    return origins;
}

Read<LauncherConfiguration::GameSocket> decodeGameSocket(const JsonValue& entry)
{
    TRY(rejectUnknownKeys(entry, { "host", "port" }, "gameSockets"));
    auto host = TRY(nonemptyString("host", entry));
    auto port = TRY(integer("port", entry));
    if (!isGameServerHost(host) || port != LauncherConfiguration::gameServerPort)
        return fail(Error::invalidValue("gameSockets"));
    return LauncherConfiguration::GameSocket { std::move(host), port };
}

bool hasDuplicateHosts(const std::vector<LauncherConfiguration::GameSocket>& sockets)
{
    std::set<std::string_view> hosts;
    for (const auto& socket : sockets) {
        if (!hosts.insert(socket.host).second)
            return true;
    }
    return false;
}

Read<std::vector<LauncherConfiguration::GameSocket>> decodeGameSockets(const JsonValue& root)
{
    const auto* value = json::member(root, "gameSockets");
    if (!value)
        return std::vector<LauncherConfiguration::GameSocket> {};
    bool isArrayOfObjects = value->is_array()
        && std::all_of(value->begin(), value->end(), [](const JsonValue& entry) { return entry.is_object(); });
    if (!isArrayOfObjects || value->size() > maximumGameSockets)
        return fail(Error::invalidValue("gameSockets"));

    std::vector<LauncherConfiguration::GameSocket> sockets;
    sockets.reserve(value->size());
    for (const auto& entry : *value)
        sockets.push_back(TRY(decodeGameSocket(entry)));
    if (hasDuplicateHosts(sockets))
        return fail(Error::invalidValue("gameSockets"));
    return sockets;
}

// A path counts as present unless the file system says it does not exist; any other
// failure is left for the read to report.
bool isPresent(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

std::optional<std::string> locateBundledFile(const ApplicationBundle& bundle)
{
    auto resources = bundle.resourcesDirectory();
    if (!resources)
        return std::nullopt;
    auto besideApplication = filePath::joined(*resources, LauncherConfiguration::fileName);
    if (isPresent(besideApplication))
        return besideApplication;
    auto coreCopy = filePath::joined(filePath::joined(*resources, LauncherConfiguration::coreResourcesFolder), LauncherConfiguration::fileName);
    if (isPresent(coreCopy))
        return coreCopy;
    return std::nullopt;
}

} // namespace

LauncherConfiguration::LauncherConfiguration(Product product, Window window, Url apiOrigin, Url authOrigin,
    std::vector<Url> gameOrigins, std::vector<GameSocket> gameSockets, Url updateFeedURL)
    : m_product(std::move(product))
    , m_window(window)
    , m_apiOrigin(std::move(apiOrigin))
    , m_authOrigin(std::move(authOrigin))
    , m_gameOrigins(std::move(gameOrigins))
    , m_gameSockets(std::move(gameSockets))
    , m_updateFeedURL(std::move(updateFeedURL))
{
}

Result<LauncherConfiguration, LauncherConfigurationError> LauncherConfiguration::decode(std::string_view data)
{
    auto root = json::parse(data);
    if (!root || !root->is_object())
        return fail(Error::invalidJSON());
    TRY(rejectUnknownKeys(*root,
        { "schemaVersion", "product", "window", "apiOrigin", "authOrigin", "gameOrigins", "gameSockets", "updateFeedURL" },
        ""));
    TRY(checkSchemaVersion(*root));
    auto product = TRY(decodeProduct(*root));
    auto window = TRY(decodeWindow(*root));
    auto apiOrigin = TRY(decodeOrigin("apiOrigin", *root));
    auto authOrigin = TRY(decodeOrigin("authOrigin", *root));
    auto gameOrigins = TRY(decodeGameOrigins(*root));
    auto updateFeedURL = TRY(secureURL("updateFeedURL", *root));
    auto gameSockets = TRY(decodeGameSockets(*root));
    return LauncherConfiguration(std::move(product), window, std::move(apiOrigin), std::move(authOrigin),
        std::move(gameOrigins), std::move(gameSockets), std::move(updateFeedURL));
}

Result<LauncherConfiguration, LauncherConfigurationLoadError> LauncherConfiguration::bundled(const ApplicationBundle& bundle)
{
    auto path = locateBundledFile(bundle);
    if (!path)
        return fail(Error::missingBundledConfiguration());
    auto contents = TRY(readFile(*path));
    return TRY(decode(contents));
}

Result<std::string, FileSystemError> LauncherConfiguration::readFile(const std::string& path)
{
    return ReadableFile::readContents(path, maximumFileSize);
}

} // namespace quorin
