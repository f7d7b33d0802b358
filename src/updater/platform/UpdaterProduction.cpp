#include "UpdaterProduction.h"

#include "UpdateFeedFetch.h"
#include "UpdateHandoff.h"
#include "UpdateReleaseStage.h"
#include "UpdateWorkFolder.h"

namespace quorin {

std::shared_ptr<NativeLauncherUpdater> makeProductionUpdater(UpdaterProductionSettings settings)
{
    auto updates = updatesDirectory(settings.storageRoot);
    UpdateStageContext stageContext { updates, settings.verifier, settings.http };
    UpdateHandoffContext handoffContext { settings.currentApp, settings.currentVersion, settings.verifier, settings.quit, settings.readyWait };
    NativeLauncherUpdater::Steps steps {
        .fetchFeed = [updates, http = settings.http](const Url& feedURL, auto completion) {
            fetchUpdateFeed(updates, feedURL, http, std::move(completion));
        },
        .stage = [stageContext](const UpdateRelease& release, auto progress, auto completion) {
            stageUpdateRelease(stageContext, release, std::move(progress), std::move(completion));
        },
        .handoff = [handoffContext](const std::string& candidate, const UpdateRelease& release, auto completion) {
            handOffUpdate(handoffContext, candidate, release, std::move(completion));
        },
    };
    return NativeLauncherUpdater::create(std::move(settings.currentVersion), std::move(settings.feedURL), std::move(steps));
}

} // namespace quorin
