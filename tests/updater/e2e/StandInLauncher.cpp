// The self-update test's launcher, the main executable of a real test bundle. With no arguments (the
// helper starts it so) it appends "<version> <pid>" to "launches" beside its bundle and stays up. With
// STORAGE CERTIFICATE FEED-URL STATES it checks, downloads and installs through the production updater,
// trusting only that certificate, appends each published status (and error) to STATES, and exits 0 once quit.

#include "core/ApplicationBundle.h"
#include "core/FilePath.h"
#include "core/glib/GError.h"
#include "updater/platform/UpdaterProduction.h"

#include <fstream>
#include <unistd.h>

namespace {

using namespace quorin;

int update(const ApplicationBundle& bundle, char** argv)
{
    glib::GErrorOut error;
    auto authorities = glib::GRef<GTlsDatabase>::adopt(g_tls_file_database_new(argv[2], error.out()));
    auto feedURL = Url::parse(argv[3]);
    if (!authorities || !feedURL)
        return 1;
    bool quit = false, finished = false;
    auto updater = makeProductionUpdater({ bundle.shortVersionString(), *feedURL, bundle.rootPath(), argv[1],
        [&] { quit = finished = true; }, UpdateBundleVerifier(UpdateTrustedKeys::production()), { authorities } });
    std::ofstream states(argv[4]);
    updater->setOnStateChanged([&](const NativeUpdateState& state) {
        states << NativeUpdateState::statusWord(state.status) << (state.error ? " " + *state.error : "") << std::endl;
    });
    updater->check([&] { updater->download([&] { updater->install([&] { finished = true; }); }); });
    while (!finished)
        g_main_context_iteration(nullptr, TRUE);
    return quit ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    auto bundle = ApplicationBundle::running();
    if (!bundle)
        return 1;
    if (argc == 1) {
        std::ofstream(filePath::joined(filePath::folder(bundle->rootPath()), "launches"), std::ios::app)
            << bundle->shortVersionString() << ' ' << ::getpid() << std::endl;
        while (true)
            ::pause();
    }
    return argc == 5 ? update(*bundle, argv) : 64;
}
