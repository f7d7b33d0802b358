#include "LauncherBenchSubject.h"

#include "core/ApplicationBundle.h"
#include "core/LauncherConfiguration.h"
#include "shell/ServiceAssembly.h"
#include "webview/LauncherWebViewController.h"
#include "webui/WebUIBundleLocator.h"

#include <webkit/webkit.h>

namespace quorin::bench {

static std::string describe(const WebUIBundleLoadError& error)
{
    if (auto* refusal = std::get_if<WebUIBundleValidationError>(&error))
        return refusal->description();
    return std::get<FileSystemError>(error).message();
}

static std::string describe(const LauncherConfigurationLoadError& error)
{
    if (auto* refusal = std::get_if<LauncherConfigurationError>(&error))
        return refusal->description();
    return std::get<FileSystemError>(error).message();
}

Result<std::unique_ptr<LauncherBenchSubject>, std::string> LauncherBenchSubject::create(const std::string& bundleDirectory,
    const std::string& webExtensionDirectory)
{
    ApplicationBundle application(bundleDirectory);
    auto configuration = LauncherConfiguration::bundled(application);
    if (configuration.isError())
        return fail("launcher configuration refused: " + describe(configuration.error()));
    auto webUI = WebUIBundleLocator::packaged(application);
    if (webUI.isError())
        return fail("web UI refused: " + describe(webUI.error()));

    ServiceAssemblyEnvironment environment;
    environment.applicationVersion = application.shortVersionString();
    environment.webProcessExtensionsDirectory = webExtensionDirectory;
    environment.websiteDataStore = WebsiteDataStore::ephemeral();
    auto assembly = assembleServices(configuration.value(), webUI.value(), [](const Url&) { }, environment);
    if (assembly.isError())
        return fail(std::string("service assembly failed"));
    return std::unique_ptr<LauncherBenchSubject>(new LauncherBenchSubject(assembly.releaseValue()));
}

LauncherBenchSubject::LauncherBenchSubject(LauncherAssembly assembly)
    : m_assembly(std::move(assembly))
{
    // The page's requests arrive as user messages; an emission hook runs before any handler.
    m_requestSignal = g_signal_lookup("user-message-received", WEBKIT_TYPE_WEB_VIEW);
    m_requestHook = g_signal_add_emission_hook(m_requestSignal, 0,
        +[](GSignalInvocationHint*, guint, const GValue* parameters, gpointer data) -> gboolean {
            auto* self = static_cast<LauncherBenchSubject*>(data);
            if (g_value_get_object(&parameters[0]) == self->webView())
                self->m_arrivals.record();
            return TRUE; // stay installed
        },
        this, nullptr);
}

LauncherBenchSubject::~LauncherBenchSubject()
{
    g_signal_remove_emission_hook(m_requestSignal, m_requestHook);
}

WebKitWebView* LauncherBenchSubject::webView() const
{
    return m_assembly.controller->webView();
}

void LauncherBenchSubject::load()
{
    m_assembly.controller->load();
}

bool LauncherBenchSubject::isReady() const
{
    return m_assembly.controller->state() == LauncherWebViewState::ready();
}

bool LauncherBenchSubject::hasFailed() const
{
    return m_assembly.controller->state().stateCase() == LauncherWebViewState::Case::Failed;
}

} // namespace quorin::bench
