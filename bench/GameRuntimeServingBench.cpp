// Serving the shipped emulator's WebAssembly files the way the game scheme handler does (the
// request's checks against the active session, the runtime manifest's read with its SHA-256
// re-hash of the mapped file, then the body read through the stream the engine is handed)
// against `sha256sum` of the same file, in the same run, alternating which goes first, on a
// warm page cache. Prints each file's median wall-clock and processor times (the floor's are
// those of its shell and sha256sum), their ratios and the load average: on a busy machine the
// wall-clock times mostly measure waiting for a processor.
// Usage: quorin_bench_game_runtime [ROUNDS]   (default 9; the bundle's GameRuntime/)

#include "game/GameResourceResolver.h"

#include "core/glib/GRef.h"

#include <gio/gio.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace quorin;

struct BytesUnref {
    void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};

struct Times {
    std::vector<double> wall, processor;
};

// User and system time of this process, or of its waited-for children.
double processorMilliseconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

template<typename Work>
void measure(Times& times, int who, Work work)
{
    auto start = std::chrono::steady_clock::now();
    double processorStart = processorMilliseconds(who);
    work();
    times.processor.push_back(processorMilliseconds(who) - processorStart);
    times.wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

std::string loadAverage()
{
    std::string one, five, fifteen;
    std::ifstream("/proc/loadavg") >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// One request as the engine makes it, and the whole body read as the engine reads it.
void serve(const GameResourceResolver& resolver, const std::string& url)
{
    auto response = MUST(resolver.resolve({ url, "GET", false }));
    auto body = response.bytes();
    std::unique_ptr<GBytes, BytesUnref> bytes(g_bytes_new_static(body.data(), body.size()));
    auto stream = glib::adoptGRef(g_memory_input_stream_new_from_bytes(bytes.get()));
    static char chunk[65536];
    gsize total = 0;
    for (gssize count; (count = g_input_stream_read(stream.get(), chunk, sizeof chunk, nullptr, nullptr)) > 0;)
        total += static_cast<gsize>(count);
    MUST(total == body.size());
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    auto runtime = std::make_shared<RuffleRuntimeManifest>(MUST(RuffleRuntimeManifest::packaged(QUORIN_BENCH_BUNDLE_DIR "/Contents/Resources")));
    auto now = std::chrono::system_clock::now();
    auto sessions = std::make_shared<GameSessionStore>();
    auto ticket = MUST(sessions->open({ "bench", *Url::parse("https://play.quorin42.net/flash/Loading.swf"), *Url::parse("https://play.quorin42.net/flash/"),
                                          {}, now + PlaySession::lifetime },
        now));
    GameResourceResolver resolver(sessions, runtime, {}, [now] { return now; });
    auto sessionPrefix = "quorin-game://app/" + ticket.id.lowerString() + "/";

    std::printf("%d rounds; load average before: %s\n", rounds, loadAverage().c_str());
    for (const auto& path : runtime->paths()) {
        if (!path.ends_with(".wasm"))
            continue;
        auto command = "sha256sum '" + runtime->root() + "/" + path + "' > /dev/null";
        auto handler = [&] { serve(resolver, sessionPrefix + path); };
        auto floor = [&] { MUST(std::system(command.c_str()) == 0); };
        handler(), floor(); // the page cache and the first mapping
        Times served, hashed;
        for (int round = 0; round < rounds; ++round) {
            if (round % 2 == 0)
                measure(hashed, RUSAGE_CHILDREN, floor);
            measure(served, RUSAGE_SELF, handler);
            if (round % 2)
                measure(hashed, RUSAGE_CHILDREN, floor);
        }
        std::printf("%s (%zu bytes)\n                                    wall ms  processor ms\n", path.c_str(),
            static_cast<std::size_t>(std::filesystem::file_size(runtime->root() + "/" + path)));
        std::printf("  scheme handler (re-hash + body)  %8.1f  %12.1f\n", median(served.wall), median(served.processor));
        std::printf("  sha256sum                        %8.1f  %12.1f\n", median(hashed.wall), median(hashed.processor));
        std::printf("  ratio                            %8.2f  %12.2f\n", median(served.wall) / median(hashed.wall),
            median(served.processor) / median(hashed.processor));
    }
    std::printf("load average after: %s\n", loadAverage().c_str());
    return 0;
}
