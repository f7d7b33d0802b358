// Prints the bootstrap script the host makes for the maps that tests/js/harness.mjs expects.

#include "bridge/BridgeBootstrapScript.h"

#include <iostream>

int main()
{
    using quorin::BridgeValue;
    auto script = quorin::BridgeBootstrapScript::make(
        { { "apiBaseUrl", BridgeValue::string("https://cdn.example.test/a/b") },
            { "banner", BridgeValue::string("</script><!-- x -->\u2028\u2029") } },
        { { "kind", BridgeValue::string("linux") }, { "version", BridgeValue::string("4.2.0") } });
    if (script.isError())
        return 1;
    std::cout << *script;
    return 0;
}
