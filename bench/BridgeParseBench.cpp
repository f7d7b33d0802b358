#include "bridge/BridgeRequest.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

using quorin::BridgeRequest;

std::string request(const std::string& method, const std::string& arguments)
{
    return R"({"schemaVersion":1,"requestId":"linux_1733500000000_42","method":")" + method + R"(","arguments":)" + arguments + "}";
}

// Eight strings of 32,000 bytes: what a large API request body looks like.
std::string stringHeavyRequest()
{
    std::string arguments = "[";
    for (int i = 0; i < 8; ++i)
        arguments += (i ? ",\"" : "\"") + std::string(32000, static_cast<char>('a' + i)) + "\"";
    return request("api.request", arguments + "]");
}

// Sixteen arrays of 128 small records: many keys, numbers and short strings.
std::string structureHeavyRequest()
{
    std::string arguments = "[";
    for (int a = 0; a < 16; ++a) {
        arguments += a ? ",[" : "[";
        for (int i = 0; i < 128; ++i) {
            std::string n = std::to_string(a * 128 + i);
            arguments += (i ? "," : "") + std::string(R"({"id":"account-)") + n + R"(","name":"Player )" + n
                + R"(","level":42,"score":1234.5,"online":true,"tags":["eu","pvp"],"lastSeen":1733500000})";
        }
        arguments += "]";
    }
    return request("savedAccounts.upsert", arguments + "]");
}

void parse(benchmark::State& state, const std::string& body)
{
    if (BridgeRequest::decode(body).isError()) {
        state.SkipWithError("the benchmark body does not parse");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(BridgeRequest::decode(body));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(body.size()));
    state.counters["bodyBytes"] = static_cast<double>(body.size());
}

void BM_ParseSmallRequest(benchmark::State& state)
{
    parse(state, request("getAppInfo", "[]"));
}

void BM_ParseLargeStringRequest(benchmark::State& state)
{
    parse(state, stringHeavyRequest());
}

void BM_ParseLargeStructuredRequest(benchmark::State& state)
{
    parse(state, structureHeavyRequest());
}

// Baseline: nlohmann's own tree parse of the same body, without any limit.
void BM_BaselineTreeParseStructured(benchmark::State& state)
{
    std::string body = structureHeavyRequest();
    for (auto _ : state)
        benchmark::DoNotOptimize(nlohmann::json::parse(body));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(body.size()));
}

BENCHMARK(BM_ParseSmallRequest);
BENCHMARK(BM_ParseLargeStringRequest);
BENCHMARK(BM_ParseLargeStructuredRequest);
BENCHMARK(BM_BaselineTreeParseStructured);

} // namespace
