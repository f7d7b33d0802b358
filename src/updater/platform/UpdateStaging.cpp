#include "UpdateStaging.h"

#include "UpdateArchiveExtraction.h"

#include "core/MappedFile.h"
#include "updater/UpdateArchive.h"
#include "updater/UpdateZIPDirectory.h"

#include "core/DirectoryWalk.h"
#include "core/FilePath.h"
#include "core/ProductIdentity.h"
#include "core/glib/GRef.h"

#include <gio/gio.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

namespace quorin::UpdateStaging {

namespace {

constexpr auto extractionBound = std::chrono::seconds(30);

Failure<UpdateFailure> invalidArchive()
{
    return fail(UpdateFailure(LauncherUpdateError::invalidArchive()));
}

// The structure is read from the mapped file, which is unmapped before extraction starts.
Status<UpdateFailure> validateStructure(const std::string& archive)
{
    auto mapped = TRY(MappedFile::open(archive));
    TRY(UpdateZIPDirectory::validate(mapped.bytes()));
    return Ok {};
}

// "unpacked" must hold the product's bundle and nothing else, hidden entries included.
Result<std::string, UpdateFailure> onlyBundleIn(const std::string& unpacked)
{
    std::error_code error;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator entry(unpacked, error), end; !error && entry != end; entry.increment(error))
        names.push_back(entry->path().filename().string());
    if (error)
        return fail(UpdateFailure(FileSystemError { unpacked, error }));
    auto bundleName = std::string(ProductIdentity::displayName) + ".app";
    if (names.size() != 1 || names.front() != bundleName)
        return invalidArchive();
    return filePath::joined(unpacked, bundleName);
}

Status<UpdateFailure> holdsNoLinks(const std::string& bundle)
{
    DirectoryWalk walk(bundle);
    while (true) {
        auto next = walk.next();
        if (next.isError() && next.error().errorCase == DirectoryWalkError::Case::UnreadableEntry)
            return fail(UpdateFailure(next.error().fileSystemError));
        if (next.isError() || (*next && (*next)->type == DirectoryEntry::Type::SymbolicLink))
            return invalidArchive();
        if (!*next)
            return Ok {};
    }
}

Result<std::string, UpdateFailure> stage(const std::string& archive, const UpdateRelease& release, const std::string& folder, const UpdateBundleVerifier& verifier)
{
    TRY(UpdateArchive::verifyDigest(archive, release));
    TRY(validateStructure(archive));
    auto unpacked = filePath::joined(folder, "unpacked");
    if (::mkdir(unpacked.c_str(), 0700) != 0)
        return fail(UpdateFailure(FileSystemError::fromErrno(unpacked, errno)));
    TRY(extractUpdateArchive(archive, unpacked, extractionBound));
    auto bundle = TRY(onlyBundleIn(unpacked));
    TRY(holdsNoLinks(bundle));
    TRY(verifier.verify(bundle, release.version));
    return bundle;
}

struct Job {
    std::string archive;
    UpdateRelease release;
    std::string folder;
    UpdateBundleVerifier verifier;
    std::function<void(Outcome)> completion;
    std::optional<Outcome> outcome {};
};

} // namespace

Outcome prepareNow(const std::string& archive, const UpdateRelease& release, const std::string& folder, const UpdateBundleVerifier& verifier)
{
    auto outcome = stage(archive, release, folder, verifier);
    if (outcome.isError()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    return outcome;
}

void prepare(std::string archive, UpdateRelease release, std::string folder, UpdateBundleVerifier verifier, std::function<void(Outcome)> completion)
{
    // The task calls back in the main loop's context, where it was made.
    auto task = glib::adoptGRef(g_task_new(nullptr, nullptr, +[](GObject*, GAsyncResult* result, gpointer) {
        auto& job = *static_cast<Job*>(g_task_get_task_data(G_TASK(result)));
        job.completion(std::move(*job.outcome));
    }, nullptr));
    g_task_set_task_data(task.get(), new Job { std::move(archive), std::move(release), std::move(folder), std::move(verifier), std::move(completion) },
        +[](gpointer job) { delete static_cast<Job*>(job); });
    g_task_run_in_thread(task.get(), +[](GTask* running, gpointer, gpointer data, GCancellable*) {
        auto& job = *static_cast<Job*>(data);
        job.outcome = prepareNow(job.archive, job.release, job.folder, job.verifier);
        g_task_return_boolean(running, TRUE);
    });
}

} // namespace quorin::UpdateStaging
