#pragma once

#include "platform/RegistryValue.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// The launcher's rule for a `root` attribute: "hkcu" in any letter case is HKEY_CURRENT_USER,
// everything else (HKEY_CURRENT_USER spelled out included) is HKEY_LOCAL_MACHINE.
RegistryRoot RegistryRootFromAttribute(std::wstring_view root);

// Where the hive files are. Writes to HKEY_LOCAL_MACHINE go to `localMachineSystem` when that
// is writable and otherwise to `localMachine`, which is read first (an overlay).
struct RegistryLocations {
    std::string currentUser;
    std::string localMachine;
    std::string localMachineSystem; // empty: no system file

    // $VELLMAR_REGISTRY_DIR alone when set; else $XDG_CONFIG_HOME (or ~/.config)
    // /vellmar/registry with /etc/vellmar/registry as the system file's folder.
    static RegistryLocations FromEnvironment();
};

// The registry as .reg-syntax hive files. Reads take no lock (files are only ever replaced
// whole); each write locks `<hive>.lock`, re-reads, changes, and atomically replaces the hive.
class RegistryStore {
public:
    explicit RegistryStore(RegistryLocations locations = RegistryLocations::FromEnvironment());

    // Nothing when the hive, key or value is missing or unreadable.
    std::optional<RegistryValue> ReadValue(RegistryRoot root, std::wstring_view key,
                                           std::wstring_view name) const;

    // REG_SZ only, full length; "" for anything else.
    std::wstring ReadRegistryString(RegistryRoot root, std::wstring_view key,
                                    std::wstring_view name) const;
    // Attribute form: "" unless root, key and name are all non-empty.
    std::wstring ReadRegistryString(std::wstring_view root, std::wstring_view key,
                                    std::wstring_view name) const;

    // REG_SZ or REG_EXPAND_SZ (not expanded) whose data, terminator included, fits a buffer of
    // `bufferChars` UTF-16 units; nothing otherwise.
    std::optional<std::wstring> ReadStringLimited(RegistryRoot root, std::wstring_view key,
                                                  std::wstring_view name,
                                                  std::size_t bufferChars = 260) const;
    // Attribute form of the above: nothing unless root, key and name are all non-empty.
    std::optional<std::wstring> ReadStringLimited(std::wstring_view root, std::wstring_view key,
                                                  std::wstring_view name,
                                                  std::size_t bufferChars = 260) const;

    // A REG_DWORD of four bytes; any other type counts as absent.
    std::optional<std::uint32_t> ReadDword(RegistryRoot root, std::wstring_view key,
                                           std::wstring_view name) const;

    // Throws on failure (Vellmar::Exception family).
    void WriteValue(RegistryRoot root, std::wstring_view key, std::wstring_view name,
                    const RegistryValue& value) const;

    // As REG_SZ; failures are swallowed and reported as false. The attribute form writes
    // nothing unless root, key and name are all non-empty.
    bool WriteRegistryString(RegistryRoot root, std::wstring_view key, std::wstring_view name,
                             std::wstring_view value) const noexcept;
    bool WriteRegistryString(std::wstring_view root, std::wstring_view key, std::wstring_view name,
                             std::wstring_view value) const noexcept;

    const RegistryLocations& Locations() const { return locations; }

private:
    std::string WriteTarget(RegistryRoot root, std::wstring_view keyPath,
                            std::wstring_view name) const;

    RegistryLocations locations;
    std::chrono::milliseconds lockTimeout{10000};
};

} // namespace Vellmar::Platform
