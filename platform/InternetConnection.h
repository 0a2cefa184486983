#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

struct sockaddr;

namespace Vellmar::Platform {

class RegistryStore;

// Whether the machine looks online, as a news update asks before it downloads anything.
class InternetConnection {
public:
    // The registry values that steer the answer: "DedicatedInternetConnection" (a non-zero
    // DWORD under Software\Vellmar in either hive) and "EnableAutodial" (absent when it could
    // not be read).
    struct Settings {
        bool dedicatedConnection = false;
        std::optional<std::uint32_t> enableAutodial;
    };
    static Settings ReadSettings(const RegistryStore& registry);

    // Dedicated connection, else the system probe, else (autodial known to be off) whether the
    // host name resolves away from loopback.
    static bool HasInternetConnection(const RegistryStore& registry);
    static bool HasInternetConnection(const Settings& settings);

    // Any interface that is up, not loopback, with a routable address; or a default route.
    static bool IsConnected();

    // False when the host name does not resolve or resolves to a loopback address.
    static bool HostNameResolvesOffLoopback();

    static bool HasUsableInterface();
    static bool IsUsableInterface(unsigned flags, const sockaddr* address);
    // Readers of /proc/net/route and /proc/net/ipv6_route.
    static bool HasDefaultRouteV4(std::istream& table);
    static bool HasDefaultRouteV6(std::istream& table);
};

} // namespace Vellmar::Platform
