#include "UpdateHandoff.h"

#include "updater/UpdateInstallJob.h"

#include "core/FilePath.h"
#include "core/glib/GError.h"
#include "core/glib/GRef.h"

#include <gio/gio.h>

#include <memory>
#include <optional>

namespace quorin {

namespace {

using Completion = std::function<void(UpdateStepResult<Ok>)>;

constexpr auto pollInterval = std::chrono::milliseconds(50);

// One started helper, until it signals ready, exits or runs out of time.
struct HelperWait {
    glib::GRef<GSubprocess> helper;
    UpdateInstallJob job;
    std::string jobPath;
    std::chrono::steady_clock::time_point deadline;
    std::function<void()> quit;
    Completion completion;
    bool helperExited { false };

    // Whether the wait is over.
    bool poll()
    {
        if (job.isReady(jobPath)) {
            if (quit)
                quit();
            completion(Ok {});
            return true;
        }
        if (helperExited || std::chrono::steady_clock::now() >= deadline) {
            completion(fail(LauncherUpdateError::install()));
            return true;
        }
        return false;
    }
};

void waitForReady(std::shared_ptr<HelperWait> wait)
{
    g_subprocess_wait_async(wait->helper.get(), nullptr, +[](GObject*, GAsyncResult*, gpointer data) {
        std::unique_ptr<std::shared_ptr<HelperWait>> owned(static_cast<std::shared_ptr<HelperWait>*>(data));
        (*owned)->helperExited = true;
    }, new std::shared_ptr<HelperWait>(wait));
    g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(pollInterval.count()), +[](gpointer data) -> gboolean {
        return (*static_cast<std::shared_ptr<HelperWait>*>(data))->poll() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
    }, new std::shared_ptr<HelperWait>(std::move(wait)), +[](gpointer data) { delete static_cast<std::shared_ptr<HelperWait>*>(data); });
}

void startHelper(const UpdateHandoffContext& context, const std::string& jobPath, Completion completion)
{
    auto helperPath = filePath::joined(filePath::folder(jobPath), updateHelperName);
    const gchar* arguments[] = { helperPath.c_str(), "--job", jobPath.c_str(), nullptr };
    // Standard input is /dev/null unless asked otherwise; output and errors are silenced.
    glib::GErrorOut error;
    auto helper = glib::adoptGRef(g_subprocess_newv(arguments, GSubprocessFlags(G_SUBPROCESS_FLAGS_STDOUT_SILENCE | G_SUBPROCESS_FLAGS_STDERR_SILENCE), error.out()));
    if (!helper)
        return completion(fail(UpdateStepFailure::foreign()));
    // The nonce the ready signal must carry is the one on disk.
    auto job = UpdateInstallJob::read(jobPath);
    if (job.isError())
        return completion(fail(UpdateStepFailure(job.error())));
    waitForReady(std::make_shared<HelperWait>(HelperWait { std::move(helper), job.releaseValue(), jobPath,
        std::chrono::steady_clock::now() + context.readyWait, context.quit, std::move(completion) }));
}

struct Preparation {
    UpdateHandoffRequest request;
    UpdateHandoffContext context;
    Completion completion;
    std::optional<Result<std::string, UpdateFailure>> jobPath {};
};

} // namespace

void handOffUpdate(const UpdateHandoffContext& context, const std::string& candidate, const UpdateRelease& release, Completion completion)
{
    // The task calls back in the main loop's context, where it was made.
    auto task = glib::adoptGRef(g_task_new(nullptr, nullptr, +[](GObject*, GAsyncResult* result, gpointer) {
        auto& preparation = *static_cast<Preparation*>(g_task_get_task_data(G_TASK(result)));
        auto& jobPath = *preparation.jobPath;
        if (jobPath.isError())
            return preparation.completion(fail(UpdateStepFailure(jobPath.error())));
        startHelper(preparation.context, jobPath.value(), std::move(preparation.completion));
    }, nullptr));
    UpdateHandoffRequest request { candidate, context.currentApp, context.currentVersion, release.version };
    g_task_set_task_data(task.get(), new Preparation { std::move(request), context, std::move(completion) },
        +[](gpointer preparation) { delete static_cast<Preparation*>(preparation); });
    g_task_run_in_thread(task.get(), +[](GTask* running, gpointer, gpointer data, GCancellable*) {
        auto& preparation = *static_cast<Preparation*>(data);
        preparation.jobPath = prepareHandoff(preparation.request, preparation.context.verifier);
        g_task_return_boolean(running, TRUE);
    });
}

} // namespace quorin
