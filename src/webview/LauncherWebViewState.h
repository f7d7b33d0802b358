#pragma once

#include <optional>
#include <string>

namespace quorin {

// Why the page could not be shown; the code is what the window shows the user.
struct LauncherWebViewFailure {
    enum class Case {
        NavigationFailed,
        WebContentProcessTerminated,
    };
    Case errorCase;

    static LauncherWebViewFailure navigationFailed() { return { Case::NavigationFailed }; }
    static LauncherWebViewFailure webContentProcessTerminated() { return { Case::WebContentProcessTerminated }; }

    // "WEB_UI_NAVIGATION_FAILED" / "WEB_UI_PROCESS_TERMINATED".
    std::string code() const;

    bool operator==(const LauncherWebViewFailure&) const = default;
};

// What the window shows for the page: nothing yet, a load in progress, the page, or a failure.
class LauncherWebViewState {
public:
    enum class Case { Failed, Idle, Loading, Ready };

    static LauncherWebViewState idle() { return LauncherWebViewState(Case::Idle, std::nullopt); }
    static LauncherWebViewState loading() { return LauncherWebViewState(Case::Loading, std::nullopt); }
    static LauncherWebViewState ready() { return LauncherWebViewState(Case::Ready, std::nullopt); }
    static LauncherWebViewState failed(LauncherWebViewFailure failure) { return LauncherWebViewState(Case::Failed, failure); }

    Case stateCase() const { return m_case; }
    std::optional<LauncherWebViewFailure> failure() const { return m_failure; }

    bool operator==(const LauncherWebViewState&) const = default;

private:
    LauncherWebViewState(Case stateCase, std::optional<LauncherWebViewFailure> failure)
        : m_case(stateCase)
        , m_failure(failure)
    {
    }

    Case m_case;
    std::optional<LauncherWebViewFailure> m_failure;
};

} // namespace quorin
