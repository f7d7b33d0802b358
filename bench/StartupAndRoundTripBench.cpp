// Cold start and bridge round trip of one web view, in one fresh process:
//   quorin_bench_webview launcher|bare [--calls N] [--warm-up N] [--settle-ms N]
// Prints one line of key=value figures; run-webview-bench.sh runs both modes in turn and
// tabulates them. Start-up times are taken from the kernel's start time of this process
// and, more finely but later, from the first line of main(). Round trips: the page times
// each awaited call with performance.now(), whose step in WebKitGTK is a whole millisecond,
// so the UI process also stamps every request as it arrives; the gap between two arrivals
// is one round trip on a nanosecond clock.

#include "BareBenchSubject.h"
#include "BenchClock.h"
#include "LauncherBenchSubject.h"
#include "support/PageScriptRunner.h"

#include "core/Url.h"
#include "core/glib/GRef.h"

#include <gtk/gtk.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorin::bench {
namespace {

using namespace std::chrono_literals;

constexpr auto loadTimeout = 60s;
constexpr auto callTimeout = 120s;

enum class Mode { Launcher, Bare };

struct Options {
    Mode mode { Mode::Launcher };
    int calls { 1000 };
    int warmUpCalls { 50 };
    // Idle time between the first answer and the warm-up, so the page's own start-up work
    // (its first bridge calls, layout, painting) is not counted as bridge latency.
    int settleMs { 500 };
};

std::optional<int> parseCount(const char* text)
{
    int value = 0;
    auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
    if (error != std::errc() || *end != '\0' || value < 0)
        return std::nullopt;
    return value;
}

std::optional<Options> parseOptions(int argc, char** argv)
{
    // The mode, then flag and value pairs.
    if (argc < 2 || argc % 2 != 0)
        return std::nullopt;
    Options options;
    if (std::strcmp(argv[1], "launcher") == 0)
        options.mode = Mode::Launcher;
    else if (std::strcmp(argv[1], "bare") == 0)
        options.mode = Mode::Bare;
    else
        return std::nullopt;
    for (int index = 2; index < argc; index += 2) {
        auto value = parseCount(argv[index + 1]);
        if (!value)
            return std::nullopt;
        if (std::strcmp(argv[index], "--calls") == 0 && *value > 0)
            options.calls = *value;
        else if (std::strcmp(argv[index], "--warm-up") == 0)
            options.warmUpCalls = *value;
        else if (std::strcmp(argv[index], "--settle-ms") == 0)
            options.settleMs = *value;
        else
            return std::nullopt;
    }
    return options;
}

Result<std::unique_ptr<BenchSubject>, std::string> makeSubject(Mode mode)
{
    const std::string bundle = QUORIN_BENCH_BUNDLE_DIR;
    if (mode == Mode::Bare)
        return std::unique_ptr<BenchSubject>(new BareBenchSubject(Url::fileURL(bundle + "/Contents/Resources/WebUI/renderer/index.html").string()));
    auto launcher = LauncherBenchSubject::create(bundle, QUORIN_WEB_EXTENSION_DIR);
    if (launcher.isError())
        return fail(launcher.error());
    return std::unique_ptr<BenchSubject>(launcher.releaseValue());
}

// The toplevel that shows the view; destroyed with this object. It exists before the view
// is built, as in the launcher, whose window-close observation needs the window class.
class BenchWindow {
public:
    BenchWindow()
        : m_window(glib::retainGRef(GTK_WINDOW(gtk_window_new())))
    {
        gtk_window_set_default_size(m_window.get(), 1100, 720);
    }
    ~BenchWindow() { gtk_window_destroy(m_window.get()); }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    void show(WebKitWebView* webView)
    {
        gtk_window_set_child(m_window.get(), GTK_WIDGET(webView));
        gtk_window_present(m_window.get());
    }

private:
    glib::GRef<GtkWindow> m_window;
};

// The page awaits each call before the next and times it with performance.now(). One more
// call at the end closes the host's last arrival gap.
std::string roundTripScript(std::string_view bridgeCall, const Options& options)
{
    return "const call = () => " + std::string(bridgeCall) + ";\n"
        "for (let i = 0; i < " + std::to_string(options.warmUpCalls) + "; i += 1) { await call(); }\n"
        "const samples = [];\n"
        "const begun = performance.now();\n"
        "for (let i = 0; i < " + std::to_string(options.calls) + "; i += 1) {\n"
        "  const started = performance.now();\n"
        "  await call();\n"
        "  samples.push(performance.now() - started);\n"
        "}\n"
        "const totalMs = performance.now() - begun;\n"
        "await call();\n"
        "return { samples, totalMs };\n";
}

// Nearest-rank percentile of sorted samples.
double percentile(const std::vector<double>& sorted, double fraction)
{
    auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

struct PageTimings {
    std::vector<double> samplesMs;
    double totalMs { 0 };
};

Result<PageTimings, std::string> pageTimingsFrom(const std::string& json, std::size_t expectedCount)
{
    auto parsed = nlohmann::json::parse(json, nullptr, false);
    if (!parsed.is_object() || !parsed["samples"].is_array() || parsed["samples"].size() != expectedCount || !parsed["totalMs"].is_number())
        return fail("the page returned no timings: " + json.substr(0, 200));
    PageTimings timings { {}, parsed["totalMs"].get<double>() };
    for (const auto& sample : parsed["samples"]) {
        if (!sample.is_number())
            return fail(std::string("the page returned a sample that is not a number"));
        timings.samplesMs.push_back(sample.get<double>());
    }
    return timings;
}

struct Figures {
    double processStartMs { 0 };
    double mainEntryMs { 0 };
    double readyMs { 0 };
    double answerMs { 0 };
    // Round trips between consecutive request arrivals in the UI process.
    std::vector<double> hostRoundTripsMs;
    PageTimings page;
};

Result<Figures, std::string> measure(const Options& options, Figures figures)
{
    BenchWindow window;
    auto subject = TRY(makeSubject(options.mode));
    window.show(subject->webView());
    PageScriptRunner page(subject->webView());

    subject->load();
    if (!PageScriptRunner::runUntil([&] { return subject->isReady() || subject->hasFailed(); }, loadTimeout) || subject->hasFailed())
        return fail(std::string("the page did not load"));
    figures.readyMs = BenchClock::nowMs();

    auto answer = TRY(page.callAsync("return await " + std::string(subject->bridgeCall()) + ";", callTimeout));
    figures.answerMs = BenchClock::nowMs();
    if (!nlohmann::json::parse(answer, nullptr, false).is_object())
        return fail("the bridge answered " + answer + " instead of an object");

    PageScriptRunner::runFor(std::chrono::milliseconds(options.settleMs));
    subject->arrivals().clear();
    auto timings = TRY(page.callAsync(roundTripScript(subject->bridgeCall(), options), callTimeout));
    figures.page = TRY(pageTimingsFrom(timings, static_cast<std::size_t>(options.calls)));

    // Any other request in between would break the pairing of arrivals and calls.
    auto calls = static_cast<std::size_t>(options.calls);
    auto warmUp = static_cast<std::size_t>(options.warmUpCalls);
    std::size_t arrived = subject->arrivals().timesMs().size();
    if (arrived != warmUp + calls + 1)
        return fail("expected " + std::to_string(warmUp + calls + 1) + " bridge requests, the host saw " + std::to_string(arrived));
    figures.hostRoundTripsMs = subject->arrivals().gapsMs(warmUp, calls);
    return figures;
}

double mean(const std::vector<double>& values)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

// The page clock's step: the smallest non-zero difference it reported.
double smallestStep(const std::vector<double>& samples)
{
    double step = 0;
    for (double sample : samples) {
        if (sample > 0 && (step == 0 || sample < step))
            step = sample;
    }
    return step;
}

void print(const Options& options, Figures figures)
{
    auto& host = figures.hostRoundTripsMs;
    auto& page = figures.page.samplesMs;
    std::sort(host.begin(), host.end());
    std::sort(page.begin(), page.end());
    std::printf("mode=%s ready_ms=%.1f answer_ms=%.1f ready_from_main_ms=%.1f answer_from_main_ms=%.1f "
                "rt_p50_us=%.1f rt_p99_us=%.1f rt_mean_us=%.1f "
                "page_p50_us=%.0f page_p99_us=%.0f page_mean_us=%.1f page_step_us=%.0f calls=%zu\n",
        options.mode == Mode::Launcher ? "launcher" : "bare",
        figures.readyMs - figures.processStartMs, figures.answerMs - figures.processStartMs,
        figures.readyMs - figures.mainEntryMs, figures.answerMs - figures.mainEntryMs,
        percentile(host, 0.50) * 1e3, percentile(host, 0.99) * 1e3, mean(host) * 1e3,
        percentile(page, 0.50) * 1e3, percentile(page, 0.99) * 1e3,
        figures.page.totalMs * 1e3 / static_cast<double>(page.size()), smallestStep(page) * 1e3, page.size());
    std::fflush(stdout);
}

} // namespace
} // namespace quorin::bench

int main(int argc, char** argv)
{
    using namespace quorin::bench;
    Figures figures;
    figures.mainEntryMs = BenchClock::nowMs();

    auto options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: %s launcher|bare [--calls N] [--warm-up N] [--settle-ms N]\n", argv[0]);
        return 2;
    }
    auto processStart = BenchClock::processStartMs();
    if (!processStart) {
        std::fprintf(stderr, "cannot read this process's start time from /proc/self/stat\n");
        return 1;
    }
    figures.processStartMs = *processStart;

    gtk_init();
    auto measured = measure(*options, figures);
    if (measured.isError()) {
        std::fprintf(stderr, "%s\n", measured.error().c_str());
        return 1;
    }
    print(*options, measured.releaseValue());
    return 0;
}
