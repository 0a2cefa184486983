#include "platform/MountWatcher.h"
#include "platform/MediaRestart.h"
#include "support/Text.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <filesystem>

using namespace Vellmar::Platform;

namespace {

// A mountinfo line with the given (already escaped) mount point.
std::string Line(int id, const std::string& mountPoint) {
    return std::to_string(id) + " 1 8:1 / " + mountPoint +
           " rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
}

} // namespace

TEST(MountWatcher, ParsesMountPointsAndDecodesEscapes) {
    const std::string text = Line(20, "/") + Line(21, "/media/user/MY\\040DISC") +
                             Line(22, "/mnt/tab\\011and\\134back") + "garbage\n\n" +
                             Line(23, "/odd\\04") + Line(24, "/media/\\303\\244");
    EXPECT_EQ(MountWatcher::ParseMountPoints(text),
              (std::vector<std::string>{"/", "/media/user/MY DISC", "/mnt/tab\tand\\back",
                                        "/odd\\04", "/media/\xC3\xA4"}));
}

TEST(MountWatcher, ReportsOnlyNewMountPoints) {
    TempDir dir;
    const std::string file = dir / "mountinfo";
    WriteFile(file, Line(1, "/") + Line(2, "/media/a"));
    MountWatcher watcher(file);
    EXPECT_EQ(watcher.MountPoints().size(), 2u);
    EXPECT_TRUE(watcher.Changes().empty());

    WriteFile(file, Line(1, "/") + Line(3, "/media/b\\040c") + Line(2, "/media/a"));
    EXPECT_EQ(watcher.Changes(), std::vector<std::string>{"/media/b c"});
    // Gone and back again is a new arrival; a disappearance alone is none.
    WriteFile(file, Line(1, "/"));
    EXPECT_TRUE(watcher.Changes().empty());
    WriteFile(file, Line(1, "/") + Line(4, "/media/a"));
    EXPECT_EQ(watcher.Changes(), std::vector<std::string>{"/media/a"});
    // The disc that was ejected still tells which mount held a path.
    EXPECT_EQ(watcher.HoldingMountPoint("/media/b c/autorun"), "/media/b c");
}

TEST(MountWatcher, HoldingMountPointIsTheLongestWholeComponentPrefix) {
    TempDir dir;
    const std::string file = dir / "mountinfo";
    WriteFile(file, Line(1, "/") + Line(2, "/media") + Line(3, "/media/disc"));
    const MountWatcher watcher(file);
    const struct {
        const char* path;
        const char* holder;
    } cases[] = {{"/media/disc/autorun", "/media/disc"},
                 {"/media/disc", "/media/disc"},
                 {"/media/disc2/autorun", "/media"},
                 {"/home/x", "/"},
                 {"relative", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(watcher.HoldingMountPoint(c.path), c.holder) << c.path;
}

TEST(MountWatcher, ReRootTable) {
    const struct {
        const char *path, *from, *to, *expected;
    } cases[] = {{"/media/d1/bin/autorun", "/media/d1", "/media/d2", "/media/d2/bin/autorun"},
                 {"/media/d1/autorun", "/media/d1", "/media/d2/", "/media/d2/autorun"},
                 {"/home/x/autorun", "/", "/media/d2", "/media/d2/home/x/autorun"},
                 {"/media/d1/autorun", "/media/d1", "/", "/autorun"},
                 {"/media/d10/autorun", "/media/d1", "/media/d2", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(ReRoot(c.path, c.from, c.to), c.expected) << c.path;
}

TEST(MountWatcher, RealMountTableIsPollableAndQuietWithoutChanges) {
    MountWatcher watcher;
    ASSERT_GE(watcher.Descriptor(), 0);
    EXPECT_FALSE(watcher.MountPoints().empty());
    EXPECT_EQ(watcher.HoldingMountPoint("/proc/self"), "/proc");
    pollfd entry{watcher.Descriptor(), POLLPRI, 0};
    EXPECT_EQ(::poll(&entry, 1, 0), 0) << "no mount change right after reading";
    EXPECT_TRUE(watcher.Changes().empty());
    MountWatcher missing("/nonexistent/mountinfo"); // an empty table
    EXPECT_EQ(missing.Descriptor(), -1);
    EXPECT_TRUE(missing.Changes().empty());
}

TEST(MediaRestart, CommandNeedsBothFilesOnTheNewMount) {
    TempDir dir;
    const std::string old = dir / "old", fresh = dir / "new";
    dir.Write("old/autorun", "x");
    dir.Write("old/data/autorun.xml", "x");
    std::filesystem::create_directories(fresh + "/data");
    WriteFile(dir / "mountinfo", Line(1, "/") + Line(2, old) + Line(3, fresh));
    const MountWatcher watcher(dir / "mountinfo");
    const RestartRequest request{Vellmar::Utf8ToWide(old + "/autorun"),
                                 Vellmar::Utf8ToWide(old + "/data/autorun.xml"),
                                 {"/log", "two words"}};

    EXPECT_TRUE(RestartCommand(request, watcher, fresh).empty()) << "nothing on the new disc";
    WriteFile(fresh + "/AUTORUN", "x");
    EXPECT_TRUE(RestartCommand(request, watcher, fresh).empty()) << "configuration missing";
    WriteFile(fresh + "/data/autorun.xml", "x");
    EXPECT_EQ(RestartCommand(request, watcher, fresh),
              (std::vector<std::string>{fresh + "/AUTORUN", "/log", "two words"}))
        << "a disc written on Windows may spell names in another case";
}

TEST(MediaRestart, CurrentArgumentsKeepEmptyAndSpacedArguments) {
    TempDir dir;
    WriteFile(dir / "cmdline", std::string("/x/autorun\0/log\0\0a b\0", 21));
    EXPECT_EQ(CurrentArguments(dir / "cmdline"), (std::vector<std::string>{"/log", "", "a b"}));
}
