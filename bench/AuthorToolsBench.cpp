// Wall time of `autorun /check` and `autorun /preview` on the bundled demo, spawn to exit: an
// author runs them on every change, so both must stay well under a second.
#include "tests/support/ProcessRunner.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Vellmar::Testing::TempDir;

void RunTool(benchmark::State& state, const std::string& tool) {
    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    TempDir scratch("vellmar-author-bench");
    const std::vector<std::string> arguments = {
        tool == "preview" ? "/preview=" + (scratch / "preview").string() : "/check"};
    for (auto _ : state) {
        const TestSupport::ProcessResult result = TestSupport::RunProcess(
            (bin / "autorun").string(), arguments,
            {{"HOME", scratch.Path().string()}, {"AUTORUN_NONINTERACTIVE", "1"}});
        if (result.exitCode != 0) {
            state.SkipWithError((result.out + result.err).c_str());
            break;
        }
    }
}

} // namespace

BENCHMARK_CAPTURE(RunTool, check, std::string("check"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK_CAPTURE(RunTool, preview, std::string("preview"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

BENCHMARK_MAIN();
