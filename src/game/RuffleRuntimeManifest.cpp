#include "RuffleRuntimeManifest.h"

#include "game/PackagedRuffleManifestDigest.h"

#include "core/FilePath.h"
#include "core/JsonReaders.h"
#include "core/ReadableFile.h"
#include "core/Sha256.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorin {

namespace {

Failure<LauncherGameError> runtimeInvalid()
{
    return fail(LauncherGameError::runtimeInvalid());
}

// An open file or folder, closed when the value goes away.
class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    Descriptor(Descriptor&& other) noexcept
        : m_descriptor(std::exchange(other.m_descriptor, -1))
    {
    }
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(m_descriptor, other.m_descriptor);
        return *this;
    }
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// Opens `name` inside `folder` (or the path itself with AT_FDCWD) unless it is a symbolic
// link. Non-blocking, so a FIFO planted in the folder cannot stall the request.
// `shownPath` names the item in a file-system error.
Result<Descriptor, RuffleRuntimeError> openUnlessLink(int folder, const std::string& name, int flags, std::string_view shownPath)
{
    int descriptor;
    do
        descriptor = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | flags);
    while (descriptor < 0 && errno == EINTR);
    if (descriptor >= 0)
        return Descriptor(descriptor);
    int openError = errno;
    // A link gives ELOOP, or ENOTDIR where a folder is expected.
    struct stat status {};
    if ((openError == ELOOP || openError == ENOTDIR) && ::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(status.st_mode))
        return fail(LauncherGameError::resourceDenied());
    return fail(FileSystemError::fromErrno(std::string(shownPath), openError));
}

// Walks from the root one piece at a time, so no step (the root, a folder, the file) can be
// a symbolic link, even one swapped in after the last read.
Result<Descriptor, RuffleRuntimeError> openBelow(const std::string& root, std::string_view relative)
{
    auto current = TRY(openUnlessLink(AT_FDCWD, root, O_DIRECTORY, root));
    auto pieces = filePath::components(relative);
    for (std::size_t index = 0; index + 1 < pieces.size(); ++index)
        current = TRY(openUnlessLink(current.get(), std::string(pieces[index]), O_DIRECTORY, relative));
    return openUnlessLink(current.get(), std::string(pieces.back()), 0, relative);
}

std::string standardizedRoot(const std::string& root)
{
    std::error_code error;
    auto absolute = std::filesystem::absolute(root, error);
    auto text = (error ? std::filesystem::path(root) : absolute).lexically_normal().string();
    if (text.size() > 1 && text.ends_with('/'))
        text.pop_back();
    return text;
}

bool isStringValuedObject(const nlohmann::json& entry)
{
    if (!entry.is_object())
        return false;
    for (const auto& value : entry)
        if (!value.is_string())
            return false;
    return true;
}

} // namespace

Result<RuffleRuntimeManifest, RuffleRuntimeError> RuffleRuntimeManifest::packaged(const std::optional<std::string>& resourcesDirectory)
{
    if (!resourcesDirectory)
        return runtimeInvalid();
    return load(filePath::joined(*resourcesDirectory, "GameRuntime"), packagedRuffleManifestSHA256);
}

Result<RuffleRuntimeManifest, RuffleRuntimeError> RuffleRuntimeManifest::load(const std::string& root, std::string_view manifestSHA256)
{
    RuffleRuntimeManifest manifest(standardizedRoot(root));
    struct stat status {};
    if (::lstat(manifest.m_root.c_str(), &status) != 0)
        return fail(FileSystemError::fromErrno(manifest.m_root, errno));
    if (S_ISLNK(status.st_mode))
        return runtimeInvalid();

    auto text = TRY(ReadableFile::readContents(filePath::joined(manifest.m_root, manifestPath), maximumFileSize));
    // Pinned before parsing: a manifest that is not byte for byte the shipped one is never read.
    if (sha256Hex(text) != manifestSHA256)
        return runtimeInvalid();
    TRY(manifest.readEntries(text));
    for (const auto& [path, digest] : manifest.m_digests)
        manifest.m_paths.insert(path);
    manifest.m_paths.emplace(hostPagePath);
    manifest.m_paths.emplace(hostScriptPath);
    TRY(manifest.verifyEveryFile());
    return manifest;
}

// The digest has already proved these bytes; text that is not JSON is refused like any other
// manifest this launcher cannot use.
Status<RuffleRuntimeError> RuffleRuntimeManifest::readEntries(std::string_view manifestText)
{
    auto document = json::parse(manifestText);
    if (!document || !document->is_object())
        return runtimeInvalid();
    auto* package = json::member(*document, "package");
    if (!package || json::stringValue(*package) != packageIdentifier)
        return runtimeInvalid();
    auto* files = json::member(*document, "files");
    if (!files || !files->is_array() || files->size() != packageFileCount)
        return runtimeInvalid();
    for (const auto& entry : *files)
        if (!isStringValuedObject(entry))
            return runtimeInvalid();
    for (const auto& entry : *files) {
        auto* name = json::member(entry, "path");
        auto* digest = json::member(entry, "sha256");
        if (!name || !digest)
            return runtimeInvalid();
        const auto& nameText = name->get_ref<const std::string&>();
        if (nameText.find('/') != std::string::npos || !isSafePath(nameText))
            return runtimeInvalid();
        if (!m_digests.emplace("ruffle/" + nameText, digest->get<std::string>()).second)
            return runtimeInvalid();
    }
    return Ok {};
}

Status<RuffleRuntimeError> RuffleRuntimeManifest::verifyEveryFile() const
{
    for (const auto& [path, digest] : m_digests)
        TRY(read(path));
    TRY(read(hostPagePath));
    TRY(read(hostScriptPath));
    return Ok {};
}

Result<MappedFile, RuffleRuntimeError> RuffleRuntimeManifest::read(std::string_view path) const
{
    if (!isSafePath(path) || !m_paths.contains(path))
        return fail(LauncherGameError::resourceDenied());
    auto file = TRY(openBelow(m_root, path));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return fail(FileSystemError::fromErrno(std::string(path), errno));
    if (!S_ISREG(status.st_mode) || status.st_size < 0 || static_cast<std::size_t>(status.st_size) > maximumFileSize)
        return runtimeInvalid();
    auto mapped = TRY(MappedFile::map(file.get(), static_cast<std::size_t>(status.st_size), std::string(path)));
    if (auto listed = m_digests.find(path); listed != m_digests.end() && sha256Hex(mapped.bytes()) != listed->second)
        return runtimeInvalid();
    return mapped;
}

std::string_view RuffleRuntimeManifest::mimeType(std::string_view path)
{
    if (path.ends_with(".wasm"))
        return "application/wasm";
    if (path.ends_with(".js"))
        return "text/javascript";
    if (path.ends_with(".html"))
        return "text/html";
    if (path.ends_with(".json"))
        return "application/json";
    return "text/plain";
}

bool RuffleRuntimeManifest::isSafePath(std::string_view path)
{
    if (path.empty() || path.front() == '/')
        return false;
    for (char c : path) {
        bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_'
            || c == '/' || c == '-';
        if (!allowed)
            return false;
    }
    for (auto piece : filePath::components(path))
        if (piece.empty() || piece == "." || piece == "..")
            return false;
    return true;
}

} // namespace quorin
