#pragma once

// The emulator runtime folder (GameRuntime/) and the proof that it is what was shipped:
// ruffle-manifest.json, pinned by a SHA-256 digest compiled into the launcher, lists the 8
// package files of @ruffle-rs/ruffle 0.6.0 with their digests. Every file is checked at load
// and again on every read; nothing is cached, so a file altered after start-up is refused
// from then on. Immutable after load; any thread.

#include "LauncherGameError.h"

#include "core/MappedFile.h"
#include "core/FileSystemError.h"
#include "core/Result.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>

namespace quorin {

// A refusal, or an error of the file system itself (a missing or unreadable file or folder)
// passed on unchanged.
using RuffleRuntimeError = std::variant<LauncherGameError, FileSystemError>;

class RuffleRuntimeManifest {
public:
    static constexpr std::string_view manifestPath = "ruffle-manifest.json";
    static constexpr std::string_view packageIdentifier = "@ruffle-rs/ruffle@0.6.0";
    static constexpr std::string_view packageVersion = "0.6.0";
    static constexpr std::size_t packageFileCount = 8;
    static constexpr std::size_t maximumFileSize = 32 * 1024 * 1024;
    static constexpr std::string_view hostPagePath = "host/index.html";
    static constexpr std::string_view hostScriptPath = "host/ruffle-host.js";

    // GameRuntime/ in the bundle's resource folder, pinned by the digest of the manifest that
    // shipped with this build. No resource folder: runtimeInvalid.
    static Result<RuffleRuntimeManifest, RuffleRuntimeError> packaged(const std::optional<std::string>& resourcesDirectory);
    // `root` pinned by `manifestSHA256` (64 lower-case hex digits); every file is verified.
    static Result<RuffleRuntimeManifest, RuffleRuntimeError> load(const std::string& root, std::string_view manifestSHA256);

    // The verified bytes of one servable file: resourceDenied for a path that is not served or
    // that passes through a symbolic link, runtimeInvalid for a file that is not regular,
    // larger than maximumFileSize or not the listed bytes.
    Result<MappedFile, RuffleRuntimeError> read(std::string_view path) const;

    // By the end of the path: .wasm, .js, .html, .json, anything else text/plain.
    static std::string_view mimeType(std::string_view path);
    // Not absolute, no "%" or "\", only A-Z a-z 0-9 . _ / -, and no empty, "." or ".." piece.
    static bool isSafePath(std::string_view path);

    const std::string& root() const { return m_root; }
    const std::set<std::string, std::less<>>& paths() const { return m_paths; }

private:
    explicit RuffleRuntimeManifest(std::string root)
        : m_root(std::move(root))
    {
    }
    Status<RuffleRuntimeError> readEntries(std::string_view manifestText);
    Status<RuffleRuntimeError> verifyEveryFile() const;

    std::string m_root; // absolute, "." and ".." resolved
    std::set<std::string, std::less<>> m_paths;
    std::map<std::string, std::string, std::less<>> m_digests; // "ruffle/<name>" -> sha256 as listed
};

} // namespace quorin
