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
constexpr char V6Zero[] = "00000000000000000000000000000000";

std::string V4Line(const char* destination, const char* flags, const char* mask) {
    return std::string("eth0\t") + destination + "\t010200C0\t" + flags + "\t0\t0\t0\t" + mask +
           "\t0\t0\t0\n";
}

std::string V6Line(const char* destination, const char* prefix, const char* flags,
                   const char* device) {
    return std::string(destination) + " " + prefix + " " + V6Zero + " 00 " + V6Zero +
           " 00000400 00000002 00000000 " + flags + "     " + device + "\n";
}

TEST(InternetConnectionRoutes, DefaultRouteOfEitherTable) {
    const std::string v4Local = V4Line("000200C0", "0001", "00FFFFFF");
    const struct {
        const char* name;
        bool v6;
        std::string table;
        bool found;
    } cases[] = {
        {"Gateway", false, V4Line("00000000", "0003", "00000000") + v4Local, true},
        {"OnlyLocalNet", false, v4Local, false},
        {"DefaultDown", false, V4Line("00000000", "0002", "00000000"), false},
        {"Empty", false, "", false},
        {"Garbage", false, "eth0 zz\n\n", false},
        {"Gateway6", true, V6Line(V6Zero, "00", "00000003", "eth0"), true},
        {"UnreachableOnLoopback6", true, V6Line(V6Zero, "00", "00200200", "lo"), false},
        {"LinkLocalOnly6", true,
         V6Line("fe800000000000000000000000000000", "40", "00000001", "eth0"), false},
        {"Empty6", true, "", false},
    };
    for (const auto& c : cases) {
        std::istringstream table(c.v6 ? c.table : V4Heading + c.table);
        EXPECT_EQ(c.v6 ? InternetConnection::HasDefaultRouteV6(table)
                       : InternetConnection::HasDefaultRouteV4(table),
                  c.found)
            << c.name;
    }
}

TEST(InternetConnectionInterfaces, UpNonLoopbackWithRoutableAddress) {
    const struct {
        const char* name;
        unsigned flags;
        int family;
        const char* address;
        bool usable;
    } cases[] = {
        {"Ethernet", IFF_UP | IFF_RUNNING, AF_INET, "192.168.1.20", true},
        {"Down", 0, AF_INET, "192.168.1.20", false},
        {"Loopback", IFF_UP | IFF_LOOPBACK, AF_INET, "127.0.0.1", false},
        {"LoopbackRangeOnOtherDevice", IFF_UP, AF_INET, "127.0.1.1", false},
        {"SelfAssigned", IFF_UP, AF_INET, "169.254.3.4", false},
        {"Global6", IFF_UP, AF_INET6, "2001:db8::5", true},
        {"LinkLocal6", IFF_UP, AF_INET6, "fe80::1", false},
        {"Loopback6", IFF_UP, AF_INET6, "::1", false},
    };
    for (const auto& c : cases) {
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

std::string Dedicated(const char* root, const char* value) {
    return std::string("[") + root +
           "\\Software\\Vellmar]\n\"DedicatedInternetConnection\"=" + value + "\n";
}

std::string Autodial(const char* value) {
    return std::string("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                       "Internet Settings]\n\"EnableAutodial\"=") +
           value + "\n";
}

TEST(InternetConnectionSettings, ReadFromEitherHive) {
    const std::string userZero = Dedicated("HKEY_CURRENT_USER", "dword:00000000");
    const struct {
        const char* name;
        std::string currentUser, localMachine; // hive bodies below the header line
        bool dedicated;
        std::optional<std::uint32_t> autodial;
    } cases[] = {
        {"Nothing", "", "", false, std::nullopt},
        {"UserDword", Dedicated("HKEY_CURRENT_USER", "dword:00000001"), "", true, std::nullopt},
        {"UserZero", userZero, "", false, std::nullopt},
        {"StringCountsAsAbsent", Dedicated("HKEY_CURRENT_USER", "\"1\""), "", false, std::nullopt},
        {"MachineDword", userZero, Dedicated("HKEY_LOCAL_MACHINE", "dword:00000002"), true,
         std::nullopt},
        {"AutodialOff", Autodial("dword:00000000"), "", false, 0u},
        {"AutodialShortBinary", Autodial("hex:01,00"), "", false, 1u},
        {"AutodialTooLong", Autodial("hex:01,00,00,00,00"), "", false, std::nullopt},
    };
    for (const auto& c : cases) {
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
