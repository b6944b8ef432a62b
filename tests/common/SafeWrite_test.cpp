// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the program writes goes through one routine: it writes the file a link
// names, keeps the mode and owner, writes pipes and devices in place, refuses what it must
// not replace, never touches a name it did not pick, and a failure leaves the earlier
// file as it was with nothing of its own behind.
#include "common/SafeWrite.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <map>
#include <sstream>
#include <thread>

#include "support/TempDir.h"

namespace kardo {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', ' ', 'b', 'y', 't', 'e', 's'};

struct stat Status(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(lstat(file.c_str(), &status), 0) << file;
    return status;
}

// Everything below `dir` as it stands: each entry's type, mode, link text or bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const struct stat status = Status(entry.path());
        std::string what = std::to_string(status.st_mode) + ":";
        if (S_ISLNK(status.st_mode)) {
            what += fs::read_symlink(entry.path()).string();
        } else if (S_ISREG(status.st_mode)) {
            const Bytes bytes = ReadBytes(entry.path());
            what.append(bytes.begin(), bytes.end());
        }
        entries[entry.path().lexically_relative(dir).string()] = what;
    }
    return entries;
}

void Make(const fs::path& file, const Bytes& bytes, mode_t mode) {
    WriteBytes(file, bytes);
    ASSERT_EQ(chmod(file.c_str(), mode), 0);
}

// Lays out `dir` from words: "name/" a folder, "name=MODE" a file holding kOld with that
// octal mode, "name>target" a symbolic link ("@" in front of the target: below `dir`,
// as an absolute path).
void Lay(const fs::path& dir, const std::string& words) {
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        if (const auto arrow = word.find('>'); arrow != std::string::npos) {
            const std::string target = word.substr(arrow + 1);
            fs::create_symlink(target[0] == '@' ? dir / target.substr(1) : fs::path(target),
                               dir / word.substr(0, arrow));
        } else if (const auto equals = word.find('='); equals != std::string::npos) {
            Make(dir / word.substr(0, equals), kOld,
                 std::stoul(word.substr(equals + 1), nullptr, 8));
        } else {
            fs::create_directory(dir / word);
        }
    }
}

// The creation mask for one test, put back afterwards.
struct Umask {
    mode_t before;
    explicit Umask(mode_t mask) : before(umask(mask)) {}
    ~Umask() { umask(before); }
};

TEST(SafeWrite, TheRealFileIsWrittenWithItsModeAndLinksStayLinks) {
    const Umask mask(027);
    const struct {
        const char* what;
        const char* setup;    // see Lay
        const char* written;  // the name given
        const char* lands;    // the file that must hold the bytes
        mode_t mode;
        std::vector<const char*> links;  // still links afterwards
    } cases[] = {
        {"a new file", "", "out.bin", "out.bin", 0640, {}},
        {"mode 600", "out.bin=600", "out.bin", "out.bin", 0600, {}},
        {"mode 604", "out.bin=604", "out.bin", "out.bin", 0604, {}},
        {"a link", "real.bin=600 link.bin>real.bin", "link.bin", "real.bin", 0600, {"link.bin"}},
        {"a chain of links, one absolute, into another folder",
         "sub/ sub/real.bin=660 b>@sub/real.bin a>b",
         "a",
         "sub/real.bin",
         0660,
         {"a", "b"}},
        {"a link to a file not made yet",
         "link.bin>later.bin",
         "link.bin",
         "later.bin",
         0640,
         {"link.bin"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Lay(dir.path(), c.setup);
        auto expected = Snapshot(dir.path());
        EXPECT_EQ(WriteFileSafely(dir / c.written, kNew), "") << c.what;
        EXPECT_EQ(ReadBytes(dir / c.lands), kNew) << c.what;
        EXPECT_EQ(Status(dir / c.lands).st_mode, S_IFREG | c.mode) << c.what;
        for (const char* link : c.links) {
            EXPECT_TRUE(fs::is_symlink(dir / link)) << c.what << ": " << link;
        }
        // Nothing else changed, and no temporary file is left.
        expected[c.lands] = std::to_string(S_IFREG | c.mode) + ":new bytes";
        EXPECT_EQ(Snapshot(dir.path()), expected) << c.what;
    }
}

TEST(SafeWrite, TheOwnerIsKeptWhereAllowed) {
    TempDir dir;
    Make(dir / "out.bin", kOld, 0644);
    // Root may give the file to anybody; anyone else keeps it as it was, their own.
    const uid_t owner = geteuid() == 0 ? 1234 : geteuid();
    const gid_t group = geteuid() == 0 ? 1234 : getegid();
    ASSERT_EQ(chown((dir / "out.bin").c_str(), owner, group), 0);
    EXPECT_EQ(WriteFileSafely(dir / "out.bin", kNew), "");
    EXPECT_EQ(Status(dir / "out.bin").st_uid, owner);
    EXPECT_EQ(Status(dir / "out.bin").st_gid, group);
    EXPECT_EQ(Status(dir / "out.bin").st_mode, S_IFREG | 0644);
}

TEST(SafeWrite, WhatMustNotBeReplacedIsRefusedAndLeftAlone) {
    const struct {
        const char* what;
        const char* setup;  // see Lay
        const char* written;
        const char* reason;
    } cases[] = {
        {"a read-only file", "out.bin=444", "out.bin", "Permission denied"},
        {"a link to a read-only file", "real.bin=400 link.bin>real.bin", "link.bin",
         "Permission denied"},
        {"a folder", "out.bin/", "out.bin", "it is a folder, not a file"},
        {"a missing folder", "", "nodir/out.bin", "No such file or directory"},
        {"below a plain file", "plain=644", "plain/out.bin", "Not a directory"},
        {"a loop of links", "a>b b>a", "a", "Too many levels of symbolic links"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Lay(dir.path(), c.setup);
        const auto before = Snapshot(dir.path());
        EXPECT_EQ(FileWriteProblem(dir / c.written), c.reason) << c.what;
        EXPECT_EQ(WriteFileSafely(dir / c.written, kNew), c.reason) << c.what;
        EXPECT_EQ(Snapshot(dir.path()), before) << c.what;
    }
}

// Names of the old scheme (a fixed name beside the file) planted by somebody else: a link
// to a file of theirs and a file of that name are never written, followed nor removed.
TEST(SafeWrite, NamesItDidNotPickAreNeverTouched) {
    const Umask mask(022);
    TempDir dir;
    Make(dir / "victim.txt", kOld, 0644);
    Make(dir / "out.hex", kOld, 0644);
    fs::create_symlink("victim.txt", dir / "out.hex.partial");
    fs::create_symlink(dir / "victim.txt", dir / "chip.img.new");
    Make(dir / "out.hex.new", kOld, 0644);
    auto expected = Snapshot(dir.path());
    EXPECT_EQ(WriteFileSafely(dir / "out.hex", kNew), "");
    EXPECT_EQ(WriteFileSafely(dir / "chip.img", kNew), "");
    expected["out.hex"] = std::to_string(S_IFREG | 0644) + ":new bytes";
    expected["chip.img"] = std::to_string(S_IFREG | 0644) + ":new bytes";
    EXPECT_EQ(Snapshot(dir.path()), expected);
}

// A pipe, named or through a link, gets the bytes in place and stays a pipe.
TEST(SafeWrite, APipeIsWrittenIntoAndStaysAPipe) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink("pipe", dir / "link");
    const auto before = Snapshot(dir.path());
    for (const char* name : {"pipe", "link"}) {
        Bytes got;
        std::thread reader([&] {
            const int fd = open((dir / "pipe").c_str(), O_RDONLY);
            uint8_t chunk[64];
            for (ssize_t n; fd >= 0 && (n = read(fd, chunk, sizeof chunk)) > 0;) {
                got.insert(got.end(), chunk, chunk + n);
            }
            close(fd);
        });
        const std::string reason = WriteFileSafely(dir / name, kNew);
        if (!reason.empty()) {
            close(open((dir / "pipe").c_str(), O_WRONLY));  // lets the reader finish
        }
        reader.join();
        EXPECT_EQ(reason, "") << name;
        EXPECT_EQ(got, kNew) << name;
        EXPECT_EQ(Snapshot(dir.path()), before) << name;
    }
}

// Where /dev/stdout leads when the output goes to a pipe: a link whose text ("pipe:[N]")
// names no file, which only the kernel can follow.
TEST(SafeWrite, AnAnonymousPipeIsReachedThroughItsMagicLink) {
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    EXPECT_EQ(WriteFileSafely("/proc/self/fd/" + std::to_string(ends[1]), kNew), "");
    Bytes got(64);
    const ssize_t n = read(ends[0], got.data(), got.size());
    got.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    close(ends[0]);
    close(ends[1]);
    EXPECT_EQ(got, kNew);
}

// A write that fails part-way (here: over the file size limit, as a full disk would)
// leaves the earlier file as it was, and nothing else behind.
TEST(SafeWrite, AWriteThatFailsPartWayLeavesTheEarlierFile) {
    TempDir dir;
    Make(dir / "out.bin", kOld, 0600);
    const auto before = Snapshot(dir.path());
    const Bytes big(4096, 0x5A);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{1024, limit.rlim_max};
    const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string reason = WriteFileSafely(dir / "out.bin", big);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, ignored);
    EXPECT_EQ(reason, "File too large");
    EXPECT_EQ(Snapshot(dir.path()), before);
}

}  // namespace
}  // namespace kardo
