#include "UpdateFeedFetch.h"

#include "UpdateWorkFolder.h"

#include "core/FilePath.h"
#include "core/ReadableFile.h"
#include "core/glib/MainLoop.h"
#include "updater/LegacyUpdateFeed.h"

namespace quorin {

void fetchUpdateFeed(const std::string& updatesDirectory, const Url& feedURL, const UpdateHTTPSettings& http,
    std::function<void(UpdateStepResult<std::string>)> completion)
{
    auto folder = makeUpdateWorkFolder(updatesDirectory);
    if (folder.isError())
        return glib::runOnMainLoop([completion = std::move(completion)] { completion(fail(UpdateStepFailure::foreign())); });
    // The client refuses a URL that is not https, has no host or carries a user or password
    // (network) before it sends anything.
    auto feedPath = filePath::joined(folder.value(), "feed.yml");
    auto finished = [folder = folder.value(), completion = std::move(completion)](Result<std::string, UpdateFailure> downloaded) {
        UpdateStepResult<std::string> outcome = fail(UpdateStepFailure::foreign());
        if (downloaded.isError())
            outcome = fail(UpdateStepFailure(downloaded.error()));
        else if (auto bytes = ReadableFile::readContents(downloaded.value(), LegacyUpdateFeed::maximumSize); bytes.hasValue())
            outcome = bytes.releaseValue();
        removeUpdateWorkFolder(folder);
        completion(std::move(outcome));
    };
    UpdateHTTPClient::fetch(feedURL, feedPath, std::nullopt, LegacyUpdateFeed::maximumSize, {}, nullptr, std::move(finished), http);
}

} // namespace quorin
