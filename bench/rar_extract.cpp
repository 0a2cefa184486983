// Extracting a 200 MB stored RAR archive through RarArchive and libunrar.so, against
// libarchive's own bsdtar on the same file in the same run.
#include "tests/support/Rar4Writer.h"
#include "update/RarArchive.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

const fs::path& Workspace() {
    static const fs::path path = [] {
        std::string pattern = (fs::temp_directory_path() / "rarbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return fs::path(pattern);
    }();
    return path;
}

const std::string& ArchivePath() {
    static const std::string path = [] {
        std::mt19937_64 random(42);
        Vellmar::Testing::Rar4Writer writer;
        for (int file = 0; file < 4; ++file) {
            std::string data(50u << 20, '\0');
            for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
                const std::uint64_t value = random();
                std::memcpy(&data[i], &value, 8);
            }
            writer.file("data/part" + std::to_string(file) + ".bin", std::move(data));
        }
        const std::string target = (Workspace() / "bench.rar").string();
        Vellmar::Testing::Rar4Writer::save(target, writer.bytes());
        return target;
    }();
    return path;
}

fs::path FreshFolder(benchmark::State& state) {
    state.PauseTiming();
    const fs::path out = Workspace() / "out";
    fs::remove_all(out);
    fs::create_directories(out);
    state.ResumeTiming();
    return out;
}

void RarArchiveExtract(benchmark::State& state) {
    const std::string& archivePath = ArchivePath();
    for (auto _ : state) {
        const fs::path out = FreshFolder(state);
        RarArchive archive;
        archive.open(archivePath, RAR_OM_EXTRACT);
        while (archive.items().next())
            archive.items().extractToPath(out.string());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(archivePath)));
}

void BsdtarExtract(benchmark::State& state) {
    const std::string& archivePath = ArchivePath();
    for (auto _ : state) {
        const fs::path out = FreshFolder(state);
        const std::string command = "bsdtar -xf '" + archivePath + "' -C '" + out.string() + "'";
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("bsdtar failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(archivePath)));
}

} // namespace

BENCHMARK(BsdtarExtract)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(RarArchiveExtract)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BsdtarExtract)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(Workspace(), ignored);
}
