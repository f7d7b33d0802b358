#include "UpdateReleaseStage.h"

#include "UpdateStaging.h"
#include "UpdateWorkFolder.h"

#include "core/FilePath.h"
#include "core/glib/MainLoop.h"

namespace quorin {

void stageUpdateRelease(const UpdateStageContext& context, const UpdateRelease& release, std::function<void(double)> progress,
    std::function<void(UpdateStepResult<std::string>)> completion)
{
    auto folder = makeUpdateWorkFolder(context.updatesDirectory);
    if (folder.isError())
        return glib::runOnMainLoop([completion = std::move(completion)] { completion(fail(UpdateStepFailure::foreign())); });
    // The client applies the feed's URL rule to the archive's URL too.
    auto archive = filePath::joined(folder.value(), "archive.zip");
    auto downloaded = [release, folder = folder.value(), verifier = context.verifier, completion = std::move(completion)](Result<std::string, UpdateFailure> result) {
        if (result.isError()) {
            removeUpdateWorkFolder(folder);
            return completion(fail(UpdateStepFailure(result.error())));
        }
        // Staging removes the folder itself on every failure.
        UpdateStaging::prepare(result.releaseValue(), release, folder, verifier, [completion](UpdateStaging::Outcome staged) {
            if (staged.isError())
                return completion(fail(UpdateStepFailure(staged.error())));
            completion(staged.releaseValue());
        });
    };
    UpdateHTTPClient::fetch(release.url, archive, release.size, release.size, std::move(progress), nullptr, std::move(downloaded), context.http);
}

} // namespace quorin
