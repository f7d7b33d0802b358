#include "game/PublicIPv4Address.h"
#include "game/SocketProxyConfiguration.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(PublicIPv4Address, EveryExcludedRangeAndItsEdges)
{
    // Each range's first and last address, and the addresses just outside it.
    const char* excluded[] = { "0.0.0.0", "0.255.255.255", "10.0.0.0", "10.255.255.255", "127.0.0.0", "127.255.255.255",
        "224.0.0.0", "255.255.255.255", "100.64.0.0", "100.127.255.255", "169.254.0.0", "169.254.255.255", "172.16.0.0",
        "172.31.255.255", "192.0.0.0", "192.0.255.255", "192.168.0.0", "192.168.255.255", "192.88.99.0", "192.88.99.255",
        "198.18.0.0", "198.19.255.255", "198.51.100.0", "198.51.100.255", "203.0.113.0", "203.0.113.255",
        "8.8.8.08", "8.8.8", "8.8.8.8.8", "8.8..8", "+8.8.8.8", "8.8.8.256", "8.8.8.8 ", "" };
    const char* outside[] = { "1.0.0.0", "9.255.255.255", "11.0.0.0", "126.255.255.255", "128.0.0.0", "223.255.255.255",
        "100.63.255.255", "100.128.0.0", "169.253.255.255", "169.255.0.0", "172.15.255.255", "172.32.0.0",
        "191.255.255.255", "192.1.0.0", "192.167.255.255", "192.169.0.0", "192.88.98.255", "192.88.100.0",
        "198.17.255.255", "198.20.0.0", "198.51.99.255", "198.51.101.0", "203.0.112.255", "203.0.114.0" };
    for (const char* address : excluded)
        EXPECT_FALSE(isPublicIPv4Address(address)) << address;
    for (const char* address : outside)
        EXPECT_TRUE(isPublicIPv4Address(address)) << address;
}

TEST(PublicIPv4Address, EveryLookupResultMustBePublic)
{
    EXPECT_EQ(firstPublicAddress({}).error(), LauncherGameError::socketUnavailable());
    EXPECT_EQ(firstPublicAddress({ "8.8.8.8", "10.0.0.1" }).error(), LauncherGameError::socketConfigurationInvalid());
    EXPECT_EQ(firstPublicAddress({ "8.8.4.4", "8.8.8.8" }).value(), "8.8.4.4");
}

TEST(SocketProxyConfiguration, HostPatternAndPort)
{
    EXPECT_EQ(SocketProxyConfiguration::create("server12.play.quorin42.net", 25565)->host(), "server12.play.quorin42.net");
    EXPECT_EQ(SocketProxyConfiguration::create("server12.play.quorin42.net", 25566).error(), LauncherGameError::socketConfigurationInvalid());
    EXPECT_EQ(SocketProxyConfiguration::create("Server12.play.quorin42.net", 25565).error(), LauncherGameError::socketConfigurationInvalid());
}

} // namespace
} // namespace quorin
