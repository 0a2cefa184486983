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

// One entry per line: the NEEDED entries, or the whole closure the loader would map.
std::vector<std::string> OutputLines(const std::string& tool,
                                     const std::vector<std::string>& args) {
    const TestSupport::ProcessResult result = RunProcess(tool, args);
    if (result.exitCode != 0)
        return {};
    return LinesStartingWith(result.out, "");
}

TEST(AutorunLinkage, LibrariesOpenedAtFirstUseAreNotLoadedAtStart) {
    const std::vector<std::string> needed =
        OutputLines("/usr/bin/readelf", {"-d", "-W", Autorun()});
    const std::vector<std::string> mapped = OutputLines("/usr/bin/ldd", {Autorun()});
    if (needed.empty() || mapped.empty())
        GTEST_SKIP() << "readelf or ldd did not run";
    // The lists are right if they hold what autorun surely needs.
    ASSERT_NE(std::find_if(needed.begin(), needed.end(),
                           [](const std::string& line) {
                               return line.find("(NEEDED)") != std::string::npos &&
                                      line.find("libc.so.6") != std::string::npos;
                           }),
              needed.end());
    for (const char* library : kLoadedAtFirstUse) {
        for (const std::vector<std::string>* lines : {&needed, &mapped}) {
            for (const std::string& line : *lines)
                EXPECT_EQ(line.find(library), std::string::npos)
                    << library << " is loaded at start: " << line;
        }
    }
}

} // namespace
