#pragma once

// The launcher's own web view, built the way a start of the launcher builds it: the bundled
// configuration, the validated web UI and the full service assembly, with an ephemeral
// website data store. Main thread only.

#include "BenchSubject.h"

#include "core/Result.h"
#include "shell/LauncherAssembly.h"

#include <memory>
#include <string>

namespace quorin::bench {

class LauncherBenchSubject final : public BenchSubject {
public:
    // `bundleDirectory` is a laid-out "Quorin 4.2.app"; the error text says which step refused.
    static Result<std::unique_ptr<LauncherBenchSubject>, std::string> create(const std::string& bundleDirectory,
        const std::string& webExtensionDirectory);
    ~LauncherBenchSubject() override;

    LauncherBenchSubject(const LauncherBenchSubject&) = delete;
    LauncherBenchSubject& operator=(const LauncherBenchSubject&) = delete;

    WebKitWebView* webView() const override;
    void load() override;
    bool isReady() const override;
    bool hasFailed() const override;
    std::string_view bridgeCall() const override { return "window.electronAPI.getAppInfo()"; }

private:
    explicit LauncherBenchSubject(LauncherAssembly assembly);

    // Keeps the bridge service and everything it owns alive with the controller.
    LauncherAssembly m_assembly;
    // Stamps each request before the launcher's own handler sees it, without touching it.
    unsigned m_requestSignal { 0 };
    unsigned long m_requestHook { 0 };
};

} // namespace quorin::bench
