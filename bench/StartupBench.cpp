// Start-up to the first painted page: the bundled demo launcher against a minimal Qt program
// that shows the same background bitmap. Both run as whole processes on Qt's offscreen platform
// in a throw-away home. Each marks the moment its page has been painted by creating a folder:
// the launcher through its own configuration (the demo's default page names an action queue
// that waits one event-loop round past the first paint, creates the folder and closes), the
// minimal program the same way. The time is spawn to marker; shutting down is not start-up.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kIterations = 15;
constexpr int kTimeLimitMs = 30000;
const char* const kCloseQueue = "bench_close";

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// The value of `name="..."` inside the tag that starts at `tagStart`.
std::string AttributeOfTag(const std::string& xml, std::size_t tagStart, const std::string& name) {
    const std::size_t tagEnd = xml.find('>', tagStart);
    const std::size_t at = xml.find(" " + name + "=\"", tagStart);
    if (at == std::string::npos || at > tagEnd)
        return {};
    const std::size_t valueStart = at + name.size() + 3;
    return xml.substr(valueStart, xml.find('"', valueStart) - valueStart);
}

std::size_t FindOrThrow(const std::string& xml, const std::string& what) {
    const std::size_t at = xml.find(what);
    if (at == std::string::npos)
        throw std::runtime_error("the demo configuration has no " + what);
    return at;
}

struct ProcessRun {
    int exitCode = -1;
    double seconds = 0;    // spawn to marker
    double cpuSeconds = 0; // user and system time of the whole child run
    bool markerSeen = false;
};

// Waits (bounded) until `marker` exists; an inotify watch on its folder wakes us at once.
bool WaitForMarker(int watch, const fs::path& marker, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    char events[4096];
    while (!fs::exists(marker)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiter{watch, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waiter, 1, static_cast<int>(left.count())) != 1)
            return fs::exists(marker);
        if (::read(watch, events, sizeof events) < 0)
            return fs::exists(marker);
    }
    return true;
}

// Spawns `argv` with `environment`, stderr into `errFile`, times it until `marker` appears and
// waits (bounded) for its end.
ProcessRun TimeProcess(const std::vector<std::string>& argv,
                       const std::vector<std::string>& environment, const fs::path& errFile,
                       const fs::path& marker) {
    std::vector<char*> args, envp;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    ProcessRun run;
    fs::remove_all(marker);
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(watch, marker.parent_path().c_str(), IN_CREATE);
    pid_t child = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&child, args[0], &files, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        ::close(watch);
        return run;
    }
    run.markerSeen = WaitForMarker(watch, marker, kTimeLimitMs);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(watch);
    // A pidfd wakes us the moment the child ends, without a polling interval in the timing.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    pollfd waiter{pidfd, POLLIN, 0};
    if (pidfd < 0 || ::poll(&waiter, 1, kTimeLimitMs) != 1)
        ::kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (pidfd >= 0)
        ::close(pidfd);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A copy of the demo disc in a temporary folder, its default page set to close the launcher,
// and a home of its own for both programs.
class StartupScene {
public:
    StartupScene() {
        char pattern[] = "/tmp/vellmar-startbench-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("no temporary folder");
        root = pattern;
        const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
        // A copy, as /proc/self/exe names the real file and the data folder is found beside it.
        fs::create_directories(root / "disc");
        fs::copy_file(bin / "autorun", root / "disc/autorun");
        if (fs::exists(bin / "libunrar.so"))
            fs::copy_file(bin / "libunrar.so", root / "disc/libunrar.so");
        fs::copy(bin / "data", root / "disc" / "data", fs::copy_options::recursive);
        background = PatchConfiguration(root / "disc" / "data" / "autorun.xml");
        minimal = bin / "bench_minimal_qt_window";
        for (const char* folder : {"home/.config", "home/.cache", "home/.local/share",
                                   "home/.local/state", "runtime", "registry"})
            fs::create_directories(root / folder);
        fs::permissions(root / "runtime", fs::perms::owner_all);
        environment = Environment();
    }
    ~StartupScene() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    StartupScene(const StartupScene&) = delete;
    StartupScene& operator=(const StartupScene&) = delete;

    std::vector<std::string> LauncherCommand() const { return {(root / "disc/autorun").string()}; }
    std::vector<std::string> MinimalCommand() const {
        return {minimal.string(), background.string(), Marker().string()};
    }

    // Runs a command once; the first runs fill the caches of the new home (fonts, GStreamer's
    // plugin registry) and the news folder, as any earlier start on a player's machine would.
    ProcessRun Run(const std::vector<std::string>& command) const {
        const ProcessRun run = TimeProcess(command, environment, root / "stderr.txt", Marker());
        if (!run.markerSeen)
            throw std::runtime_error(command[0] + " never marked its painted page");
        if (run.exitCode != 0)
            throw std::runtime_error(command[0] + " ended with " + std::to_string(run.exitCode) +
                                     ": " + ReadText(root / "stderr.txt"));
        const std::string errors = ReadText(root / "stderr.txt");
        if (errors.find("MessageBox:") != std::string::npos)
            throw std::runtime_error(command[0] + " showed a message box: " + errors);
        return run;
    }

    fs::path Marker() const { return root / "painted"; }

private:
    // Gives the default page the closing queue; returns that page's background bitmap.
    fs::path PatchConfiguration(const fs::path& file) const {
        std::string xml = ReadText(file);
        const std::string page = AttributeOfTag(xml, FindOrThrow(xml, "<pages "), "default");
        const std::size_t pageTag = FindOrThrow(xml, "<page name=\"" + page + "\"");
        std::string bitmap = AttributeOfTag(xml, pageTag, "background");
        xml.insert(pageTag + 5, std::string(" actionqueue=\"") + kCloseQueue + "\"");
        xml.insert(FindOrThrow(xml, "<actionqueues>") + 14,
                   std::string("<actionqueue name=\"") + kCloseQueue +
                       "\"><delay value=\"1\"/><action action=\"createdir\" "
                       "value=\"bench_marker\"/><action action=\"system\" value=\"close\"/>"
                       "</actionqueue>");
        // createdir names its folder through the string table; "en" is the fallback table.
        const std::string english = "<strings language=\"en\">";
        xml.insert(FindOrThrow(xml, english) + english.size(),
                   "<string name=\"bench_marker\">" + Marker().string() + "</string>");
        WriteText(file, xml);
        // The demo names its art through ${ART}, which is ${CONFIGXML_DIR}\art.
        const fs::path data = file.parent_path();
        for (const auto& [variable, value] :
             {std::pair<std::string, fs::path>{"${ART}", data / "art"}, {"${CONFIGXML_DIR}", data}})
            if (bitmap.rfind(variable, 0) == 0)
                bitmap = value.string() + bitmap.substr(variable.size());
        std::replace(bitmap.begin(), bitmap.end(), '\\', '/');
        if (!fs::is_regular_file(bitmap))
            throw std::runtime_error("no background bitmap " + bitmap);
        return bitmap;
    }

    std::vector<std::string> Environment() const {
        const std::map<std::string, std::string> overrides{
            {"HOME", (root / "home").string()},
            {"XDG_CONFIG_HOME", (root / "home/.config").string()},
            {"XDG_CACHE_HOME", (root / "home/.cache").string()},
            {"XDG_DATA_HOME", (root / "home/.local/share").string()},
            {"XDG_STATE_HOME", (root / "home/.local/state").string()},
            {"XDG_RUNTIME_DIR", (root / "runtime").string()},
            {"VELLMAR_REGISTRY_DIR", (root / "registry").string()},
            {"QT_QPA_PLATFORM", "offscreen"},
            {"AUTORUN_NONINTERACTIVE", "1"},
            {"VELLMAR_AUDIO_SINK", "fakesink sync=true"}, // played in full, heard by nobody
            {"LANG", "C.UTF-8"}};
        std::vector<std::string> entries;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            const std::string name = text.substr(0, text.find('='));
            if (!overrides.count(name) && name != "LC_ALL" && name != "LC_MESSAGES")
                entries.push_back(text);
        }
        for (const auto& [name, value] : overrides)
            entries.push_back(name + "=" + value);
        return entries;
    }

    fs::path root, background, minimal;
    std::vector<std::string> environment;
};

StartupScene* scene = nullptr;
std::map<std::string, std::vector<double>> samples, cpuSamples;

void TimeStartup(benchmark::State& state, const std::vector<std::string>& command,
                 const std::string& name) {
    try {
        scene->Run(command); // warm-up
        double cpuMilliseconds = 0;
        for (auto _ : state) {
            const ProcessRun run = scene->Run(command);
            state.SetIterationTime(run.seconds);
            cpuMilliseconds += run.cpuSeconds * 1e3;
            samples[name].push_back(run.seconds);
            cpuSamples[name].push_back(run.cpuSeconds);
        }
        state.counters["cpu_ms"] =
            benchmark::Counter(cpuMilliseconds, benchmark::Counter::kAvgIterations);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void AutorunDemo(benchmark::State& state) {
    TimeStartup(state, scene->LauncherCommand(), "autorun");
}
BENCHMARK(AutorunDemo)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);

void MinimalQtWindow(benchmark::State& state) {
    TimeStartup(state, scene->MinimalCommand(), "minimal");
}
BENCHMARK(MinimalQtWindow)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRatio(std::map<std::string, std::vector<double>>& times, const char* what) {
    const auto& launcher = times["autorun"];
    const auto& minimal = times["minimal"];
    if (launcher.empty() || minimal.empty())
        return;
    const double ratio = Median(launcher) / Median(minimal);
    std::printf("Start-up to first painted page, %s (medians): autorun %.1f ms, minimal Qt "
                "window %.1f ms, ratio %.2f (target at most 1.50): %s\n",
                what, Median(launcher) * 1e3, Median(minimal) * 1e3, ratio,
                ratio <= 1.5 ? "met" : "NOT met");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        StartupScene built;
        scene = &built;
        benchmark::RunSpecifiedBenchmarks();
        scene = nullptr;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup bench: %s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    std::printf("\n");
    PrintRatio(samples, "wall time");
    PrintRatio(cpuSamples, "CPU time");
    return 0;
}
