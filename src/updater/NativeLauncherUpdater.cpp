#include "NativeLauncherUpdater.h"

#include "LegacyUpdateFeed.h"

#include <algorithm>

namespace quorin {

using UpdateStatus = NativeUpdateState::Status;

UpdateStepFailure::UpdateStepFailure(const UpdateFailure& failure)
{
    if (const auto* error = std::get_if<LauncherUpdateError>(&failure))
        updateError = *error;
}

std::string UpdateStepFailure::code() const
{
    return updateError.value_or(LauncherUpdateError::network()).code();
}

std::shared_ptr<NativeLauncherUpdater> NativeLauncherUpdater::create(std::string currentVersion, Url feedURL, Steps steps)
{
    return std::shared_ptr<NativeLauncherUpdater>(new NativeLauncherUpdater(std::move(currentVersion), std::move(feedURL), std::move(steps)));
}

NativeLauncherUpdater::NativeLauncherUpdater(std::string currentVersion, Url feedURL, Steps steps)
    : m_feedURL(std::move(feedURL))
    , m_steps(std::move(steps))
{
    m_state.currentVersion = std::move(currentVersion);
}

void NativeLauncherUpdater::check(std::function<void()> done)
{
    // "downloaded" allows a check on the page, but a staged candidate is not thrown away.
    if (!m_state.canCheck() || m_state.status == UpdateStatus::Downloaded)
        return done();
    m_candidate.reset();
    m_release.reset();
    m_state.version.reset();
    m_state.percent.reset();
    m_state.error.reset();
    publish(UpdateStatus::Checking);
    std::weak_ptr<NativeLauncherUpdater> weakSelf = weak_from_this();
    m_steps.fetchFeed(m_feedURL, [weakSelf, done = std::move(done)](UpdateStepResult<std::string> feed) {
        if (auto self = weakSelf.lock())
            self->finishCheck(std::move(feed));
        done();
    });
}

void NativeLauncherUpdater::finishCheck(UpdateStepResult<std::string> feed)
{
    if (feed.isError())
        return failWith(feed.error());
    auto release = LegacyUpdateFeed::parse(feed.value(), m_feedURL);
    if (release.isError())
        return failWith(release.error());
    auto newer = release->isNewer(m_state.currentVersion);
    if (newer.isError())
        return failWith(newer.error());
    if (!newer.value())
        return publish(UpdateStatus::NotAvailable);
    m_state.version = release->version;
    m_release = release.releaseValue();
    publish(UpdateStatus::Available);
}

void NativeLauncherUpdater::download(std::function<void()> done)
{
    if (m_state.status != UpdateStatus::Available || !m_release)
        return done();
    m_state.percent = 0;
    publish(UpdateStatus::Downloading);
    std::weak_ptr<NativeLauncherUpdater> weakSelf = weak_from_this();
    auto progress = [weakSelf](double percent) {
        if (auto self = weakSelf.lock())
            self->reportProgress(percent);
    };
    m_steps.stage(*m_release, std::move(progress), [weakSelf, done = std::move(done)](UpdateStepResult<std::string> candidate) {
        if (auto self = weakSelf.lock())
            self->finishDownload(std::move(candidate));
        done();
    });
}

void NativeLauncherUpdater::reportProgress(double percent)
{
    // Progress that arrives after the download ended (or failed) changes nothing.
    if (m_state.status != UpdateStatus::Downloading)
        return;
    m_state.percent = std::clamp(percent, 0.0, 100.0);
    publish(UpdateStatus::Downloading);
}

void NativeLauncherUpdater::finishDownload(UpdateStepResult<std::string> candidate)
{
    if (candidate.isError()) {
        m_candidate.reset();
        return failWith(candidate.error());
    }
    m_candidate = candidate.releaseValue();
    m_state.percent = 100;
    publish(UpdateStatus::Downloaded);
}

void NativeLauncherUpdater::install(std::function<void()> done)
{
    if (m_state.status != UpdateStatus::Downloaded || !m_candidate || !m_release)
        return done();
    publish(UpdateStatus::Installing);
    std::weak_ptr<NativeLauncherUpdater> weakSelf = weak_from_this();
    m_steps.handoff(*m_candidate, *m_release, [weakSelf, done = std::move(done)](UpdateStepResult<Ok> handedOff) {
        // On success the launcher is quitting: the state stays "installing".
        if (auto self = weakSelf.lock(); self && handedOff.isError())
            self->failWith(handedOff.error());
        done();
    });
}

void NativeLauncherUpdater::publish(UpdateStatus status)
{
    m_state.status = status;
    if (m_onStateChanged)
        m_onStateChanged(NativeUpdateState(m_state));
}

void NativeLauncherUpdater::failWith(const UpdateStepFailure& failure)
{
    m_state.error = failure.code();
    publish(UpdateStatus::Error);
}

} // namespace quorin
