#pragma once

// The launcher's deployment settings from "launcher-config.json": trusted web origins, the
// game servers the socket proxy may reach, and the update feed. A value only comes out of
// the strict decoder, so every instance satisfies the rules checked there.

#include "ApplicationBundle.h"
#include "FileSystemError.h"
#include "LauncherConfigurationError.h"
#include "Result.h"
#include "Url.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorin {

// A configuration that could not be loaded: refused by the decoder (or not found), or a
// read error of the located file, passed on as the file system reported it.
using LauncherConfigurationLoadError = std::variant<LauncherConfigurationError, FileSystemError>;

class LauncherConfiguration {
public:
    struct Product {
        std::string displayName;
        std::string bundleIdentifier;
        bool operator==(const Product&) const = default;
    };
    // Bounds in points, each 320 to 8192, initial at least minimum.
    struct Window {
        std::int64_t initialWidth { 0 };
        std::int64_t initialHeight { 0 };
        std::int64_t minimumWidth { 0 };
        std::int64_t minimumHeight { 0 };
        bool operator==(const Window&) const = default;
    };
    // A game server the socket proxy may reach: "server<N>.<game-server domain>", port 25565.
    struct GameSocket {
        std::string host;
        std::int64_t port { 0 };
        bool operator==(const GameSocket&) const = default;
    };

    static constexpr std::string_view fileName = "launcher-config.json";
    // Folder, inside the resources directory, of the copy shipped with the core module.
    static constexpr std::string_view coreResourcesFolder = "LauncherCore";
    static constexpr std::int64_t gameServerPort = 25565;

    // Decodes the file's bytes; the first failing rule, in a fixed order, decides the error.
    // Pure: no I/O, no state.
    static Result<LauncherConfiguration, LauncherConfigurationError> decode(std::string_view data);

    // Reads and decodes "<resources>/launcher-config.json", or else the core module's copy
    // "<resources>/LauncherCore/launcher-config.json". Neither present gives
    // missingBundledConfiguration; a present file that cannot be read gives its FileSystemError.
    static Result<LauncherConfiguration, LauncherConfigurationLoadError> bundled(const ApplicationBundle& bundle);

    // A configuration file is small; anything larger is refused as a read error (EFBIG).
    static constexpr std::size_t maximumFileSize = 1024 * 1024;
    // The bytes of a configuration file, within maximumFileSize; only a regular file is read.
    static Result<std::string, FileSystemError> readFile(const std::string& path);

    std::int64_t schemaVersion() const { return m_schemaVersion; }
    const Product& product() const { return m_product; }
    const Window& window() const { return m_window; }
    const Url& apiOrigin() const { return m_apiOrigin; }
    const Url& authOrigin() const { return m_authOrigin; }
    // 1 to 16 origins in file order; duplicates allowed.
    const std::vector<Url>& gameOrigins() const { return m_gameOrigins; }
    // 0 to 8 sockets in file order, hosts unique.
    const std::vector<GameSocket>& gameSockets() const { return m_gameSockets; }
    const Url& updateFeedURL() const { return m_updateFeedURL; }

    bool operator==(const LauncherConfiguration&) const = default;

private:
    LauncherConfiguration(Product product, Window window, Url apiOrigin, Url authOrigin, std::vector<Url> gameOrigins,
        std::vector<GameSocket> gameSockets, Url updateFeedURL);

    std::int64_t m_schemaVersion { 1 };
    Product m_product;
    Window m_window;
    Url m_apiOrigin;
    Url m_authOrigin;
    std::vector<Url> m_gameOrigins;
    std::vector<GameSocket> m_gameSockets;
    Url m_updateFeedURL;
};

} // namespace quorin
