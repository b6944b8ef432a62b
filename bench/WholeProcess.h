// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The time of a whole process, from its start to its end, as a script that runs it pays
// for it: the wall clock, and the processor time the process itself used (on a machine
// shared with other jobs the wall clock also counts their turns).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace kardo::bench {

struct Took {
    double wall = 0, cpu = 0;  // milliseconds
};

inline double Milliseconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Runs WORDS (the program found on PATH) with its output thrown away; nullopt when it
// could not start or did not exit 0.
inline std::optional<Took> TimeWholeProcess(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    const bool ran = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
                     WEXITSTATUS(status) == 0;
    const auto wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    if (!ran) {
        return std::nullopt;
    }
    return Took{wall.count(), Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime)};
}

}  // namespace kardo::bench
