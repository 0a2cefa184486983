// Any bytes parse; writing a hive back and reading it again changes nothing, and a value set
// in it reads back.
#include "platform/RegistryHive.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using Vellmar::Platform::RegistryHive;
using Vellmar::Platform::RegistryValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RegistryHive hive = RegistryHive::Parse(bytes);
    const std::string once = hive.Serialize();
    if (RegistryHive::Parse(once).Serialize() != once)
        std::abort();
    const auto value = RegistryValue::String(L"probe\n\"value\"");
    hive.Set(L"HKEY_CURRENT_USER\\Software\\Fuzz", L"Name", value);
    const RegistryHive again = RegistryHive::Parse(hive.Serialize());
    const RegistryValue* found = again.Find(L"hkcu\\software\\fuzz", L"name");
    if (!found || *found != value)
        std::abort();
    return 0;
}
