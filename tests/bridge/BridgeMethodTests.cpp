#include "bridge/BridgeMethod.h"

#include <gtest/gtest.h>

#include <string>

namespace quorin {
namespace {

using namespace std::string_literals;

// The wire strings themselves are checked against the page's API in tests/js.
TEST(BridgeMethod, EachWireStringFindsOnlyItsOwnMethodAndOnlyWhenExact)
{
    for (auto method : allBridgeMethods()) {
        std::string wire(wireString(method));
        EXPECT_EQ(bridgeMethodFromWireString(wire), method) << wire;
        std::string capitalised = wire;
        capitalised[0] = static_cast<char>(capitalised[0] - 'a' + 'A');
        for (const auto& near : { capitalised, wire + " ", wire.substr(0, wire.size() - 1), wire + "\0"s })
            EXPECT_EQ(bridgeMethodFromWireString(near), std::nullopt) << '"' << near << '"';
    }
}

} // namespace
} // namespace quorin
