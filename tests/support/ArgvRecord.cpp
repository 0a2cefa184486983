#include "tests/support/ArgvRecord.h"

#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace Vellmar::Testing {

fs::path ArgvRecorderPath() {
    if (const char* dir = std::getenv("VELLMAR_TEST_BIN_DIR"))
        if (fs::exists(fs::path(dir) / "argv_recorder"))
            return fs::path(dir) / "argv_recorder";
    return fs::read_symlink("/proc/self/exe").parent_path() / "argv_recorder";
}

std::optional<ArgvRecord> WaitForArgvRecord(const fs::path& file,
                                            std::chrono::milliseconds timeout) {
    if (!WaitUntil([&] { return fs::exists(file); }, timeout))
        return std::nullopt;
    ArgvRecord record;
    const std::string bytes = ReadFile(file);
    for (std::size_t pos = 0, end; (end = bytes.find('\0', pos)) != std::string::npos;
         pos = end + 1) {
        const std::string item = bytes.substr(pos, end - pos);
        const std::string value = item.substr(item.find('=') + 1);
        if (item.starts_with("cwd="))
            record.cwd = value;
        else if (item.starts_with("session="))
            record.session = value;
        else if (item.starts_with("fds="))
            record.fds = value;
        else
            record.args.push_back(value);
    }
    return record;
}

} // namespace Vellmar::Testing
