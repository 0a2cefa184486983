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
#include <cstdio>
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
    Vellmar::Download(context, target.wstring());
}

double oursBytesPerSecond = 0, curlBytesPerSecond = 0;

double BytesPerSecond(std::int64_t iterations, std::chrono::steady_clock::time_point start) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<double>(iterations) * static_cast<double>(BodyBytes) / elapsed.count();
}

void BM_Download(benchmark::State& state) {
    Fixture& f = Shared();
    RunDownload(f.server.Url("/small"), f.target); // one-time library set-up is not growth
    const long baseline = ResidentKiB();
    long peak = baseline;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        PeakSampler sampler;
        RunDownload(f.url, f.target);
        peak = std::max(peak, sampler.Peak());
    }
    if (fs::file_size(f.target) != BodyBytes)
        state.SkipWithError("short file");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * BodyBytes));
    state.counters["rss_growth_KiB"] = static_cast<double>(peak - baseline);
    oursBytesPerSecond = BytesPerSecond(state.iterations(), start);
}

void BM_CurlTool(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string out = f.target.string();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const char* argv[] = {"curl", "-q", "-s", "-f", "-o", out.c_str(), f.url.c_str(), nullptr};
        pid_t child = 0;
        if (::posix_spawnp(&child, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            state.SkipWithError("curl not found");
            return;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("curl failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * BodyBytes));
    curlBytesPerSecond = BytesPerSecond(state.iterations(), start);
}

} // namespace

BENCHMARK(BM_Download)->Iterations(4)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlTool)->Iterations(4)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (oursBytesPerSecond > 0 && curlBytesPerSecond > 0)
        std::printf("Download %.0f MB/s, curl tool %.0f MB/s, ratio %.3f\n",
                    oursBytesPerSecond / 1e6, curlBytesPerSecond / 1e6,
                    oursBytesPerSecond / curlBytesPerSecond);
    benchmark::Shutdown();
    return 0;
}
