// Streams a 500 MB body from the loopback server with Download and with the curl command-line
// tool, and reports the throughput ratio and how far resident memory grew during Download.
#include "support/Text.h"
#include "tests/support/LoopbackHttpServer.h"
#include "update/Download.h"

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Vellmar::Testing::HttpRoute;
using Vellmar::Testing::LoopbackHttpServer;

constexpr std::uint64_t BodyBytes = 500ull * 1000 * 1000;

struct Fixture {
    LoopbackHttpServer server{std::chrono::seconds(120)};
    fs::path target = fs::temp_directory_path() / ("vellmar-bench-" + std::to_string(::getpid()));
    std::string url;
    Fixture() {
        HttpRoute big;
        big.generatedSize = BodyBytes;
        server.Route("/big", big);
        HttpRoute small;
        small.body = "warm-up";
        server.Route("/small", small);
        url = server.Url("/big");
    }
    ~Fixture() { fs::remove(target); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Samples resident memory while it lives and keeps the peak.
class PeakSampler {
public:
    PeakSampler()
        : thread([this] {
              while (!done) {
                  peak = std::max(peak.load(), ResidentKiB());
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          }) {}
    ~PeakSampler() {
        done = true;
        thread.join();
    }
    long Peak() const { return std::max(peak.load(), ResidentKiB()); }

private:
    std::atomic<bool> done{false};
    std::atomic<long> peak{0};
    std::thread thread;
};

void RunDownload(const std::string& url, const fs::path& target) {
    Vellmar::DownloadContext context;
    context.url = Vellmar::Utf8ToWide(url);
    context.checkAbort = [] {};
    Vellmar::Download(context, Vellmar::Utf8ToWide(target.string()));
}

using Clock = std::chrono::steady_clock;

bool RunCurlTool(const std::string& url, const fs::path& target) {
    const std::string out = target.string();
    const char* argv[] = {"curl", "-q", "-s", "-f", "-o", out.c_str(), url.c_str(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The two clients take turns, so that load from elsewhere on the machine hits both alike.
void BM_DownloadVsCurlTool(benchmark::State& state) {
    Fixture& f = Shared();
    RunDownload(f.server.Url("/small"), f.target); // one-time library set-up is not growth
    const long baseline = ResidentKiB();
    long peak = baseline;
    Clock::duration ours{}, tool{};
    for (auto _ : state) {
        auto start = Clock::now();
        {
            PeakSampler sampler;
            RunDownload(f.url, f.target);
            peak = std::max(peak, sampler.Peak());
        }
        ours += Clock::now() - start;
        if (fs::file_size(f.target) != BodyBytes) {
            state.SkipWithError("short file");
            return;
        }
        start = Clock::now();
        if (!RunCurlTool(f.url, f.target)) {
            state.SkipWithError("the curl tool failed");
            return;
        }
        tool += Clock::now() - start;
    }
    const auto megabytesPerSecond = [&](Clock::duration spent) {
        return static_cast<double>(state.iterations()) * BodyBytes / 1e6 /
               std::chrono::duration<double>(spent).count();
    };
    state.counters["download_MBps"] = megabytesPerSecond(ours);
    state.counters["curl_tool_MBps"] = megabytesPerSecond(tool);
    state.counters["ratio"] = megabytesPerSecond(ours) / megabytesPerSecond(tool);
    state.counters["rss_growth_KiB"] = static_cast<double>(peak - baseline);
}

} // namespace

BENCHMARK(BM_DownloadVsCurlTool)->Iterations(6)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
