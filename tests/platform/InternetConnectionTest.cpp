#include "platform/InternetConnection.h"
#include "platform/RegistryStore.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <sstream>

using namespace Vellmar::Platform;

namespace {

constexpr char V4Heading[] =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

struct RouteCase {
    const char* name;
    const char* table;
    bool defaultRoute;
};

class DefaultRouteV4 : public ::testing::TestWithParam<RouteCase> {};
class DefaultRouteV6 : public ::testing::TestWithParam<RouteCase> {};

void PrintTo(const RouteCase& c, std::ostream* out) {
    *out << c.name;
}

TEST_P(DefaultRouteV4, ReadsTable) {
    std::istringstream table(std::string(V4Heading) + GetParam().table);
    EXPECT_EQ(InternetConnection::HasDefaultRouteV4(table), GetParam().defaultRoute);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DefaultRouteV4,
    ::testing::Values(RouteCase{"Gateway",
                                "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
                                "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n",
                                true},
                      RouteCase{"OnlyLocalNet",
                                "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n",
                                false},
                      RouteCase{"DefaultDown",
                                "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n",
                                false},
                      RouteCase{"Empty", "", false}, RouteCase{"Garbage", "eth0 zz\n\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(DefaultRouteV6, ReadsTable) {
    std::istringstream table(GetParam().table);
    EXPECT_EQ(InternetConnection::HasDefaultRouteV6(table), GetParam().defaultRoute);
}

constexpr char V6Zero[] = "00000000000000000000000000000000";

std::string V6Line(const char* destination, const char* prefix, const char* flags,
                   const char* device) {
    return std::string(destination) + " " + prefix + " " + V6Zero + " 00 " + V6Zero +
           " 00000400 00000002 00000000 " + flags + "     " + device + "\n";
}

const std::string V6Gateway = V6Line(V6Zero, "00", "00000003", "eth0");
const std::string V6Unreachable = V6Line(V6Zero, "00", "00200200", "lo");
const std::string V6LinkLocal =
    V6Line("fe800000000000000000000000000000", "40", "00000001", "eth0");

INSTANTIATE_TEST_SUITE_P(Tables, DefaultRouteV6,
                         ::testing::Values(RouteCase{"Gateway", V6Gateway.c_str(), true},
                                           RouteCase{"UnreachableOnLoopback", V6Unreachable.c_str(),
                                                     false},
                                           RouteCase{"LinkLocalOnly", V6LinkLocal.c_str(), false},
                                           RouteCase{"Empty", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct InterfaceCase {
    const char* name;
    unsigned flags;
    int family;
    const char* address;
    bool usable;
};

TEST(InternetConnectionInterfaces, UpNonLoopbackWithRoutableAddress) {
    const InterfaceCase cases[] = {
        {"Ethernet", IFF_UP | IFF_RUNNING, AF_INET, "192.168.1.20", true},
        {"Down", 0, AF_INET, "192.168.1.20", false},
        {"Loopback", IFF_UP | IFF_LOOPBACK, AF_INET, "127.0.0.1", false},
        {"LoopbackRangeOnOtherDevice", IFF_UP, AF_INET, "127.0.1.1", false},
        {"SelfAssigned", IFF_UP, AF_INET, "169.254.3.4", false},
        {"Global6", IFF_UP, AF_INET6, "2001:db8::5", true},
        {"LinkLocal6", IFF_UP, AF_INET6, "fe80::1", false},
        {"Loopback6", IFF_UP, AF_INET6, "::1", false},
    };
    for (const InterfaceCase& c : cases) {
        sockaddr_storage storage{};
        storage.ss_family = static_cast<sa_family_t>(c.family);
        void* raw = c.family == AF_INET
                        ? static_cast<void*>(&reinterpret_cast<sockaddr_in*>(&storage)->sin_addr)
                        : static_cast<void*>(&reinterpret_cast<sockaddr_in6*>(&storage)->sin6_addr);
        ASSERT_EQ(::inet_pton(c.family, c.address, raw), 1) << c.name;
        EXPECT_EQ(InternetConnection::IsUsableInterface(
                      c.flags, reinterpret_cast<const sockaddr*>(&storage)),
                  c.usable)
            << c.name;
    }
    EXPECT_FALSE(InternetConnection::IsUsableInterface(IFF_UP, nullptr));
}

struct SettingsCase {
    const char* name;
    const char* currentUser; // hive bodies below the header line
    const char* localMachine;
    bool dedicated;
    std::optional<std::uint32_t> autodial;
};

TEST(InternetConnectionSettings, ReadFromEitherHive) {
    const char* const vellmar = "[HKEY_CURRENT_USER\\Software\\Vellmar]\n";
    const char* const machine = "[HKEY_LOCAL_MACHINE\\Software\\Vellmar]\n";
    const std::string autodialKey = "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Internet Settings]\n";
    const std::string userDword =
        std::string(vellmar) + "\"DedicatedInternetConnection\"=dword:00000001\n";
    const std::string userZero =
        std::string(vellmar) + "\"DedicatedInternetConnection\"=dword:00000000\n";
    const std::string userText = std::string(vellmar) + "\"DedicatedInternetConnection\"=\"1\"\n";
    const std::string machineDword =
        std::string(machine) + "\"DedicatedInternetConnection\"=dword:00000002\n";
    const std::string autodialOff = autodialKey + "\"EnableAutodial\"=dword:00000000\n";
    const std::string autodialBinary = autodialKey + "\"EnableAutodial\"=hex:01,00\n";
    const std::string autodialTooLong = autodialKey + "\"EnableAutodial\"=hex:01,00,00,00,00\n";
    const SettingsCase cases[] = {
        {"Nothing", "", "", false, std::nullopt},
        {"UserDword", userDword.c_str(), "", true, std::nullopt},
        {"UserZero", userZero.c_str(), "", false, std::nullopt},
        {"StringCountsAsAbsent", userText.c_str(), "", false, std::nullopt},
        {"MachineDword", userZero.c_str(), machineDword.c_str(), true, std::nullopt},
        {"AutodialOff", autodialOff.c_str(), "", false, 0u},
        {"AutodialShortBinary", autodialBinary.c_str(), "", false, 1u},
        {"AutodialTooLong", autodialTooLong.c_str(), "", false, std::nullopt},
    };
    for (const SettingsCase& c : cases) {
        TempDir dir;
        const std::string header = "Windows Registry Editor Version 5.00\n\n";
        WriteFile(dir / "cu.reg", header + c.currentUser);
        WriteFile(dir / "lm.reg", header + c.localMachine);
        const RegistryStore store(RegistryLocations{dir / "cu.reg", dir / "lm.reg", ""});
        const auto settings = InternetConnection::ReadSettings(store);
        EXPECT_EQ(settings.dedicatedConnection, c.dedicated) << c.name;
        EXPECT_EQ(settings.enableAutodial, c.autodial) << c.name;
        if (c.dedicated) {
            EXPECT_TRUE(InternetConnection::HasInternetConnection(store)) << c.name;
        }
    }
}

} // namespace
