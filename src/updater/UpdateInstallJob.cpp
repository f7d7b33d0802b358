#include "UpdateInstallJob.h"

#include "SemanticUpdateVersion.h"

#include "core/AsciiCase.h"
#include "core/AtomicFile.h"
#include "core/FilePath.h"
#include "core/JsonReaders.h"
#include "core/ProductIdentity.h"
#include "core/ReadableFile.h"
#include "core/Uuid.h"

#include <cerrno>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin {

namespace {

constexpr std::string_view jobFileName = "install-job.json";
constexpr std::string_view readyFileName = "ready";
constexpr mode_t privateDirectoryMode = 0700;
constexpr mode_t readyFileMode = 0644;

Failure<UpdateFailure> installFailure()
{
    return fail(UpdateFailure(LauncherUpdateError::install()));
}

std::string candidatePath(const std::string& jobDirectory)
{
    return filePath::joined(jobDirectory, "unpacked/" + std::string(ProductIdentity::displayName) + ".app");
}

bool isBundleName(std::string_view name)
{
    return name.size() > 4 && name.ends_with(".app");
}

std::optional<std::int32_t> pidValue(const nlohmann::json& document)
{
    auto* member = json::member(document, "parentPID");
    auto value = member ? json::integerValue(*member) : std::nullopt;
    if (!value || *value < std::numeric_limits<std::int32_t>::min() || *value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<UpdateInstallJob> decoded(std::string_view text)
{
    auto document = json::parse(text);
    if (!document || !document->is_object())
        return std::nullopt;
    auto string = [&](std::string_view key) -> std::optional<std::string> {
        auto* value = json::member(*document, key);
        return value ? json::stringValue(*value) : std::nullopt;
    };
    auto url = [&](std::string_view key) -> std::optional<Url> {
        auto value = string(key);
        return value ? Url::parse(*value) : std::nullopt;
    };
    auto pid = pidValue(*document);
    auto target = url("target");
    auto candidate = url("candidate");
    auto currentVersion = string("currentVersion");
    auto version = string("version");
    auto nonce = string("nonce");
    if (!pid || !target || !candidate || !currentVersion || !version || !nonce)
        return std::nullopt;
    return UpdateInstallJob { *pid, *target, *candidate, *currentVersion, *version, *nonce };
}

Status<UpdateFailure> checkVersions(const UpdateInstallJob& job)
{
    auto current = TRY(SemanticUpdateVersion::parse(job.currentVersion));
    auto offered = TRY(SemanticUpdateVersion::parse(job.version));
    if (offered <= current)
        return installFailure();
    return Ok {};
}

} // namespace

UpdateInstallJob UpdateInstallJob::create(std::int32_t parentPID, Url target, Url candidate, std::string currentVersion, std::string version)
{
    return { parentPID, std::move(target), std::move(candidate), std::move(currentVersion), std::move(version), asciiUppercased(Uuid::random().lowerString()) };
}

Result<UpdateInstallJob, UpdateFailure> UpdateInstallJob::read(const std::string& jobPath)
{
    struct stat status {};
    if (::lstat(jobPath.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0
        || static_cast<std::size_t>(status.st_size) > maximumFileSize)
        return installFailure();
    auto text = ReadableFile::readContents(jobPath, maximumFileSize);
    if (text.isError())
        return installFailure();
    auto job = decoded(*text);
    if (!job)
        return installFailure();
    TRY(job->validate(jobPath));
    return std::move(*job);
}

Status<UpdateFailure> UpdateInstallJob::validate(const std::string& jobPath) const
{
    auto directory = filePath::folder(jobPath);
    struct stat status {};
    if (::lstat(directory.c_str(), &status) != 0)
        return fail(UpdateFailure(FileSystemError::fromErrno(directory, errno)));
    if (parentPID < 2 || !Uuid::parse(nonce) || filePath::name(jobPath) != jobFileName || !jobPath.starts_with('/'))
        return installFailure();
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 07777) != privateDirectoryMode)
        return installFailure();
    if (candidate.standardized() != Url::fileURL(candidatePath(directory)).standardized())
        return installFailure();
    auto targetPath = target.standardized().filePath();
    if (!target.isFileURL() || !isBundleName(filePath::name(targetPath)) || targetPath.starts_with(directory + "/"))
        return installFailure();
    return checkVersions(*this);
}

Status<UpdateFailure> UpdateInstallJob::signalReady(const std::string& jobPath) const
{
    TRY(validate(jobPath));
    auto written = replaceFileAtomically(filePath::joined(filePath::folder(jobPath), readyFileName), nonce, readyFileMode);
    if (written.isError())
        return fail(UpdateFailure(written.releaseError()));
    return Ok {};
}

bool UpdateInstallJob::isReady(const std::string& jobPath) const
{
    auto readyPath = filePath::joined(filePath::folder(jobPath), readyFileName);
    struct stat status {};
    if (::lstat(readyPath.c_str(), &status) != 0 || S_ISLNK(status.st_mode) || static_cast<std::size_t>(status.st_size) != nonce.size())
        return false;
    auto bytes = ReadableFile::readContents(readyPath, nonce.size());
    return bytes.hasValue() && *bytes == nonce;
}

std::string UpdateInstallJob::encoded() const
{
    nlohmann::json document {
        { "parentPID", parentPID },
        { "target", target.string() },
        { "candidate", candidate.string() },
        { "currentVersion", currentVersion },
        { "version", version },
        { "nonce", nonce },
    };
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace quorin
