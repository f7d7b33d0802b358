#pragma once

// The one object through which the launcher checks for, downloads and installs a newer
// version of itself. It holds the state the page shows, refuses every action the state does
// not allow, and tells its single observer about each change. The network, file and process
// work is done by three injected steps. Main thread only: each step completes there.

#include "LauncherUpdateError.h"
#include "NativeUpdateState.h"
#include "UpdateRelease.h"

#include "core/Result.h"
#include "core/Url.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorin {

// A step's failure: an error of the update path keeps its code; a foreign one (file system,
// process, cancellation) carries none and is reported as the network code.
struct UpdateStepFailure {
    std::optional<LauncherUpdateError> updateError;

    UpdateStepFailure(LauncherUpdateError error)
        : updateError(error)
    {
    }
    UpdateStepFailure(const UpdateFailure& failure);
    static UpdateStepFailure foreign() { return UpdateStepFailure(); }

    std::string code() const;

private:
    UpdateStepFailure() = default;
};

template<typename T>
using UpdateStepResult = Result<T, UpdateStepFailure>;

class NativeLauncherUpdater : public std::enable_shared_from_this<NativeLauncherUpdater> {
public:
    // Each step calls its completion exactly once, on the main thread.
    struct Steps {
        // Downloads the feed at the URL: its bytes.
        std::function<void(const Url& feedURL, std::function<void(UpdateStepResult<std::string>)>)> fetchFeed;
        // Downloads, checks and unpacks the release, reporting progress in percent: the
        // candidate bundle's path.
        std::function<void(const UpdateRelease&, std::function<void(double percent)>, std::function<void(UpdateStepResult<std::string>)>)> stage;
        // Hands the candidate to the update helper; on success the launcher is quitting.
        std::function<void(const std::string& candidate, const UpdateRelease&, std::function<void(UpdateStepResult<Ok>)>)> handoff;
    };

    static std::shared_ptr<NativeLauncherUpdater> create(std::string currentVersion, Url feedURL, Steps steps);

    const NativeUpdateState& state() const { return m_state; }
    // The single observer, replacing any earlier one; called with every published state.
    void setOnStateChanged(std::function<void(const NativeUpdateState&)> observer) { m_onStateChanged = std::move(observer); }

    // Each runs to a published outcome and then calls `done`, or calls `done` at once when
    // the state does not allow it.
    void check(std::function<void()> done);
    void download(std::function<void()> done);
    void install(std::function<void()> done);

private:
    NativeLauncherUpdater(std::string currentVersion, Url feedURL, Steps steps);

    void finishCheck(UpdateStepResult<std::string> feed);
    void finishDownload(UpdateStepResult<std::string> candidate);
    void reportProgress(double percent);
    void publish(NativeUpdateState::Status status);
    void failWith(const UpdateStepFailure& failure);

    NativeUpdateState m_state;
    Url m_feedURL;
    Steps m_steps;
    std::function<void(const NativeUpdateState&)> m_onStateChanged;
    std::optional<UpdateRelease> m_release;
    std::optional<std::string> m_candidate;
};

} // namespace quorin
