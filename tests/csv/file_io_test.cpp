#include "TestFiles.h"
#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tabulix {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

// How a byte that is invalid UTF-8 is kept in the text.
std::string raw(unsigned char byte) {
    return {'\xF4', '\x8F', static_cast<char>(0xB8 | byte >> 6),
            static_cast<char>(0x80 | (byte & 0x3F))};
}

namespace fs = std::filesystem;

class FileIo : public testing::Test {
protected:
    void SetUp() override {
        dir_ = makeTemporaryFolder("tabulix-csv");
        ASSERT_FALSE(dir_.empty());
        fs::permissions(dir_, fs::perms(0755));
        // Copies of files written in place go to a folder every user may write.
        cache_ = makeTemporaryFolder("tabulix-cache");
        ASSERT_FALSE(cache_.empty());
        fs::permissions(cache_, fs::perms(0777));
        ::setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms(0755));
        fs::remove_all(dir_);
        ::unsetenv("XDG_CACHE_HOME");
        fs::remove_all(cache_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static void put(const std::string& file, std::string_view bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    static std::string content(const std::string& file) {
        return ReadFileBytes(file).value_or("<unreadable>");
    }

    static unsigned mode(const std::string& file) {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_mode & 07777;
    }

    static ino_t inodeOf(const std::string& file) {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_ino;
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir_))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    // Runs `body` in a child process and returns its exit code; as an
    // ordinary user when asked, since folder and file permissions do not stop
    // root, which the tests may run as.
    static int runInChild(const std::function<int()>& body, bool ordinaryUser) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (ordinaryUser && ::geteuid() == 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(99);
            ::_exit(body());
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
    }

    static int runAsOrdinaryUser(const std::function<int()>& body) {
        return runInChild(body, true);
    }

    fs::path dir_;
    fs::path cache_;
};

TEST_F(FileIo, ReadFileBytesReadsEveryByte) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    put(path("data"), bytes);
    EXPECT_EQ(ReadFileBytes(path("data")), bytes);
    put(path("empty"), "");
    EXPECT_EQ(ReadFileBytes(path("empty")), "");
    // A file whose size is not known in advance.
    const std::optional<std::string> status = ReadFileBytes("/proc/self/status");
    ASSERT_TRUE(status);
    EXPECT_NE(status->find("Pid:"), std::string::npos);
}

// CanReadFile gives the same answer without reading the file.
TEST_F(FileIo, ReadFileBytesFailsCleanly) {
    put(path("readable"), "x");
    EXPECT_TRUE(CanReadFile(path("readable")));
    for (const std::string& bad : {path("missing"), dir_.string(), std::string()}) {
        EXPECT_EQ(ReadFileBytes(bad), std::nullopt) << bad;
        EXPECT_FALSE(CanReadFile(bad)) << bad;
    }
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadFileBytes(path("pipe")), std::nullopt); // and does not block
    EXPECT_FALSE(CanReadFile(path("pipe")));
    put(path("secret"), "x");
    fs::permissions(path("secret"), fs::perms::none);
    const std::string secret = path("secret");
    EXPECT_EQ(runAsOrdinaryUser([&] { return ReadFileBytes(secret) || CanReadFile(secret); }), 0);
}

TEST_F(FileIo, ReadTextFileDetectsAndDecodes) {
    struct Case {
        std::string bytes;
        std::optional<TextEncoding> forced;
        std::string text;
        TextEncoding encoding;
    };
    using E = TextEncoding;
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {"a,東京\r\n", std::nullopt, "a,東京\r\n", E::Utf8},
        {kBom + "a,b", std::nullopt, "a,b", E::Utf8Bom},
        {"\x93\x8C\x8B\x9E,\xB1", std::nullopt, "東京,ｱ", E::ShiftJis},
        {"", std::nullopt, "", E::Utf8},
        // What follows a NUL is ignored, also for the detection.
        {"東京\0\xFF\xFF"s, std::nullopt, "東京", E::Utf8},
        {kBom + "a", E::Utf8, "a", E::Utf8Bom},
        {"a", E::Utf8Bom, "a", E::Utf8},
        {"\x82\xA0", E::Utf8, "\xF4\x8F\xBA\x82\xF4\x8F\xBA\xA0", E::Utf8},
        {"東", E::ShiftJis, "譚ｱ", E::ShiftJis}, // the UTF-8 bytes read as CP932
        // A BOM decides without looking further; invalid bytes are kept.
        {kBom + "a\xFF", std::nullopt, "a" + raw(0xFF), E::Utf8Bom},
        {kBom + kBom + "a", std::nullopt, kBom + "a", E::Utf8Bom},
        {kBom + kBom + "\xFF", std::nullopt, kBom + raw(0xFF), E::Utf8Bom},
        {kBom + "a\0\xFF"s, std::nullopt, "a", E::Utf8Bom},
        {"a\xFF", E::Utf8Bom, "a" + raw(0xFF), E::Utf8},
        // A raw-byte code point in the file keeps its four bytes raw; the one
        // just below the range is an ordinary character.
        {"a\xF4\x8F\xBA\x82", std::nullopt, "a" + raw(0xF4) + raw(0x8F) + raw(0xBA) + raw(0x82),
         E::Utf8},
        {"\xF4\x8F\xB7\xBF", std::nullopt, "\xF4\x8F\xB7\xBF", E::Utf8},
    };
    for (const Case& c : cases) {
        put(path("t.csv"), c.bytes);
        const std::optional<TextFile> file = ReadTextFile(path("t.csv"), c.forced);
        ASSERT_TRUE(file) << testing::PrintToString(c.bytes);
        EXPECT_EQ(file->text(), c.text) << testing::PrintToString(c.bytes);
        EXPECT_EQ(file->encoding(), c.encoding) << testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(ReadTextFile(path("missing")), std::nullopt);
}

// Large files are read in two halves at once; what either half finds (a NUL,
// an invalid byte, a raw-byte code point) counts as in a single pass.
TEST_F(FileIo, ReadTextFileOfLargeFiles) {
    // Mostly ASCII, so that decoding it as CP932 is quick too.
    std::string line;
    while (line.size() < 200)
        line += "abcdefghijklmnopqrstuvwxyz,";
    line += "東京\r\n";
    std::string base;
    while (base.size() < (std::size_t{3} << 19))
        base += line;
    const auto at = [&](double share) { return static_cast<std::size_t>(base.size() * share); };
    const auto with = [&](std::size_t pos, const std::string& bytes) {
        return base.substr(0, pos) + bytes + base.substr(pos + bytes.size());
    };
    // Padding in front that puts the middle byte inside a character, at its
    // second byte (n = 0) or its third (n = 1).
    const auto splittingPad = [&](int n) {
        for (std::size_t pad = 0;; ++pad) {
            const std::size_t mid = (base.size() + pad) / 2 - pad;
            if ((base[mid] & 0xC0) == 0x80 && (base[mid - 1 - n] & 0xC0) != 0x80)
                return std::string(pad, 'z');
        }
    };
    using E = TextEncoding;
    struct Case {
        std::string name, bytes;
        std::optional<E> forced;
        std::size_t length; // of the text read, before decoding
        E encoding;
    };
    const std::vector<Case> cases = {
        {"plain", base, std::nullopt, base.size(), E::Utf8},
        {"middle at a second byte", splittingPad(0) + base, std::nullopt,
         base.size() + splittingPad(0).size(), E::Utf8},
        {"middle at a third byte", splittingPad(1) + base, std::nullopt,
         base.size() + splittingPad(1).size(), E::Utf8},
        {"invalid at the end", base + "\xFF", std::nullopt, base.size() + 1, E::ShiftJis},
        {"invalid in the first half", with(at(0.25), "\xFF"), std::nullopt, base.size(),
         E::ShiftJis},
        {"continuations across the middle", with(at(0.5) - 3, std::string(7, '\x80')), std::nullopt,
         base.size(), E::ShiftJis},
        {"NUL in the first half", with(at(0.25), std::string(1, '\0')) + "\xFF", std::nullopt,
         at(0.25), E::Utf8},
        {"NUL in the second half", with(at(0.75), std::string(1, '\0')) + "\xFF", std::nullopt,
         at(0.75), E::Utf8},
        {"raw-byte code point in the second half", base + "\xF4\x8F\xBA\x82", std::nullopt,
         base.size() + 4, E::Utf8},
        {"BOM", kBom + base, std::nullopt, base.size() + 3, E::Utf8Bom},
        {"forced CP932", base, E::ShiftJis, base.size(), E::ShiftJis},
    };
    for (const Case& c : cases) {
        put(path("big.csv"), c.bytes);
        const std::optional<TextFile> file = ReadTextFile(path("big.csv"), c.forced);
        ASSERT_TRUE(file) << c.name;
        EXPECT_EQ(file->encoding(), c.encoding) << c.name;
        const std::string expected = DecodeText(c.bytes.substr(0, c.length), c.encoding);
        EXPECT_TRUE(file->text() == expected) << c.name; // no megabyte dumps on failure
    }
}

// The text stays readable while the TextFile or a copy lives, whatever
// happens to the file.
TEST_F(FileIo, TextFileOutlivesItsFile) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += "row " + std::to_string(i) + ",東京\r\n";
    put(path("t.csv"), bytes);
    std::optional<TextFile> file = ReadTextFile(path("t.csv"));
    ASSERT_TRUE(file);
    const TextFile copy = *file;
    file.reset();
    ASSERT_TRUE(WriteFileAtomically(path("t.csv"), "replaced").ok());
    fs::remove(path("t.csv"));
    EXPECT_TRUE(copy.text() == bytes);
    EXPECT_EQ(copy.encoding(), TextEncoding::Utf8);
}

// Another program truncating the file under a mapped text must neither end
// the program nor go unnoticed; the lost part reads as NUL bytes.
TEST_F(FileIo, TextFileSurvivesItsFileBeingCutShort) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += "row " + std::to_string(i) + ",東京\r\n";
    put(path("t.csv"), bytes);
    const std::optional<TextFile> file = ReadTextFile(path("t.csv"));
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->intact());
    ASSERT_EQ(::truncate(path("t.csv").c_str(), 10), 0);
    std::size_t nulBytes = 0;
    for (const char c : file->text())
        nulBytes += c == '\0';
    EXPECT_FALSE(file->intact());
    EXPECT_GT(nulBytes, bytes.size() / 2);
    EXPECT_EQ(file->text().size(), bytes.size());
    EXPECT_EQ(file->text().substr(0, 10), bytes.substr(0, 10));
    // Other files are not affected.
    put(path("other.csv"), "a,b\r\n");
    const std::optional<TextFile> other = ReadTextFile(path("other.csv"));
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->intact());
    EXPECT_EQ(other->text(), "a,b\r\n");
}

TEST_F(FileIo, ReadTextFileFailsCleanly) {
    EXPECT_EQ(ReadTextFile(dir_.string()), std::nullopt);
    EXPECT_EQ(ReadTextFile(""), std::nullopt);
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadTextFile(path("pipe")), std::nullopt); // and does not block
    put(path("secret"), "x");
    fs::permissions(path("secret"), fs::perms::none);
    const std::string secret = path("secret");
    EXPECT_EQ(runAsOrdinaryUser([&] { return ReadTextFile(secret) ? 1 : 0; }), 0);
    // A file whose size is not known in advance is read, not mapped.
    const std::optional<TextFile> status = ReadTextFile("/proc/self/status");
    ASSERT_TRUE(status);
    EXPECT_NE(status->text().find("Pid:"), std::string_view::npos);
}

TEST_F(FileIo, WriteCreatesAndReplaces) {
    const std::string target = path("out.csv");
    ASSERT_TRUE(WriteFileAtomically(target, "first").ok());
    EXPECT_EQ(content(target), "first");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(mode(target), 0666u & ~mask);
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(target, "second, longer").ok());
    EXPECT_EQ(content(target), "second, longer");
    EXPECT_EQ(mode(target), 0640u);
    ASSERT_TRUE(WriteFileAtomically(target, "").ok());
    EXPECT_EQ(content(target), "");
    EXPECT_EQ(names(), std::vector<std::string>{"out.csv"}); // no temporary left
}

TEST_F(FileIo, WriteGoesThroughSymbolicLinksToTheRealFile) {
    fs::create_directory(dir_ / "real");
    put(path("real/data.csv"), "old");
    ::chmod(path("real/data.csv").c_str(), 0604);
    fs::create_symlink("real/data.csv", dir_ / "hop");
    fs::create_symlink(dir_ / "hop", dir_ / "link.csv"); // a chain, absolute then relative
    ASSERT_TRUE(WriteFileAtomically(path("link.csv"), "new").ok());
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.csv"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "hop"));
    EXPECT_EQ(content(path("real/data.csv")), "new");
    EXPECT_EQ(mode(path("real/data.csv")), 0604u);
    EXPECT_EQ(fs::directory_iterator(dir_ / "real")->path().filename(), "data.csv");

    // A dangling link gets its target created.
    fs::create_symlink("real/later.csv", dir_ / "dangling");
    ASSERT_TRUE(WriteFileAtomically(path("dangling"), "made").ok());
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
    EXPECT_EQ(content(path("real/later.csv")), "made");

    fs::create_symlink("loop2", dir_ / "loop1");
    fs::create_symlink("loop1", dir_ / "loop2");
    EXPECT_FALSE(WriteFileAtomically(path("loop1"), "x").ok());
}

TEST_F(FileIo, FailedWritesLeaveEverythingAsItWas) {
    put(path("file"), "old");
    // The parent is a regular file.
    EXPECT_FALSE(WriteFileAtomically(path("file/sub.csv"), "new").ok());
    // The target is a folder.
    fs::create_directory(dir_ / "folder");
    put(path("folder/inside"), "kept");
    const WriteResult onFolder = WriteFileAtomically(path("folder"), "new");
    EXPECT_FALSE(onFolder.ok());
    EXPECT_EQ(onFolder.error, std::errc::is_a_directory);
    EXPECT_EQ(content(path("folder/inside")), "kept");
    // The folder does not exist.
    EXPECT_FALSE(WriteFileAtomically(path("nowhere/x.csv"), "new").ok());
    EXPECT_EQ(content(path("file")), "old");
    EXPECT_EQ(names(), (std::vector<std::string>{"file", "folder"}));
}

TEST_F(FileIo, WriteFailingHalfwayKeepsTheOldFile) {
    const std::string target = path("big.csv");
    put(target, "the old content");
    const std::string bytes(1 << 20, 'n');
    // The file size limit makes the write of the temporary file fail midway.
    const int code = runInChild(
        [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return WriteFileAtomically(target, bytes).ok() ? 0 : 1;
        },
        false);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(content(target), "the old content");
    EXPECT_EQ(names(), std::vector<std::string>{"big.csv"});
}

TEST_F(FileIo, ReadOnlyFilesAreNotReplaced) {
    const std::string target = path("locked.csv");
    put(target, "old");
    ::chmod(target.c_str(), 0444);
    ::chmod(dir_.c_str(), 0777);
    EXPECT_EQ(runAsOrdinaryUser([&] { return WriteFileAtomically(target, "new").ok() ? 0 : 1; }),
              1);
    EXPECT_EQ(content(target), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"locked.csv"});
}

TEST_F(FileIo, WritableFileInReadOnlyFolderIsWrittenInPlace) {
    const std::string target = path("shared.csv");
    put(target, "an old and longer content");
    ::chmod(target.c_str(), 0666);
    const ino_t inode = inodeOf(target);
    ::chmod(dir_.c_str(), 0555);
    EXPECT_EQ(runAsOrdinaryUser([&] { return WriteFileAtomically(target, "new").ok() ? 0 : 1; }),
              0);
    EXPECT_EQ(content(target), "new");
    EXPECT_EQ(mode(target), 0666u);
    EXPECT_EQ(inodeOf(target), inode);
    // A new file cannot be made there.
    const std::string fresh = path("fresh.csv");
    EXPECT_EQ(runAsOrdinaryUser([&] { return WriteFileAtomically(fresh, "x").ok() ? 0 : 1; }), 1);
    EXPECT_FALSE(fs::exists(fresh));
}

StringGrid tableGrid() {
    StringGrid grid(4, 3);
    grid.setFixedCols(2);
    grid.setCell(2, 0, "1");
    grid.setCell(1, 1, "fixed");
    grid.setCell(2, 1, "東京");
    grid.setCell(3, 1, "a,b");
    grid.setCell(2, 2, "ｶﾅ");
    return grid;
}

TEST_F(FileIo, WriteTableEncodesAndWrites) {
    const StringGrid grid = tableGrid();
    const std::string target = path("t.csv");
    EXPECT_EQ(WriteTable(grid, target, Separator::of(','), TextEncoding::ShiftJis),
              WriteTableResult::Ok);
    EXPECT_EQ(content(target), "\x93\x8C\x8B\x9E,\"a,b\"\r\n\xB6\xC5,\r\n");
    EXPECT_EQ(WriteTable(grid, target, Separator::of('\t'), TextEncoding::Utf8Bom),
              WriteTableResult::Ok);
    EXPECT_EQ(content(target), "\xEF\xBB\xBF東京\t\"a,b\"\r\nｶﾅ\t\r\n");
}

TEST_F(FileIo, WriteTableRefusesUnencodableTextAndReportsFailure) {
    StringGrid grid = tableGrid();
    grid.setCell(3, 2, "😀");
    const std::string target = path("t.csv");
    put(target, "old");
    EXPECT_EQ(WriteTable(grid, target, Separator::of(','), TextEncoding::ShiftJis),
              WriteTableResult::Unencodable);
    EXPECT_EQ(content(target), "old");
    EXPECT_EQ(WriteTable(grid, path("t.csv/x"), Separator::of(','), TextEncoding::Utf8),
              WriteTableResult::Failed);
    EXPECT_EQ(content(target), "old");
}

// Tables of several megabytes are written a piece at a time: the file must be
// the same as the whole table encoded at once, and a character that the
// encoding cannot hold near the end must still leave the old file alone.
TEST_F(FileIo, WriteTableOfManyPiecesMatchesTheWholeText) {
    StringGrid grid(5, 100001);
    grid.setFixedCols(2);
    for (int row = 1; row < grid.rowCount(); ++row) {
        grid.setCell(2, row, "東京都 " + std::to_string(row));
        grid.setCell(3, row, row % 7 == 0 ? "say \"hi\", " + std::string(60, 'x') : "ｶﾅ");
        grid.setCell(4, row, raw(static_cast<unsigned char>(0x80 + row % 64)));
    }
    const std::string whole = EncodeTable(grid, 2, Separator::of(','));
    ASSERT_GT(whole.size(), std::size_t{3} << 20);
    const std::string target = path("big.csv");
    ASSERT_EQ(WriteTable(grid, target, Separator::of(','), TextEncoding::Utf8Bom),
              WriteTableResult::Ok);
    EXPECT_EQ(content(target), *EncodeText(whole, TextEncoding::Utf8Bom));

    // A kept UTF-8 byte cannot go into Shift_JIS; only the last row, in the
    // last piece, keeps one.
    for (int row = 1; row < grid.rowCount() - 1; ++row)
        grid.setCell(4, row, "");
    put(target, "old");
    EXPECT_EQ(WriteTable(grid, target, Separator::of(','), TextEncoding::ShiftJis),
              WriteTableResult::Unencodable);
    EXPECT_EQ(content(target), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"big.csv"});
}

TEST_F(FileIo, EmptyTableWritesOnlyItsByteOrderMark) {
    StringGrid grid(3, 1);
    grid.setFixedCols(2);
    const std::string target = path("empty.csv");
    ASSERT_EQ(WriteTable(grid, target, Separator::of(','), TextEncoding::Utf8Bom),
              WriteTableResult::Ok);
    EXPECT_EQ(content(target), kBom);
    ASSERT_EQ(WriteTable(grid, target, Separator::of(','), TextEncoding::ShiftJis),
              WriteTableResult::Ok);
    EXPECT_EQ(content(target), "");
}

TEST_F(FileIo, SourceThatStopsLeavesTheOldFile) {
    const std::string target = path("t.csv");
    put(target, "old");
    const WriteResult result = WriteFileAtomically(
        target, [](const ByteSink& sink) { return sink(std::string(100000, 'a')) && false; });
    EXPECT_EQ(result.error, std::errc::operation_canceled);
    EXPECT_EQ(content(target), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"t.csv"});
}

} // namespace
} // namespace tabulix
