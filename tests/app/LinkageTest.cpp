// The libraries autorun opens at first use must not be mapped before main() on every start.
#include "tests/support/ProcessRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using TestSupport::LinesStartingWith;
using TestSupport::RunProcess;

namespace {

// libcurl and GStreamer, then what only they bring in: Kerberos, LDAP, SSH, HTTP/2, libdw.
const char* const kLoadedAtFirstUse[] = {
    "libcurl.so", "libgstreamer-1.0.so", "libgssapi_krb5.so", "libldap",
    "libssh",     "libnghttp2.so",       "libdw.so"};

std::string Autorun() {
    return (std::filesystem::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "autorun").string();
}

TEST(AutorunLinkage, LibrariesOpenedAtFirstUseAreNotLoadedAtStart) {
    // The whole closure the loader would map: the direct NEEDED entries are in it too.
    const TestSupport::ProcessResult ldd = RunProcess("/usr/bin/ldd", {Autorun()});
    if (ldd.exitCode != 0)
        GTEST_SKIP() << "ldd did not run";
    const std::vector<std::string> mapped = LinesStartingWith(ldd.out, "");
    // The list is right if it holds what autorun surely needs.
    ASSERT_TRUE(std::any_of(mapped.begin(), mapped.end(), [](const std::string& line) {
        return line.find("libc.so.6") != std::string::npos;
    }));
    for (const char* library : kLoadedAtFirstUse) {
        for (const std::string& line : mapped)
            EXPECT_EQ(line.find(library), std::string::npos)
                << library << " is loaded at start: " << line;
    }
}

} // namespace
