// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SafeWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace kardo {
namespace {

// The kernel gives up after as many links in one path; so do we, with its reason.
constexpr int kMostLinks = 40;
// A name of our own beside the target must still fit the folder's name limit.
constexpr std::size_t kLongestStem = 200;

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

enum class Kind { New, Regular, Stream };

// Where and how a write goes, or why it may not.
struct Plan {
    std::filesystem::path target;  // the path itself, or the end of its chain of links
    Kind kind = Kind::New;
    struct stat status {};  // of an existing target
    std::string refusal;
};

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Anything but a regular file is written through the name as given, which the kernel
// follows, magic links included: /dev/stdout leads to /proc/self/fd/1, whose link text
// for a pipe ("pipe:[1234]") names no file at all. A regular file's links are followed
// one hop at a time rather than through realpath, as a link to a file not made yet must
// still say where that file goes.
Plan Resolve(const std::filesystem::path& file) {
    Plan plan;
    plan.target = file;
    struct stat followed {};
    if (stat(file.c_str(), &followed) == 0) {
        if (!S_ISREG(followed.st_mode)) {
            plan.kind = Kind::Stream;
            plan.status = followed;
            return plan;
        }
    } else if (errno != ENOENT) {
        plan.refusal = SystemReason(errno);
        return plan;
    }
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        struct stat status {};
        if (lstat(plan.target.c_str(), &status) != 0) {
            if (errno != ENOENT) {
                plan.refusal = SystemReason(errno);
            }
            return plan;  // a new file, when nothing else was wrong
        }
        if (!S_ISLNK(status.st_mode)) {
            plan.status = status;
            plan.kind = S_ISREG(status.st_mode) ? Kind::Regular : Kind::Stream;
            if (plan.kind == Kind::Regular &&
                (status.st_dev != followed.st_dev || status.st_ino != followed.st_ino)) {
                // Not the file the kernel finds (/dev/stdout sent to a file, whose name
                // may be gone): written where the kernel finds it.
                plan.target = file;
                plan.kind = Kind::Stream;
                plan.status = followed;
            }
            return plan;
        }
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(plan.target, error);
        if (error) {
            plan.refusal = error.message();
            return plan;
        }
        plan.target = next.is_absolute() ? next : plan.target.parent_path() / next;
    }
    plan.refusal = SystemReason(ELOOP);
    return plan;
}

Plan MakePlan(const std::filesystem::path& file) {
    Plan plan = Resolve(file);
    if (!plan.refusal.empty()) {
        return plan;
    }
    const mode_t type = plan.status.st_mode & S_IFMT;
    if (plan.kind == Kind::Stream && type == S_IFDIR) {
        plan.refusal = "it is a folder, not a file";
    } else if (plan.kind == Kind::Stream && type == S_IFBLK) {
        // A whole disk or partition: no save of ours is ever meant to go there.
        plan.refusal = "it is a disk device, not a file";
    } else if (S_ISREG(plan.status.st_mode)) {
        // Renaming over a file whose folder we may write would defeat its read-only bit.
        // Root passes every permission check, but a file nobody may write was made so on
        // purpose, and is left alone as well.
        if (faccessat(AT_FDCWD, plan.target.c_str(), W_OK, AT_EACCESS) != 0) {
            plan.refusal = SystemReason(errno);
        } else if ((plan.status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            plan.refusal = SystemReason(EACCES);
        }
    }
    if (plan.refusal.empty() && plan.kind != Kind::Stream &&
        faccessat(AT_FDCWD, FolderOf(plan.target).c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        plan.refusal = SystemReason(errno);  // the temporary file could not be made
    }
    return plan;
}

std::string WriteAll(int fd, const uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        const ssize_t written = write(fd, bytes, std::min<std::size_t>(n, std::size_t{1} << 30));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return SystemReason(written < 0 ? errno : EIO);
        }
        bytes += written;
        n -= static_cast<std::size_t>(written);
    }
    return {};
}

// A pipe or a device is written into where it is; it is not ours to replace. Truncating
// means nothing to a pipe or a terminal, and keeps a regular file reached that way from
// ending in what it held before.
std::string WriteInto(const Plan& plan, const uint8_t* bytes, std::size_t n) {
    const int fd = open(plan.target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_TRUNC);
    if (fd < 0) {
        return SystemReason(errno);
    }
    std::string reason = WriteAll(fd, bytes, n);
    if (close(fd) != 0 && reason.empty() && errno != EINTR) {
        reason = SystemReason(errno);
    }
    return reason;
}

// The mask a plain creation applies. It can only be read by setting it, which would race
// with other threads making files; Linux shows it in /proc instead.
mode_t CreationMask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

// Gives the new file the old one's owner and mode, or a new file's mode. The owner only
// where we are allowed to: a user may not give a file away, and keeps it then.
std::string TakeOver(int fd, const Plan& plan) {
    if (plan.kind == Kind::New) {
        return fchmod(fd, 0666 & ~CreationMask()) == 0 ? std::string() : SystemReason(errno);
    }
    struct stat made {};
    if (fstat(fd, &made) == 0 &&
        (made.st_uid != plan.status.st_uid || made.st_gid != plan.status.st_gid) &&
        fchown(fd, plan.status.st_uid, plan.status.st_gid) != 0 && errno != EPERM) {
        return SystemReason(errno);
    }
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    return fchmod(fd, plan.status.st_mode & 07777) == 0 ? std::string() : SystemReason(errno);
}

// Makes the rename itself last through a power cut. The file is in place by now, so a
// folder that cannot be synced (some file systems refuse) is no failure of the write.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string Replace(const Plan& plan, const uint8_t* bytes, std::size_t n) {
    const std::filesystem::path folder = FolderOf(plan.target);
    // mkstemp makes a name nobody has planted: it creates the file exclusively, and never
    // follows a link that is there.
    // Built a piece at a time: GCC 12 at -O3 sees a false overlap in "." + name.
    std::string name = ".";
    name += plan.target.filename().string().substr(0, kLongestStem);
    name += ".XXXXXX";
    std::string temporary = (folder / name).string();
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return SystemReason(errno);
    }
    std::string reason = WriteAll(fd, bytes, n);
    if (reason.empty()) {
        reason = TakeOver(fd, plan);
    }
    if (reason.empty() && fsync(fd) != 0) {
        reason = SystemReason(errno);
    }
    if (close(fd) != 0 && reason.empty() && errno != EINTR) {
        reason = SystemReason(errno);
    }
    if (reason.empty() && rename(temporary.c_str(), plan.target.c_str()) != 0) {
        reason = SystemReason(errno);
    }
    if (!reason.empty()) {
        unlink(temporary.c_str());
        return reason;
    }
    SyncFolder(folder);
    return {};
}

}  // namespace

std::string WriteFileSafely(const std::filesystem::path& file, const uint8_t* bytes,
                            std::size_t n) {
    const Plan plan = MakePlan(file);
    if (!plan.refusal.empty()) {
        return plan.refusal;
    }
    return plan.kind == Kind::Stream ? WriteInto(plan, bytes, n) : Replace(plan, bytes, n);
}

std::string FileWriteProblem(const std::filesystem::path& file) {
    return MakePlan(file).refusal;
}

}  // namespace kardo
