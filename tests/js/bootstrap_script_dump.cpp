// Test helper: prints what the page-side tests need from the host.
//   bootstrap_script_dump RUNTIME_CONFIG_JSON NATIVE_HOST_JSON   the bootstrap script
//   bootstrap_script_dump --paths                                the published API paths
//   bootstrap_script_dump --methods                              the page-callable method names

#include "bridge/BridgeBootstrapScript.h"
#include "core/JsonReaders.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>

namespace {

std::optional<quorin::BridgeValue::Object> objectArgument(std::string_view text)
{
    auto tree = quorin::json::parse(text);
    if (!tree || !tree->is_object())
        return std::nullopt;
    auto value = quorin::BridgeValue::decode(*tree);
    if (value.isError())
        return std::nullopt;
    return value->asObject();
}

int printScript(std::string_view runtimeConfigText, std::string_view nativeHostText)
{
    auto runtimeConfig = objectArgument(runtimeConfigText);
    auto nativeHost = objectArgument(nativeHostText);
    if (!runtimeConfig || !nativeHost) {
        std::cerr << "arguments must be JSON objects within the bridge value limits\n";
        return 2;
    }
    auto script = quorin::BridgeBootstrapScript::make(*runtimeConfig, *nativeHost);
    if (script.isError()) {
        std::cerr << "encodingFailed\n";
        return 3;
    }
    std::cout << *script;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string_view mode = argc > 1 ? argv[1] : "";
    if (argc == 2 && mode == "--paths") {
        for (auto path : quorin::BridgeBootstrapScript::publicAPIPaths())
            std::cout << path << '\n';
        return 0;
    }
    if (argc == 2 && mode == "--methods") {
        for (auto method : quorin::BridgeBootstrapScript::rpcMethods())
            std::cout << quorin::wireString(method) << '\n';
        return 0;
    }
    if (argc == 3)
        return printScript(argv[1], argv[2]);
    std::cerr << "usage: bootstrap_script_dump RUNTIME_CONFIG_JSON NATIVE_HOST_JSON | --paths | --methods\n";
    return 2;
}
