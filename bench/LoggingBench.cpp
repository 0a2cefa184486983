// What logging costs when /log was not given: the level check and the skipped message.

#include "support/LogManager.h"
#include "support/Logger.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<std::size_t> allocations{0};

} // namespace

// Out of line, so that the compiler does not pair an inlined malloc with a sized delete.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using Vellmar::Diagnostics::Logger;
using Vellmar::Diagnostics::LogManager;

void DisabledLog(benchmark::State& state, const std::wstring& loggerName) {
    LogManager::getLogger(L"")->setLevel(0);
    const std::shared_ptr<Logger> logger = LogManager::getLogger(loggerName);
    int i = 0;
    const std::size_t before = allocations.load();
    for (auto _ : state) {
        if (logger->isEnabledFor(3))
            logger->log(3, L"Downloading part " + std::to_wstring(i), L"CheckNewsUpdate", L"Run");
        benchmark::DoNotOptimize(++i);
    }
    const std::size_t allocated = allocations.load() - before;
    state.counters["allocations"] = static_cast<double>(allocated);
    if (allocated != 0)
        state.SkipWithError("a disabled log allocated memory");
}

void BM_DisabledRootLogger(benchmark::State& state) {
    DisabledLog(state, L"");
}
void BM_DisabledNamedLogger(benchmark::State& state) {
    DisabledLog(state, L"autorun.CheckNewsUpdate");
}

} // namespace

BENCHMARK(BM_DisabledRootLogger);
BENCHMARK(BM_DisabledNamedLogger);

BENCHMARK_MAIN();
