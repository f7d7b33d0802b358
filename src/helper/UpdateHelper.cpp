#include "UpdateHelper.h"

#include "ApplicationRelaunch.h"
#include "RunningApplication.h"

#include "core/AtomicFile.h"
#include "core/FilePath.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateInstallJob.h"
#include "updater/UpdateInstallTransaction.h"

#include <map>
#include <nlohmann/json.hpp>
#include <thread>

namespace quorin {

namespace {

using HelperResult = std::map<std::string, std::string>;

constexpr auto quitPollInterval = std::chrono::milliseconds(100);
constexpr mode_t resultFileMode = 0644;

Status<UpdateFailure> waitForQuit(pid_t launcher, std::chrono::milliseconds wait)
{
    auto deadline = std::chrono::steady_clock::now() + wait;
    while (RunningApplication::find(launcher)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return fail(UpdateFailure(LauncherUpdateError::timeout()));
        std::this_thread::sleep_for(quitPollInterval);
    }
    return Ok {};
}

Status<UpdateFailure> install(const std::string& jobPath, const UpdateHelperSettings& settings, HelperResult& result)
{
    auto job = TRY(UpdateInstallJob::read(jobPath));
    result["version"] = job.version;
    auto target = job.target.filePath();
    auto candidate = job.candidate.filePath();
    UpdateBundleVerifier verifier(settings.keys);
    TRY(verifier.verifyIdentityAndSignature(target, job.currentVersion));
    TRY(verifier.verify(candidate, job.version));
    if (auto launcher = RunningApplication::find(job.parentPID); launcher && launcher->bundlePath != filePath::standardized(target))
        return fail(UpdateFailure(LauncherUpdateError::install()));
    TRY(job.signalReady(jobPath));
    TRY(waitForQuit(job.parentPID, settings.quitWait));
    TRY(verifier.verifyIdentityAndSignature(target, job.currentVersion));
    UpdateInstallTransaction transaction([&](const std::string& bundle) { return verifier.verify(bundle, job.version); },
        [&](const std::string& bundle) { return relaunchApplication(bundle, settings.liveness); });
    return transaction.install(candidate, target);
}

std::string codeOf(const UpdateFailure& failure)
{
    auto* error = std::get_if<LauncherUpdateError>(&failure);
    return (error ? *error : LauncherUpdateError::install()).code();
}

// Only a job that still passes every rule gets a result: nothing is written into a folder
// that stopped being the launcher's private one.
void writeResult(const std::string& jobPath, const HelperResult& result)
{
    if (UpdateInstallJob::read(jobPath).isError())
        return;
    auto text = nlohmann::json(result).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    (void)replaceFileAtomically(filePath::joined(filePath::folder(jobPath), "result.json"), text, resultFileMode);
}

} // namespace

std::optional<std::string> updateHelperJobPath(std::span<const std::string_view> arguments)
{
    if (arguments.size() != 2 || arguments[0] != "--job" || !arguments[1].starts_with('/'))
        return std::nullopt;
    return std::string(arguments[1]);
}

int runUpdateHelper(const std::string& jobPath, const UpdateHelperSettings& settings)
{
    HelperResult result { { "status", "failed" } };
    auto outcome = install(jobPath, settings, result);
    if (outcome.hasValue())
        result["status"] = "installed-and-launched";
    else
        result["error"] = codeOf(outcome.error());
    writeResult(jobPath, result);
    return outcome.hasValue() ? 0 : 1;
}

} // namespace quorin
