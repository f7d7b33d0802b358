// Small GETs through the API transport against curl, side by side in one run, all against the
// same local libsoup HTTPS server on a thread of its own: curl fetching every URL in one
// invocation over one kept-alive connection, and with "Connection: close" over a new
// connection each. Requests are sequential. Prints one table of requests per second and
// p50/p99 latency (medians over the rounds, which alternate the order of the three).
// Usage: quorin_bench_api [--requests N] [--rounds R]   (defaults: 2000, 3)

#include "LocalHTTPSServer.h"
#include "services/api/APITransport.h"
#include "services/api/RestrictedURLSessionLoader.h"

#include <glib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quorin;
using Clock = std::chrono::steady_clock;

struct Figures {
    double requestsPerSecond;
    double p50Ms;
    double p99Ms;
};

Figures figures(std::vector<double> latenciesMs, double wallSeconds)
{
    std::sort(latenciesMs.begin(), latenciesMs.end());
    auto at = [&](double quantile) { return latenciesMs[std::size_t(quantile * double(latenciesMs.size() - 1))]; };
    return { double(latenciesMs.size()) / wallSeconds, at(0.5), at(0.99) };
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The server runs its own main context on its own thread, so that it serves curl while the
// main thread waits for it, and never takes turns with the transport's main loop.
class ServerThread {
public:
    ServerThread()
        : m_thread([this] { run(); })
    {
        m_ready.get_future().wait();
    }
    ~ServerThread()
    {
        g_main_context_invoke(m_context, [](gpointer loop) { g_main_loop_quit(static_cast<GMainLoop*>(loop)); return G_SOURCE_REMOVE; }, m_loop);
        m_thread.join();
    }
    testing::LocalHTTPSServer& server() { return *m_server; }

private:
    void run()
    {
        m_context = g_main_context_new();
        g_main_context_push_thread_default(m_context);
        m_loop = g_main_loop_new(m_context, FALSE);
        m_server = std::make_unique<testing::LocalHTTPSServer>();
        m_ready.set_value();
        g_main_loop_run(m_loop);
        m_server.reset();
        g_main_loop_unref(m_loop);
        g_main_context_pop_thread_default(m_context);
        g_main_context_unref(m_context);
    }

    GMainContext* m_context { nullptr };
    GMainLoop* m_loop { nullptr };
    std::unique_ptr<testing::LocalHTTPSServer> m_server;
    std::promise<void> m_ready;
    std::thread m_thread;
};

Figures transportRound(APITransport& transport, const APIRequest& request, int count)
{
    std::vector<double> latencies;
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        auto sent = Clock::now();
        bool done = false;
        transport.execute(request, [&](Result<APIResponse, APITransportError> result) {
            if (result.isError() || result->statusCode != 200)
                g_error("request failed: %s", result.isError() ? result.error().code().c_str() : "status");
            latencies.push_back(secondsSince(sent) * 1000);
            done = true;
        });
        while (!done)
            g_main_context_iteration(nullptr, TRUE);
    }
    return figures(latencies, secondsSince(start));
}

// One curl process fetching `count` URLs in turn; its own time of each transfer is the latency.
Figures curlRound(const testing::LocalHTTPSServer& server, int count, bool newConnections)
{
    std::vector<std::string> arguments { "curl", "--silent", "--show-error", "--fail", "--cacert", server.certificatePath(), "--write-out", "%{time_total}\\n" };
    if (newConnections)
        arguments.insert(arguments.end(), { "--header", "Connection: close" });
    for (int i = 0; i < count; ++i)
        arguments.insert(arguments.end(), { "--output", "/dev/null", server.url("/status/200") });
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    gchar* output = nullptr;
    gint status = 0;
    auto start = Clock::now();
    if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &output, nullptr, &status, nullptr) || status != 0)
        g_error("curl failed");
    double wallSeconds = secondsSince(start);
    std::istringstream lines(output);
    g_free(output);
    std::vector<double> latencies;
    for (double seconds; lines >> seconds;)
        latencies.push_back(seconds * 1000);
    return figures(latencies, wallSeconds);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int requests = 2000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        (option == "--requests" ? requests : rounds) = std::max(1, std::atoi(argv[i + 1]));
    }

    ServerThread serverThread;
    auto& server = serverThread.server();
    auto policy = MUST(AllowedOriginPolicy::create({ *Url::parse(server.url("/")) }));
    APITransport transport(policy, "4.2.0", 2097152,
        std::make_unique<RestrictedURLSessionLoader>(policy, 2097152, glib::retainGRef(server.tlsDatabase())));
    auto request = MUST(APIRequest::create(*Url::parse(server.url("/status/200")), APIRequest::Method::Get, {}, {}, 30, policy));

    const char* names[] = { "API transport (libsoup), one session", "curl, one kept-alive connection", "curl, a new connection each" };
    auto runOne = [&](int which, int count) {
        return which == 0 ? transportRound(transport, request, count) : curlRound(server, count, which == 2);
    };
    for (int which = 0; which < 3; ++which)
        runOne(which, std::max(1, requests / 20)); // warm-up: connections, sessions, file cache

    std::map<int, std::vector<Figures>> results;
    double loadBefore = 0, loadAfter = 0;
    getloadavg(&loadBefore, 1);
    for (int round = 0; round < rounds; ++round) {
        for (int step = 0; step < 3; ++step) {
            int which = (round + step) % 3;
            results[which].push_back(runOne(which, requests));
        }
    }
    getloadavg(&loadAfter, 1);

    std::printf("API transport benchmark: %d sequential small GETs per round, %d rounds (median shown); %u cores; 1-min load %.2f before, %.2f after\n",
        requests, rounds, std::thread::hardware_concurrency(), loadBefore, loadAfter);
    std::printf("  %-40s %12s %10s %10s\n", "", "requests/s", "p50 ms", "p99 ms");
    std::map<int, Figures> medians;
    for (int which = 0; which < 3; ++which) {
        std::vector<double> rate, p50, p99;
        for (const auto& figure : results[which]) {
            rate.push_back(figure.requestsPerSecond);
            p50.push_back(figure.p50Ms);
            p99.push_back(figure.p99Ms);
        }
        medians[which] = { median(rate), median(p50), median(p99) };
        std::printf("  %-40s %12.0f %10.3f %10.3f\n", names[which], medians[which].requestsPerSecond, medians[which].p50Ms, medians[which].p99Ms);
    }
    std::printf("  transport against curl kept-alive: %.2fx the requests/s, %.2fx the p50, %.2fx the p99\n",
        medians[0].requestsPerSecond / medians[1].requestsPerSecond, medians[0].p50Ms / medians[1].p50Ms, medians[0].p99Ms / medians[1].p99Ms);
    return 0;
}
