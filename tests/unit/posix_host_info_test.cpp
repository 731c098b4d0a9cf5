// Host report from the C library. Only local sources: the interfaces, /etc/hosts and
// numeric names, so no name server is asked.
#include <net/if.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "platform/posix/posix_host_info.h"

namespace ardvix::platform {
namespace {

TEST(PosixHostInfoTest, LoopbackIsListedWithItsClassAMask) {
  PosixHostInfo host;
  const auto interfaces = host.Ipv4Interfaces();
  const auto lo = std::find_if(interfaces.begin(), interfaces.end(),
                               [](const InterfaceInfo& i) { return i.name == "lo"; });
  ASSERT_NE(lo, interfaces.end());
  EXPECT_EQ(DottedQuad(lo->address), "127.0.0.1");
  EXPECT_EQ(DottedQuad(lo->netmask), "255.0.0.0");
  EXPECT_EQ(lo->index, static_cast<int>(if_nametoindex("lo")));
  EXPECT_TRUE(lo->up);
  EXPECT_TRUE(lo->loopback);
  EXPECT_FALSE(lo->broadcast);
}

TEST(PosixHostInfoTest, HostNameIsKnown) {
  PosixHostInfo host;
  const auto name = host.HostName();
  ASSERT_TRUE(name.has_value());
  EXPECT_FALSE(name->empty());
}

TEST(PosixHostInfoTest, EachResolvedAddressAppearsOnce) {
  // getaddrinfo without a socket type lists every address once per socket type.
  PosixHostInfo host;
  const auto addresses = host.ResolveIpv4("localhost");
  ASSERT_TRUE(addresses.has_value());
  const std::set<uint32_t> distinct(addresses->begin(), addresses->end());
  EXPECT_EQ(distinct.size(), addresses->size());
  EXPECT_TRUE(distinct.count(0x7F000001u));
}

TEST(PosixHostInfoTest, NumericNameResolvesToItselfInHostOrder) {
  PosixHostInfo host;
  const auto addresses = host.ResolveIpv4("192.168.0.10");
  ASSERT_TRUE(addresses.has_value());
  ASSERT_EQ(addresses->size(), 1u);
  EXPECT_EQ(DottedQuad(addresses->front()), "192.168.0.10");
}

}  // namespace
}  // namespace ardvix::platform
