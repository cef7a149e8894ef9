// Saving never damages the old file: failures part way through an in-place
// write, file-size limits, kills, shared folders of ordinary users, hard
// links and the leftovers of ended saves. Tests that act as an ordinary user
// fork a child that drops to "nobody", which needs the superuser.
#include "TestFiles.h"
#include "csv/FileReading.h"
#include "csv/FileWriting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
constexpr gid_t kTeam = 4242; // a group "nobody" is made a member of

// Lines of `size` bytes or a little more, told apart by `mark`.
std::string textOf(char mark, std::size_t size) {
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text += std::string(1, mark) + std::to_string(line) + ",東京\r\n";
    return text;
}

// Fails the nth time (counted from 1) of a step with an error.
struct Fault {
    WriteStep step;
    int nth;
    int error;
};

std::function<int(WriteStep)> hookOf(std::vector<Fault> faults) {
    auto counts = std::make_shared<std::map<WriteStep, int>>();
    return [faults = std::move(faults), counts](WriteStep step) {
        const int count = ++(*counts)[step];
        for (const Fault& fault : faults)
            if (fault.step == step && fault.nth == count) return fault.error;
        return 0;
    };
}

class SafeSave : public testing::Test {
protected:
    void SetUp() override {
        root_ = makeTemporaryFolder("tabulix-save");
        ASSERT_FALSE(root_.empty());
        fs::permissions(root_, fs::perms(0755));
        dir_ = root_ / "work";
        fs::create_directory(dir_);
        fs::permissions(dir_, fs::perms(0777));
        cache_ = root_ / "cache";
        fs::create_directory(cache_);
        fs::permissions(cache_, fs::perms(0777));
        ::setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    }
    void TearDown() override {
        SetWriteStepHookForTesting({});
        ::unsetenv("XDG_CACHE_HOME");
        for (const auto& entry : fs::recursive_directory_iterator(root_))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms(0755));
        fs::remove_all(root_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static void put(const std::string& file, std::string_view bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string content(const std::string& file) {
        return ReadFileBytes(file).value_or("<unreadable>");
    }
    static struct stat statOf(const std::string& file) {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info;
    }

    std::vector<std::string> names(const fs::path& folder) const {
        std::vector<std::string> out;
        if (!fs::exists(folder)) return out;
        for (const auto& entry : fs::directory_iterator(folder))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // The copies of old contents left in the cache folder.
    std::vector<std::string> copies() const { return names(cache_ / "tabulix"); }

    // Runs `body` in a child process, as "nobody" with the given extra groups
    // when asked; the child's wait status.
    static int runInChild(const std::function<int()>& body, bool ordinaryUser = false,
                          std::vector<gid_t> groups = {}) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (ordinaryUser && (::setgroups(groups.size(), groups.data()) != 0 ||
                                 ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0))
                ::_exit(99);
            ::_exit(body());
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    }

    static int exitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

    // An old file of its own name and a second hard link to it, so that a
    // save must write it in place.
    std::string linkedFile(std::string_view old) {
        const std::string file = path("linked.csv");
        put(file, old);
        fs::create_hard_link(file, path("other-name.csv"));
        return file;
    }

    fs::path root_, dir_, cache_;
};

// Each failure part way through an in-place write puts the old content back
// from its copy; the copy is removed once it is back.
TEST_F(SafeSave, InPlaceFailuresPutTheOldFileBack) {
    const std::string old = textOf('o', std::size_t{5} << 19);
    struct Case {
        std::string name;
        std::size_t newSize;
        std::vector<Fault> faults;
        int error;
        OldFile oldFile;
    };
    const std::vector<Case> cases = {
        {"full disk without room reserved",
         std::size_t{7} << 19,
         {{WriteStep::Reserve, 1, EOPNOTSUPP}, {WriteStep::Write, 2, ENOSPC}},
         ENOSPC,
         OldFile::Restored},
        {"full disk beyond the old size",
         std::size_t{7} << 19,
         {{WriteStep::Reserve, 1, EOPNOTSUPP}, {WriteStep::Write, 4, ENOSPC}},
         ENOSPC,
         OldFile::Restored},
        {"cut to a shorter size fails",
         1000,
         {{WriteStep::Truncate, 1, EIO}},
         EIO,
         OldFile::Restored},
        {"first write fails",
         std::size_t{7} << 19,
         {{WriteStep::Write, 1, EIO}},
         EIO,
         OldFile::Unchanged},
        {"no room to reserve",
         std::size_t{7} << 19,
         {{WriteStep::Reserve, 1, ENOSPC}},
         ENOSPC,
         OldFile::Unchanged},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        const std::string file = linkedFile(old);
        const ino_t inode = statOf(file).st_ino;
        SetWriteStepHookForTesting(hookOf(c.faults));
        const WriteResult result = WriteFileAtomically(file, textOf('n', c.newSize));
        SetWriteStepHookForTesting({});
        EXPECT_EQ(result.error.value(), c.error) << c.name;
        EXPECT_EQ(result.oldFile, c.oldFile) << c.name;
        EXPECT_TRUE(content(file) == old) << c.name;
        EXPECT_EQ(statOf(file).st_ino, inode) << c.name;
        EXPECT_EQ(statOf(file).st_nlink, 2u) << c.name;
        EXPECT_EQ(copies(), std::vector<std::string>{}) << c.name;
        EXPECT_EQ(names(dir_), (std::vector<std::string>{"linked.csv", "other-name.csv"}));
    }
}

// Where even putting it back fails, the copy stays and the result names it.
TEST_F(SafeSave, OldContentStaysInItsCopyWhenItCannotBePutBack) {
    const std::string old = textOf('o', std::size_t{5} << 19);
    const std::string file = linkedFile(old);
    SetWriteStepHookForTesting(
        hookOf({{WriteStep::Write, 2, ENOSPC}, {WriteStep::Restore, 1, EIO}}));
    const WriteResult result = WriteFileAtomically(file, textOf('n', std::size_t{7} << 19));
    EXPECT_EQ(result.error, std::errc::no_space_on_device);
    EXPECT_EQ(result.oldFile, OldFile::NotRestored);
    ASSERT_EQ(copies().size(), 1u);
    EXPECT_EQ(result.copy, (cache_ / "tabulix" / copies()[0]).string());
    EXPECT_TRUE(content(result.copy) == old);
    EXPECT_EQ(statOf(result.copy).st_mode & 07777, 0600u); // the user's own
    EXPECT_EQ(copies()[0].find("linked.csv."), 0u);
}

// A file-size limit, whether its signal is ignored or left to end the
// program, fails the save cleanly and leaves the old file whole, in place or
// through the temporary file.
TEST_F(SafeSave, FileSizeLimitNeverDamagesTheFileNorEndsTheProgram) {
    const std::string old = textOf('o', 128 << 10);
    const std::string fresh = textOf('n', 256 << 10);
    for (const bool inPlace : {true, false}) {
        for (const bool ignored : {true, false}) {
            fs::remove_all(dir_);
            fs::create_directory(dir_);
            const std::string file = inPlace ? linkedFile(old) : path("plain.csv");
            if (!inPlace) put(file, old);
            const int status = runInChild([&] {
                if (ignored) std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{64 << 10, 64 << 10};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                const WriteResult result = WriteFileAtomically(file, fresh);
                return result.error == std::errc::file_too_large &&
                               result.oldFile == OldFile::Unchanged
                           ? 0
                           : 1;
            });
            const std::string name = std::string(inPlace ? "in place" : "renamed") +
                                     (ignored ? ", signal ignored" : ", signal default");
            EXPECT_EQ(exitCode(status), 0) << name;
            EXPECT_TRUE(content(file) == old) << name;
            EXPECT_EQ(copies(), std::vector<std::string>{}) << name;
            EXPECT_EQ(names(dir_).size(), inPlace ? 2u : 1u) << name; // no temporary left
        }
    }
}

// A signal that would end the program waits until the file written in place
// is whole: new when the write succeeds, old again when it fails. A kill that
// cannot wait leaves the old content in its copy.
TEST_F(SafeSave, KillDuringInPlaceWriteWaitsUntilTheFileIsWhole) {
    const std::string old = textOf('o', 300 << 10);
    const std::string fresh = textOf('n', 100 << 10);
    struct Case {
        std::string name;
        int signal;
        int truncateError;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"terminated, write succeeds", SIGTERM, 0, fresh},
        {"interrupted, write fails", SIGINT, EIO, old},
        {"hung up, write succeeds", SIGHUP, 0, fresh},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        const std::string file = linkedFile(old);
        const int status = runInChild([&] {
            SetWriteStepHookForTesting([&](WriteStep step) {
                if (step != WriteStep::Truncate) return 0;
                ::kill(::getpid(), c.signal);
                return c.truncateError;
            });
            WriteFileAtomically(file, fresh);
            return 0;
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << c.name;
        EXPECT_EQ(WTERMSIG(status), c.signal) << c.name;
        EXPECT_TRUE(content(file) == c.expected) << c.name;
        EXPECT_EQ(copies(), std::vector<std::string>{}) << c.name;
    }

    fs::remove_all(dir_);
    fs::create_directory(dir_);
    const std::string file = linkedFile(old);
    const int status = runInChild([&] {
        SetWriteStepHookForTesting([](WriteStep step) {
            if (step == WriteStep::Truncate) ::kill(::getpid(), SIGKILL);
            return 0;
        });
        WriteFileAtomically(file, fresh);
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(copies().size(), 1u);
    EXPECT_TRUE(content((cache_ / "tabulix" / copies()[0]).string()) == old);
}

// Where no copy can be kept, the session is asked before the file is written
// in place; without one, or when it says no, nothing is written.
TEST_F(SafeSave, InPlaceWriteWithoutCopyIsAskedFirst) {
    const std::string file = linkedFile("old");
    put(path("plainfile"), "");
    ::setenv("XDG_CACHE_HOME", path("plainfile").c_str(), 1); // no folder can be made there
    const WriteResult alone = WriteFileAtomically(file, "new");
    EXPECT_TRUE(alone.declined);
    EXPECT_EQ(alone.oldFile, OldFile::Unchanged);
    EXPECT_EQ(content(file), "old");

    std::vector<std::string> asked;
    bool answer = false;
    const WriteSession session([&](const std::string& target) {
        asked.push_back(target);
        return answer;
    });
    EXPECT_FALSE(WriteFileAtomically(path("other-name.csv"), "new").ok());
    EXPECT_TRUE(session.lastResult().declined);
    EXPECT_EQ(content(file), "old");
    answer = true;
    EXPECT_TRUE(WriteFileAtomically(file, "new").ok());
    EXPECT_FALSE(session.lastResult().declined);
    EXPECT_EQ(content(path("other-name.csv")), "new");
    EXPECT_EQ(asked, (std::vector<std::string>{path("other-name.csv"), file}));

    // A copy that fails part way is no copy: asked again, and nothing half
    // made is left in the cache.
    ::setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    SetWriteStepHookForTesting(hookOf({{WriteStep::Copy, 1, ENOSPC}}));
    EXPECT_TRUE(WriteFileAtomically(file, "again").ok());
    SetWriteStepHookForTesting({});
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(copies(), std::vector<std::string>{});

    // With a copy, and through a temporary file, nothing is asked.
    EXPECT_TRUE(WriteFileAtomically(file, "newer").ok());
    put(path("plain.csv"), "x");
    EXPECT_TRUE(WriteFileAtomically(path("plain.csv"), "y").ok());
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(content(file), "newer");
    EXPECT_EQ(copies(), std::vector<std::string>{});
}

// An ordinary user saving a file shared with others: the file stays the same
// file with its owner, group and other names wherever it cannot be replaced
// by a new one without losing them.
TEST_F(SafeSave, OrdinaryUserSavesSharedFilesKeepingOwnerGroupAndLinks) {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as a second user needs the superuser";
    struct Case {
        std::string name;
        mode_t folderMode;
        gid_t folderGroup;
        uid_t fileOwner;
        gid_t fileGroup;
        mode_t fileMode;
        bool linked;
        bool sameFile; // written in place
    };
    const std::vector<Case> cases = {
        {"another user's file in a sticky folder", 01777, 0, 0, 0, 0666, false, true},
        {"another user's file in a group folder", 0775, kTeam, 0, kTeam, 0664, false, true},
        {"the user's own file of the group", 0775, kTeam, kNobody, kTeam, 0664, false, false},
        {"a file with a second name", 0777, 0, kNobody, kNoGroup, 0644, true, true},
        {"a writable file in a read-only folder", 0555, 0, 0, 0, 0666, false, true},
    };
    const std::string old = textOf('o', 5000);
    const std::string fresh = textOf('n', 3000);
    for (const Case& c : cases) {
        const fs::path folder = dir_ / "shared";
        fs::remove_all(folder);
        fs::create_directory(folder);
        const std::string file = (folder / "data.csv").string();
        put(file, old);
        if (c.linked) fs::create_hard_link(file, folder / "second.csv");
        ASSERT_EQ(::chown(file.c_str(), c.fileOwner, c.fileGroup), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.fileMode), 0);
        ASSERT_EQ(::chown(folder.c_str(), 0, c.folderGroup), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        // Reached through a link of the user's own.
        fs::remove(path("link.csv"));
        fs::create_symlink(file, path("link.csv"));
        const ino_t inode = statOf(file).st_ino;
        const int status =
            runInChild([&] { return WriteFileAtomically(path("link.csv"), fresh).ok() ? 0 : 1; },
                       true, {kTeam});
        EXPECT_EQ(exitCode(status), 0) << c.name;
        const struct stat after = statOf(file);
        EXPECT_TRUE(content(file) == fresh) << c.name;
        EXPECT_EQ(after.st_uid, c.fileOwner) << c.name;
        EXPECT_EQ(after.st_gid, c.fileGroup) << c.name;
        EXPECT_EQ(after.st_mode & 07777, c.fileMode) << c.name;
        EXPECT_EQ(after.st_ino == inode, c.sameFile) << c.name;
        EXPECT_TRUE(fs::is_symlink(path("link.csv"))) << c.name;
        if (c.linked) {
            EXPECT_TRUE(content((folder / "second.csv").string()) == fresh) << c.name;
        }
        EXPECT_EQ(names(folder).size(), c.linked ? 2u : 1u) << c.name; // no temporary left
        EXPECT_EQ(copies(), std::vector<std::string>{}) << c.name;
        ::chmod(folder.c_str(), 0755);
    }
}

// A refused rename (a sticky folder refuses to replace another user's file)
// puts the bytes written into the file itself.
TEST_F(SafeSave, RefusedRenameWritesInPlace) {
    const std::string file = path("t.csv");
    put(file, textOf('o', 5000));
    const ino_t inode = statOf(file).st_ino;
    SetWriteStepHookForTesting(hookOf({{WriteStep::Rename, 1, EPERM}}));
    const std::string fresh = textOf('n', std::size_t{3} << 19);
    ASSERT_TRUE(WriteFileAtomically(file, fresh).ok());
    EXPECT_TRUE(content(file) == fresh);
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_EQ(names(dir_), std::vector<std::string>{"t.csv"});
    EXPECT_EQ(copies(), std::vector<std::string>{});

    // A new file has nothing to write in place.
    SetWriteStepHookForTesting(hookOf({{WriteStep::Rename, 1, EPERM}}));
    const WriteResult result = WriteFileAtomically(path("new.csv"), "x");
    EXPECT_EQ(result.error, std::errc::operation_not_permitted);
    EXPECT_EQ(result.oldFile, OldFile::None);
    EXPECT_EQ(names(dir_), std::vector<std::string>{"t.csv"});
}

// A save killed part way leaves its temporary file; the next save of the same
// file removes it, and only what is exactly such a leftover.
TEST_F(SafeSave, LeftoversOfEndedSavesAreRemovedByTheNextSave) {
    const std::string file = path("t.csv");
    put(file, "old");
    const int status = runInChild([&] {
        WriteFileAtomically(file, [](const ByteSink& sink) {
            sink("partial");
            ::kill(::getpid(), SIGKILL);
            return true;
        });
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::vector<std::string> left = names(dir_);
    ASSERT_EQ(left.size(), 2u);
    const std::string killed = left[0] == "t.csv" ? left[1] : left[0];
    EXPECT_EQ(killed.find(".t.csv."), 0u);
    // The pid of a process that is gone, and one that runs.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string g = std::to_string(gone);
    const std::string running = std::to_string(::getppid());
    const std::vector<std::string> kept = {
        ".t.csv." + running + "-0.tmp", // its save may still be going on
        // Not exactly our naming.
        ".t.csv." + g + "-0.tmp.x",
        ".t.csv." + g + "-x.tmp",
        ".t.csv." + g + "-00.tmp",
        ".t.csv.x" + g + "-0.tmp",
        "t.csv." + g + "-0.tmp",
        // Another file's.
        ".other.csv." + g + "-0.tmp",
        ".t.csv.csv." + g + "-0.tmp",
    };
    for (const std::string& name : kept)
        put(path(name), "x");
    put(path(".t.csv." + g + "-7.tmp"), "left");
    fs::create_directory(path(".t.csv." + g + "-8.tmp")); // not a file we make
    fs::create_symlink("t.csv", path(".t.csv." + g + "-9.tmp"));
    ASSERT_TRUE(WriteFileAtomically(file, "new").ok());
    std::vector<std::string> expected = kept;
    expected.push_back("t.csv");
    expected.push_back(".t.csv." + g + "-8.tmp");
    expected.push_back(".t.csv." + g + "-9.tmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(dir_), expected);
    EXPECT_EQ(content(file), "new");
}

} // namespace
} // namespace tabulix
