// SPDX-License-Identifier: GPL-3.0-or-later
// Windows keeps it simple: a temporary file of a name the system makes unique, created
// by that call, then moved over the target in one step.
#include "common/SafeWrite.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "common/WindowsErrorText.h"

namespace kardo {
namespace {

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(L".");
}

std::string WriteAll(int fd, const uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        const int chunk = static_cast<int>(std::min<std::size_t>(n, std::size_t{1} << 30));
        const int written = _write(fd, bytes, static_cast<unsigned>(chunk));
        if (written <= 0) {
            return std::generic_category().message(written < 0 ? errno : EIO);
        }
        bytes += written;
        n -= static_cast<std::size_t>(written);
    }
    return {};
}

}  // namespace

std::string FileWriteProblem(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        return "it is a folder, not a file";
    }
    const std::filesystem::path folder = FolderOf(file);
    if (!std::filesystem::is_directory(folder, error)) {
        return error ? error.message() : "its folder " + folder.string() + " is not a folder";
    }
    return {};
}

std::string WriteFileSafely(const std::filesystem::path& file, const uint8_t* bytes,
                            std::size_t n) {
    if (std::string problem = FileWriteProblem(file); !problem.empty()) {
        return problem;
    }
    wchar_t temporary[MAX_PATH] = {};
    if (GetTempFileNameW(FolderOf(file).c_str(), L"krd", 0, temporary) == 0) {
        return WindowsErrorText(GetLastError());
    }
    const int fd = _wopen(temporary, _O_WRONLY | _O_BINARY | _O_TRUNC);
    if (fd < 0) {
        const std::string reason = std::generic_category().message(errno);
        DeleteFileW(temporary);
        return reason;
    }
    std::string reason = WriteAll(fd, bytes, n);
    if (reason.empty() && _commit(fd) != 0) {
        reason = std::generic_category().message(errno);
    }
    if (_close(fd) != 0 && reason.empty()) {
        reason = std::generic_category().message(errno);
    }
    if (reason.empty() &&
        !MoveFileExW(temporary, file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        reason = WindowsErrorText(GetLastError());
    }
    if (!reason.empty()) {
        DeleteFileW(temporary);
    }
    return reason;
}

}  // namespace kardo
