#include "platform/InternetConnection.h"

#include "platform/RegistryStore.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace Vellmar::Platform {

namespace {

struct InterfaceListDeleter {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};
struct AddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

bool IsLoopbackV4(std::uint32_t hostOrder) {
    return (hostOrder >> 24) == 127;
}

bool IsRoutableV4(const sockaddr_in& address) {
    const std::uint32_t ip = ntohl(address.sin_addr.s_addr);
    const bool linkLocal = (ip >> 16) == 0xA9FE; // 169.254/16 is self-assigned
    return ip != 0 && !IsLoopbackV4(ip) && !linkLocal;
}

bool IsRoutableV6(const sockaddr_in6& address) {
    const in6_addr& ip = address.sin6_addr;
    return !IN6_IS_ADDR_UNSPECIFIED(&ip) && !IN6_IS_ADDR_LOOPBACK(&ip) &&
           !IN6_IS_ADDR_LINKLOCAL(&ip) && !IN6_IS_ADDR_V4MAPPED(&ip);
}

bool AllZero(const std::string& hex) {
    return hex.find_first_not_of('0') == std::string::npos;
}

unsigned long Hex(const std::string& text) {
    try {
        return std::stoul(text, nullptr, 16);
    } catch (const std::exception&) {
        return 0;
    }
}

bool OpenAndCheck(const char* path, bool (*check)(std::istream&)) {
    std::ifstream table(path);
    return table && check(table);
}

constexpr wchar_t VellmarKey[] = L"Software\\Vellmar";
constexpr wchar_t InternetSettingsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Configurations and tools that set this value use any type; four bytes at most count.
std::optional<std::uint32_t> FourByteValue(const std::optional<RegistryValue>& value) {
    if (!value || value->data.size() > 4)
        return std::nullopt;
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < value->data.size(); ++i)
        number |= static_cast<std::uint32_t>(value->data[i]) << (8 * i);
    return number;
}

} // namespace

InternetConnection::Settings InternetConnection::ReadSettings(const RegistryStore& registry) {
    Settings settings;
    for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        const auto dedicated = registry.ReadDword(root, VellmarKey, L"DedicatedInternetConnection");
        settings.dedicatedConnection =
            settings.dedicatedConnection || (dedicated && *dedicated != 0);
    }
    settings.enableAutodial = FourByteValue(
        registry.ReadValue(RegistryRoot::CurrentUser, InternetSettingsKey, L"EnableAutodial"));
    return settings;
}

bool InternetConnection::HasInternetConnection(const RegistryStore& registry) {
    return HasInternetConnection(ReadSettings(registry));
}

bool InternetConnection::HasInternetConnection(const Settings& settings) {
    if (settings.dedicatedConnection || IsConnected())
        return true;
    if (settings.enableAutodial && *settings.enableAutodial == 0)
        return HostNameResolvesOffLoopback();
    return false;
}

bool InternetConnection::IsConnected() {
    return HasUsableInterface() || OpenAndCheck("/proc/net/route", HasDefaultRouteV4) ||
           OpenAndCheck("/proc/net/ipv6_route", HasDefaultRouteV6);
}

bool InternetConnection::HostNameResolvesOffLoopback() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.data(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    const auto* first = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
    // Debian maps the host name to 127.0.1.1: any 127/8 address means no network.
    return !IsLoopbackV4(ntohl(first->sin_addr.s_addr));
}

bool InternetConnection::HasUsableInterface() {
    ifaddrs* found = nullptr;
    if (::getifaddrs(&found) != 0)
        return false;
    const std::unique_ptr<ifaddrs, InterfaceListDeleter> list(found);
    for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
        if (IsUsableInterface(entry->ifa_flags, entry->ifa_addr))
            return true;
    }
    return false;
}

bool InternetConnection::IsUsableInterface(unsigned flags, const sockaddr* address) {
    if ((flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0 || address == nullptr)
        return false;
    if (address->sa_family == AF_INET)
        return IsRoutableV4(*reinterpret_cast<const sockaddr_in*>(address));
    if (address->sa_family == AF_INET6)
        return IsRoutableV6(*reinterpret_cast<const sockaddr_in6*>(address));
    return false;
}

// Iface Destination Gateway Flags RefCnt Use Metric Mask ...; the first line is a heading.
bool InternetConnection::HasDefaultRouteV4(std::istream& table) {
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device, destination, gateway, flags, refCount, use, metric, mask;
        if (!(fields >> device >> destination >> gateway >> flags >> refCount >> use >> metric >>
              mask))
            continue;
        if (device != "lo" && AllZero(destination) && AllZero(mask) && (Hex(flags) & RTF_UP) != 0)
            return true;
    }
    return false;
}

// Destination, prefix, source, prefix, next hop, metric, refcount, use, flags, device.
bool InternetConnection::HasDefaultRouteV6(std::istream& table) {
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string destination, prefix, source, sourcePrefix, nextHop, metric, refCount, use,
            flags, device;
        if (!(fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >>
              refCount >> use >> flags >> device))
            continue;
        const unsigned long bits = Hex(flags);
        if (device != "lo" && AllZero(destination) && AllZero(prefix) && (bits & RTF_UP) != 0 &&
            (bits & RTF_REJECT) == 0)
            return true;
    }
    return false;
}

} // namespace Vellmar::Platform
